// The frame of every scene (viewpoint, global model, sphere sensor), the coordinate animation,
// and a whole file put together in the order an export writes it.
#include "ZVRMLElementKinds.h"
#include "writer_fixture.h"

#include <limits>
#include <map>
#include <tuple>
#include <numeric>
#include <vector>

namespace {

using testing_support::occurrences;

const float kScale[] = {2.0f, 2.0f, 2.0f};
const float kRotation[] = {0.0f, 0.0f, 1.0f, 0.5f};
const float kTranslation[] = {-1.5f, 0.25f, 3.0f};

using WriterScene = WriterTest;

TEST_F(WriterScene, ViewpointAndGlobalModel) {
    const float center[] = {1.0f, 2.0f, 7.0f};
    EXPECT_EQ(textOf([&](ZVRMLWriter& w) { w.writeViewpoint(5.0f, center); }, &kTopLevel),
              "Viewpoint { \n\tposition\t1.000000 2.000000 10.000000 \n\tfieldOfView 0.785"
              "\n\tdescription \"Top View\"\n}");
    EXPECT_EQ(textOf([](ZVRMLWriter& w) {
                  const float zero[] = {0, 0, 0};
                  w.writeViewpoint(std::numeric_limits<float>::max(), zero);
              }).find("inf"), std::string::npos);

    float modelCenter[] = {4.0f, 5.0f, 6.0f};
    float untouched[] = {4.0f, 5.0f, 6.0f};
    const std::string text = textOf([&](ZVRMLWriter& w) {
        w.beginGlobalModel(modelCenter, kScale, kRotation, kTranslation);
        w.beginGlobalModel(untouched, kScale, kRotation, kTranslation);  // only the first counts
        EXPECT_TRUE(w.globalModelWritten);
    }, &kTopLevel);
    EXPECT_EQ(text, "\nDEF Global_model Transform {\n\tscale\t2.000000 2.000000 2.000000 "
                    "\n\tcenter\t0.000000 0.000000 0.000000 \n\trotation\t0.000000 0.000000 1.000000 0.500000 "
                    "\n\ttranslation\t-1.500000 0.250000 3.000000 \n\n\t\tchildren [");
    EXPECT_EQ(levelAfter, 2);
    EXPECT_EQ(std::vector<float>(modelCenter, modelCenter + 3), std::vector<float>(3, 0.0f));
    EXPECT_EQ(untouched[0], 4.0f);

    EXPECT_TRUE(textOf([&](ZVRMLWriter& w) {
                    w.beginGlobalModel(modelCenter, kScale, kRotation, kTranslation);
                    w.level = 3;  // wherever the parts left it
                    w.endGlobalModel();
                }).ends_with("\n\t\t]\n\t}\nDEF ss SphereSensor { }\nROUTE ss.rotation_changed TO Global_model.set_rotation"));
    EXPECT_EQ(levelAfter, 0);
}

TEST_F(WriterScene, Animation) {
    std::vector<float> first{0, 0, 0, 1, 0, 0}, second{0, 0, 0.5f, 1, 0, -2};
    const char* const sensor = "\nDEF ts TimeSensor \n{\ncycleInterval 1\nloop TRUE\n\n}\nDEF ci CoordinateInterpolator {";
    const char* const routes = "\n}\nROUTE ts.fraction_changed TO ci.set_fraction\nROUTE ci.value_changed TO c.set_point";
    const std::tuple<int, std::map<double, float*>, int, std::string> rows[] = {
        {0, {{1.0, second.data()}, {0.0, first.data()}}, 2,
         "\nkey [0 1 ]\nkeyValue [0.000000 0.000000 0.000000 1.000000 0.000000 0.000000 "
         "0.000000 0.000000 0.500000 1.000000 0.000000 -2.000000 ]"},
        {0, {}, 5, "\nkey []\nkeyValue []"},
        {0, {{0.0, first.data()}, {0.25, first.data()}}, 0, "\nkey [0 0.25 ]\nkeyValue []"},
    };
    for (const auto& [level, frames, nodes, lists] : rows) {
        EXPECT_EQ(textOf([&](ZVRMLWriter& w) { w.level = level; w.writeCoordinateAnimation(frames, nodes, "c"); }),
                  sensor + lists + routes);
        EXPECT_EQ(levelAfter, 0);
    }
    // Every triple follows the indentation the time sensor's brace leaves.
    EXPECT_NE(textOf([&](ZVRMLWriter& w) { w.level = 3; w.writeCoordinateAnimation({{0.5, first.data()}}, 2, "c"); })
                  .find("\nkeyValue [\t\t0.000000 0.000000 0.000000 \t\t1.000000 0.000000 0.000000 ]"),
              std::string::npos);
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

// Every element kind in one file, as an export writes it: a shell part textured by node values,
// a solid part coloured per face with one element skipped, the sphere sensor and the legend.
TEST_F(WriterScene, EveryElementKindInOneFile) {
    std::vector<std::vector<int>> connectivity(kVRMLElementKindCount);
    int next = 0;
    for (int kind = 0; kind < kVRMLElementKindCount; ++kind) {
        connectivity[kind].resize(2 * kVRMLElementKinds[kind].nodesPerElement);
        std::iota(connectivity[kind].begin(), connectivity[kind].end(), next);
        next += static_cast<int>(connectivity[kind].size());
    }
    std::vector<float> coords, values;
    for (int node = 0; node < next; ++node) {
        coords.insert(coords.end(), {float(node % 7), float(node / 7 % 7), float(node / 49)});
        values.push_back(0.5f * node);
    }
    const unsigned char image[8] = {0, 0, 255, 0, 255, 0, 0, 0};
    const std::string text = textOf([&](ZVRMLWriter& w) {
        float center[] = {3.0f, 3.0f, 1.0f};
        w.writeViewpoint(7.0f, center);
        const std::pair<const char*, std::vector<int>> parts[] = {{"Shell part", {0, 9, 1, 8}},
                                                                  {"Solid part", {7, 6, 5, 4, 3, 2}}};
        for (const auto& [name, kinds] : parts) {
            const bool perFace = kinds.size() == 6;
            w.beginGlobalModel(center, kScale, kRotation, kTranslation);
            w.beginTransform(name);
            for (int kind : kinds) {
                std::vector<int> colors;
                for (int face = 0; face < 2 * kVRMLElementKinds[kind].facesPerElement(); ++face)
                    colors.insert(colors.end(), {(40 * face) % 256, 128, 255});
                w.beginShape();
                w.writeAppearance({{0.2f, 0.4f, 0.6f}, 0.0f}, TextureInfo{2, image, !perFace, 0.0f, 0.5f * next});
                w.writeIndexedFaceSet(kind, next, coords.data(), 2, connectivity[kind].data(), "global_coords",
                                      values.data(), colors, {1}, perFace, true, true);
                w.closeBrace();
            }
            w.closeGroup();
        }
        w.endGlobalModel();
        const float levels[] = {0, 1, 2};
        w.writeSpectrumLegend(2, levels, {0, 0, 255, 255, 0, 0}, true, "Nodes", "Temperature", 0, 2, "demo.model",
                              0, 0.0f, 1);
    }, &kTopLevel);
    EXPECT_EQ(occurrences(text, "{"), occurrences(text, "}"));
    EXPECT_EQ(occurrences(text, "["), occurrences(text, "]"));
    EXPECT_EQ(occurrences(text, "DEF Global_model Transform"), 1);
    EXPECT_EQ(occurrences(text, "coord DEF global_coords Coordinate"), 1);
    EXPECT_EQ(occurrences(text, "coord USE global_coords"), 9);
    EXPECT_EQ(occurrences(text, "PixelTexture"), 1);
    EXPECT_EQ(occurrences(text, "texCoord DEF texVals"), 1);
    EXPECT_EQ(occurrences(text, "texCoord USE texVals"), 3);
    EXPECT_EQ(occurrences(text, "Color {"), 6);
    EXPECT_LT(text.find("ROUTE ss.rotation_changed"), text.find("DEF Spectrum Transform"));
}

}  // namespace
