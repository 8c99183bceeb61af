// The frame of every scene (viewpoint, global model, sphere sensor) and the coordinate animation.
#include "writer_fixture.h"

#include <limits>
#include <map>
#include <tuple>
#include <vector>

namespace {

using WriterScene = WriterTest;

TEST_F(WriterScene, ViewpointAndGlobalModel) {
    const float scale[] = {2, 2, 2}, rotation[] = {0, 0, 1, 0.5f}, translation[] = {-1.5f, 0.25f, 3};
    float center[] = {1.0f, 2.0f, 7.0f}, untouched[] = {4.0f, 5.0f, 6.0f};
    const std::string text = textOf([&](ZVRMLWriter& w) {
        w.writeViewpoint(5.0f, center);
        w.beginGlobalModel(center, scale, rotation, translation);
        EXPECT_EQ(w.level, 2);
        w.beginGlobalModel(untouched, scale, rotation, translation);  // only a file's first counts
        w.level = 3;  // wherever the parts left it
        w.endGlobalModel();
    }, &kTopLevel);
    EXPECT_EQ(text, "Viewpoint { \n\tposition\t1.000000 2.000000 10.000000 \n\tfieldOfView 0.785\n\tdescription \"Top View\"\n}"
                    "\nDEF Global_model Transform {\n\tscale\t2.000000 2.000000 2.000000 \n\tcenter\t0.000000 0.000000 0.000000 "
                    "\n\trotation\t0.000000 0.000000 1.000000 0.500000 \n\ttranslation\t-1.500000 0.250000 3.000000 \n\n\t\tchildren ["
                    "\n\t\t]\n\t}\nDEF ss SphereSensor { }\nROUTE ss.rotation_changed TO Global_model.set_rotation");
    EXPECT_EQ(levelAfter, 0);
    EXPECT_EQ(std::vector<float>(center, center + 3), std::vector<float>(3, 0.0f)) << "the camera places the model";
    EXPECT_EQ(untouched[0], 4.0f);
    EXPECT_EQ(textOf([](ZVRMLWriter& w) { w.writeViewpoint(std::numeric_limits<float>::max(), std::array<float, 3>{}.data()); })
                  .find("inf"), std::string::npos);
}

TEST_F(WriterScene, Animation) {
    std::vector<float> first{0, 0, 0, 1, 0, 0}, second{0, 0, 0.5f, 1, 0, -2};
    const std::tuple<int, std::map<double, float*>, int, std::string> rows[] = {
        {0, {{1.0, second.data()}, {0.0, first.data()}}, 2,
         "\nkey [0 1 ]\nkeyValue [0.000000 0.000000 0.000000 1.000000 0.000000 0.000000 "
         "0.000000 0.000000 0.500000 1.000000 0.000000 -2.000000 ]"},
        {3, {{0.5, first.data()}}, 2, "\nkey [0.5 ]\nkeyValue [\t\t0.000000 0.000000 0.000000 \t\t1.000000 0.000000 0.000000 ]"},
        {0, {}, 5, "\nkey []\nkeyValue []"},
        {0, {{0.0, first.data()}, {0.25, first.data()}}, 0, "\nkey [0 0.25 ]\nkeyValue []"},
    };
    for (const auto& [level, frames, nodes, lists] : rows)
        EXPECT_EQ(textOf([&](ZVRMLWriter& w) { w.level = level; w.writeCoordinateAnimation(frames, nodes, "c"); }),
                  std::string(level == 3 ? "\nDEF ts TimeSensor \n{\ncycleInterval 1\nloop TRUE\n\n\t\t}"
                                         : "\nDEF ts TimeSensor \n{\ncycleInterval 1\nloop TRUE\n\n}") +
                      "\nDEF ci CoordinateInterpolator {" + lists +
                      "\n}\nROUTE ts.fraction_changed TO ci.set_fraction\nROUTE ci.value_changed TO c.set_point");
}

// After an export has closed its file, the animation goes to that file's end.
TEST_F(WriterScene, AnimationOfAClosedFileIsAddedToItsEnd) {
    std::vector<float> points{0, 0, 0, 1, 0, 0, 0, 1, 0}, moved{0, 0, 1, 1, 0, 1, 0, 1, 1};
    const int triangle[] = {0, 1, 2};
    ZVRMLWriter writer;
    ASSERT_TRUE(writer.openFile(guName(file)));
    writer.beginShape();
    writer.writeIndexedFaceSet(0, 3, points.data(), 1, triangle, "global_coords", nullptr, {}, {}, false, true, false);
    writer.closeBrace();
    writer.closeFile();
    const std::string scene = testing_support::readFile(file);
    writer.reset();
    writer.writeCoordinateAnimation({{0.0, points.data()}, {1.0, moved.data()}}, 3, "global_coords");
    EXPECT_FALSE(writer.stream.is_open()) << "the file is closed again";
    const std::string text = testing_support::readFile(file);
    EXPECT_EQ(text.substr(0, scene.size()), scene);
    EXPECT_TRUE(text.substr(scene.size()).starts_with("\nDEF ts TimeSensor"));
    EXPECT_TRUE(text.ends_with("ROUTE ci.value_changed TO global_coords.set_point"));
    testing_support::keepVrmlSample(text);
}

}  // namespace
