// The frame of every scene: viewpoint, the global model transform and its sphere sensor.
#include "writer_fixture.h"

#include <limits>
#include <string>

namespace {

using WriterSceneFrame = WriterOutputTest;

const float kScale[] = {2.0f, 2.0f, 2.0f};
const float kRotation[] = {0.0f, 0.0f, 1.0f, 0.5f};
const float kTranslation[] = {-1.5f, 0.25f, 3.0f};

TEST_F(WriterSceneFrame, ViewpointLooksDownOnTheCentreFromTwiceTheLargestCoordinate) {
    const float center[] = {1.0f, 2.0f, 7.0f};
    writer.writeViewpoint(5.0f, center);
    EXPECT_EQ(writer.level, 0);
    checkWithReaders();
    EXPECT_EQ(written(),
              "Viewpoint { "
              "\n\tposition\t1.000000 2.000000 10.000000 "
              "\n\tfieldOfView 0.785"
              "\n\tdescription \"Top View\""
              "\n}");
}

TEST_F(WriterSceneFrame, ViewpointOfTheLargestFloatStaysFinite) {
    const float center[] = {0.0f, 0.0f, 0.0f};
    writer.writeViewpoint(std::numeric_limits<float>::max(), center);
    const std::string text = written();
    EXPECT_EQ(text.find("inf"), std::string::npos) << text;
}

TEST_F(WriterSceneFrame, GlobalModelCarriesTheCameraPlacementWithAZeroCentre) {
    float center[] = {4.0f, 5.0f, 6.0f};
    writer.beginGlobalModel(center, kScale, kRotation, kTranslation);
    EXPECT_EQ(writer.level, 2);
    checkWithReaders("", "\n]\n}");
    EXPECT_TRUE(writer.globalModelWritten);
    EXPECT_EQ(center[0], 0.0f);
    EXPECT_EQ(center[1], 0.0f);
    EXPECT_EQ(center[2], 0.0f);
    EXPECT_EQ(written(),
              "\nDEF Global_model Transform {"
              "\n\tscale\t2.000000 2.000000 2.000000 "
              "\n\tcenter\t0.000000 0.000000 0.000000 "
              "\n\trotation\t0.000000 0.000000 1.000000 0.500000 "
              "\n\ttranslation\t-1.500000 0.250000 3.000000 "
              "\n"
              "\n\t\tchildren [");
}

TEST_F(WriterSceneFrame, OnlyTheFirstPartOfAFileOpensTheGlobalModel) {
    float center[] = {4.0f, 5.0f, 6.0f};
    writer.beginGlobalModel(center, kScale, kRotation, kTranslation);
    writer.writeText("|first part|");
    float untouched[] = {4.0f, 5.0f, 6.0f};
    writer.beginGlobalModel(untouched, kScale, kRotation, kTranslation);
    EXPECT_EQ(writer.level, 2);
    EXPECT_EQ(untouched[0], 4.0f);  // the second call does nothing at all
    const std::string text = written();
    EXPECT_EQ(text.find("Global_model"), text.rfind("Global_model"));
    EXPECT_EQ(text.substr(text.size() - 12), "|first part|");
}

TEST_F(WriterSceneFrame, ResetLetsTheNextFileOpenItsOwnGlobalModel) {
    float center[] = {0.0f, 0.0f, 0.0f};
    writer.beginGlobalModel(center, kScale, kRotation, kTranslation);
    writer.reset();
    EXPECT_FALSE(writer.globalModelWritten);
    writer.beginGlobalModel(center, kScale, kRotation, kTranslation);
    const std::string text = written();
    EXPECT_NE(text.find("Global_model"), text.rfind("Global_model"));
}

TEST_F(WriterSceneFrame, EndClosesTheTransformAndRoutesASphereSensorToIt) {
    float center[] = {0.0f, 0.0f, 0.0f};
    writer.beginGlobalModel(center, kScale, kRotation, kTranslation);
    writer.beginTransform("Plate");
    writer.beginShape();
    writer.closeBrace();
    writer.closeGroup();
    writer.level = 3;  // wherever the parts left it
    writer.endGlobalModel();
    EXPECT_EQ(writer.level, 0);
    checkWithReaders();
    const std::string text = written();
    const std::string ending =
        "\n\t\t]"
        "\n\t}"
        "\nDEF ss SphereSensor { }"
        "\nROUTE ss.rotation_changed TO Global_model.set_rotation";
    ASSERT_GE(text.size(), ending.size());
    EXPECT_EQ(text.substr(text.size() - ending.size()), ending);
}

}  // namespace
