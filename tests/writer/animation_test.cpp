// The coordinate animation: time sensor, interpolator with every node of every key, and routes.
#include "writer_fixture.h"

#include <map>
#include <string>
#include <vector>

namespace {

using WriterAnimation = WriterOutputTest;

// The coordinate node that the routes drive, as a scene would hold it before the animation.
void writeDrivenCoordinates(ZVRMLWriter& writer, const std::vector<float>& points) {
    writer.beginShape();
    writer.writeIndexedFaceSet(0, static_cast<int>(points.size() / 3), points.data(), 0, nullptr,
                               "global_coords", nullptr, {}, {}, false, true, false);
    writer.closeBrace();
    writer.level = 0;
}

TEST_F(WriterAnimation, TwoFramesOfTwoNodesGiveTheSensorKeysPointsAndRoutes) {
    std::vector<float> first{0, 0, 0, 1, 0, 0};
    std::vector<float> second{0, 0, 0.5f, 1, 0, -2};
    writer.writeCoordinateAnimation({{0.0, first.data()}, {1.0, second.data()}}, 2, "global_coords");
    EXPECT_EQ(writer.level, 0);
    checkWithReaders("\nShape { geometry IndexedFaceSet { coord DEF global_coords Coordinate {"
                     " point [0 0 0, 1 0 0] } } }");
    EXPECT_EQ(written(),
              "\nDEF ts TimeSensor "
              "\n{"
              "\ncycleInterval 1"
              "\nloop TRUE"
              "\n"
              "\n}"
              "\nDEF ci CoordinateInterpolator {"
              "\nkey [0 1 ]"
              "\nkeyValue ["
              "0.000000 0.000000 0.000000 1.000000 0.000000 0.000000 "
              "0.000000 0.000000 0.500000 1.000000 0.000000 -2.000000 ]"
              "\n}"
              "\nROUTE ts.fraction_changed TO ci.set_fraction"
              "\nROUTE ci.value_changed TO global_coords.set_point");
}

TEST_F(WriterAnimation, AnAnimatedSceneOpensInAnIndependentReader) {
    std::vector<float> first{0, 0, 0, 1, 0, 0, 0, 1, 0};
    std::vector<float> second{0, 0, 1, 1, 0, 1, 0, 1, 1};
    writeDrivenCoordinates(writer, first);
    writer.writeCoordinateAnimation({{0.0, first.data()}, {1.0, second.data()}}, 3, "global_coords");
    checkWithReaders();
    EXPECT_NE(written().find("ROUTE ci.value_changed TO global_coords.set_point"), std::string::npos);
}

TEST_F(WriterAnimation, KeysComeOutAscendingWhateverTheInsertionOrder) {
    std::vector<float> point{0, 0, 0};
    std::map<double, float*> frames;
    frames[1.0] = point.data();
    frames[0.25] = point.data();
    frames[0.0] = point.data();
    frames[0.25] = point.data();  // a repeated key stays one entry
    writer.writeCoordinateAnimation(frames, 1, "c");
    const std::string text = written();
    EXPECT_NE(text.find("\nkey [0 0.25 1 ]\n"), std::string::npos) << text;
}

TEST_F(WriterAnimation, AnEmptyMapStillWritesTheSensorAndTheRoutes) {
    writer.writeCoordinateAnimation({}, 5, "global_coords");
    const std::string text = written();
    EXPECT_NE(text.find("\nkey []\nkeyValue []\n}"), std::string::npos) << text;
    EXPECT_NE(text.find("DEF ts TimeSensor"), std::string::npos);
    EXPECT_NE(text.find("ROUTE ci.value_changed TO global_coords.set_point"), std::string::npos);
}

TEST_F(WriterAnimation, WithoutNodesTheKeysStayAndTheValuesAreEmpty) {
    std::vector<float> point{7, 7, 7};
    writer.writeCoordinateAnimation({{0.0, point.data()}, {1.0, point.data()}}, 0, "c");
    EXPECT_NE(written().find("\nkey [0 1 ]\nkeyValue []"), std::string::npos);
}

TEST_F(WriterAnimation, EveryTripleIsPrecededByTheCurrentIndentation) {
    std::vector<float> points{1, 2, 3, 4, 5, 6};
    writer.level = 3;  // the time sensor's closing brace leaves two levels
    writer.writeCoordinateAnimation({{0.5, points.data()}}, 2, "c");
    EXPECT_EQ(writer.level, 2);
    EXPECT_NE(written().find("\nkeyValue [\t\t1.000000 2.000000 3.000000 \t\t4.000000 5.000000 6.000000 ]"),
              std::string::npos);
}

TEST_F(WriterAnimation, AfterTheFileIsClosedTheAnimationIsAddedToItsEnd) {
    std::vector<float> points{0, 0, 0, 1, 0, 0, 0, 1, 0};
    writeDrivenCoordinates(writer, points);
    writer.closeFile();
    const std::string scene = testing_support::readFile(file);

    writer.reset();
    writer.writeCoordinateAnimation({{0.0, points.data()}}, 3, "global_coords");
    EXPECT_FALSE(writer.stream.is_open()) << "the file is closed again";
    const std::string text = testing_support::readFile(file);
    ASSERT_EQ(text.substr(0, scene.size()), scene) << "the scene stays as it was";
    EXPECT_TRUE(text.substr(scene.size()).starts_with("\nDEF ts TimeSensor"));
    EXPECT_TRUE(text.ends_with("ROUTE ci.value_changed TO global_coords.set_point"));
    testing_support::keepVrmlSample(text);
}

}  // namespace
