// DEF names of parts and the small shared nodes: transforms, shapes, colour indices, sensors
// and routes. The expected texts spell out every "\n" and "\t".
#include "writer_fixture.h"

#include <string>

namespace {

std::wstring wide(const GuString& s) { return s.GetBuffer(); }

TEST(WriterDefNames, BlanksSlashesDotsNumberSignsAndCommasBecomeUnderscores) {
    ZVRMLWriter writer;
    GuString out;
    writer.makeDefName("Door Panel.1", out);
    EXPECT_EQ(wide(out), L"Door_Panel_1");
    writer.makeDefName("left/right\\mid#2,3", out);
    EXPECT_EQ(wide(out), L"left_right_mid_2_3");
}

TEST(WriterDefNames, ApostrophesAndDoubleQuotesVanish) {
    ZVRMLWriter writer;
    GuString out;
    writer.makeDefName("a'b\"c,d#e", out);
    EXPECT_EQ(wide(out), L"abc_d_e");
    writer.makeDefName("'\"'", out);
    EXPECT_EQ(wide(out), L"");
}

TEST(WriterDefNames, OtherCharactersAndALeadingDigitAreKept) {
    ZVRMLWriter writer;
    GuString out;
    writer.makeDefName("1st-part{x}[y]", out);
    EXPECT_EQ(wide(out), L"1st-part{x}[y]");
    writer.makeDefName("T\xC3\xBCr 7", out);  // UTF-8 for a u with diaeresis
    EXPECT_EQ(wide(out), L"T\u00FCr_7");
}

TEST(WriterDefNames, TheOutputIsReplacedNotAppendedTo) {
    ZVRMLWriter writer;
    GuString out("previous content");
    writer.makeDefName("Hood", out);
    EXPECT_EQ(wide(out), L"Hood");
    writer.makeDefName(nullptr, out);
    EXPECT_EQ(wide(out), L"");
}

using WriterNodes = WriterOutputTest;

TEST_F(WriterNodes, BeginTransformWritesASanitisedUnindentedDefLine) {
    writer.level = 2;
    writer.beginTransform("Door Panel.1");
    EXPECT_EQ(writer.level, 3);
    EXPECT_EQ(written(), "\nDEF Door_Panel_1 Transform {\n\t\t\tchildren [");
}

TEST_F(WriterNodes, BeginTransformWithoutANameUsesASingleUnderscore) {
    writer.beginTransform(nullptr);
    EXPECT_EQ(writer.level, 1);
    EXPECT_EQ(written(), "\nDEF _ Transform {\n\tchildren [");
}

TEST_F(WriterNodes, BeginTransformKeepsNonAsciiNamesAsUtf8) {
    writer.beginTransform("T\xC3\xBCr 7");
    EXPECT_EQ(written(), "\nDEF T\xC3\xBCr_7 Transform {\n\tchildren [");
}

TEST_F(WriterNodes, BeginShapeAndCoordUseEachGoOneLevelDeeper) {
    writer.level = 1;
    writer.beginShape();
    writer.writeCoordUse("global_coords");
    EXPECT_EQ(writer.level, 3);
    EXPECT_EQ(written(), "\n\t\tShape {\n\t\t\tcoord USE global_coords");
}

TEST_F(WriterNodes, ColorIndexListsEveryIndexOnOneLineAndEndsOneLevelUp) {
    writer.level = 2;
    writer.writeColorIndex(12);
    EXPECT_EQ(writer.level, 1);
    EXPECT_EQ(written(),
              "\n\t\tcolorIndex [0 1 2 3 4 5 6 7 8 9 10 11 "
              "\n\t]"
              "\n\tcolorPerVertex FALSE");
}

TEST_F(WriterNodes, AnEmptyColorIndexBreaksTheLineRightAfterTheBracket) {
    writer.level = 1;
    writer.writeColorIndex(0);
    EXPECT_EQ(writer.level, 0);
    EXPECT_EQ(written(), "\n\tcolorIndex [\n]\ncolorPerVertex FALSE");
}

TEST_F(WriterNodes, ProximitySensorRoutesItsPositionAndOrientationToTheLegend) {
    writer.writeProximitySensor();
    EXPECT_EQ(writer.level, 0);
    EXPECT_EQ(written(),
              "\nDEF prox ProximitySensor {"
              "\n\tsize 1e+006 1e+006 1e+006"
              "\n}"
              "\nROUTE prox.position_changed TO Spectrum.translation"
              "\nROUTE prox.orientation_changed TO Spectrum.rotation");
}

TEST_F(WriterNodes, TimeSensorLinesAreFlatWithAnEmptyLineBeforeItsBrace) {
    writer.writeTimeSensor("ts");
    EXPECT_EQ(writer.level, 0);
    EXPECT_EQ(written(), "\nDEF ts TimeSensor \n{\ncycleInterval 1\nloop TRUE\n\n}");
}

TEST_F(WriterNodes, TimeSensorClosesWithTheOrdinaryBraceRule) {
    writer.level = 2;
    writer.writeTimeSensor("clock");
    EXPECT_EQ(writer.level, 1);
    EXPECT_EQ(written(), "\nDEF clock TimeSensor \n{\ncycleInterval 1\nloop TRUE\n\n\t}");
}

TEST_F(WriterNodes, InterpolatorRoutesAreFlatAndKeepTheLevel) {
    writer.level = 2;
    writer.writeInterpolatorRoutes("ts", "ci", "global_coords");
    EXPECT_EQ(writer.level, 2);
    EXPECT_EQ(written(),
              "\nROUTE ts.fraction_changed TO ci.set_fraction"
              "\nROUTE ci.value_changed TO global_coords.set_point");
}

TEST_F(WriterNodes, AnEmptyRouteTargetLeavesTheNodeNameOut) {
    writer.writeInterpolatorRoutes("ts", "ci", "");
    EXPECT_EQ(written(),
              "\nROUTE ts.fraction_changed TO ci.set_fraction"
              "\nROUTE ci.value_changed TO .set_point");
}

TEST_F(WriterNodes, IntegersAndHostStringsAreWrittenAsNarrowText) {
    writer.writeInt(-2147483647 - 1);
    writer.writeText(" ");
    writer.writeInt(0);
    writer.writeText(" ");
    writer.writeString(GuString(L"\u00C4rger"));
    EXPECT_EQ(written(), "-2147483648 0 \xC3\x84rger");
}

TEST_F(WriterNodes, AMissingTextWritesNothingAndKeepsTheStreamUsable) {
    writer.writeText(nullptr);
    writer.writeCoordUse(nullptr);
    writer.writeText("|after");
    EXPECT_TRUE(writer.stream.good());
    EXPECT_EQ(written(), "\n\tcoord USE |after");
}

}  // namespace
