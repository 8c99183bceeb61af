// The spectrum legend: what it holds with and without contours, where each piece stands, and
// the text of its labels.
#include "writer_fixture.h"

#include <cmath>
#include <limits>
#include <locale>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// The arguments of one legend, with the three-band spectrum of the examples as defaults.
struct Legend {
    int colorCount = 3;
    std::vector<float> levels{0.0f, 10.0f, 20.0f, 30.0f};
    std::vector<int> colors{255, 0, 0, 0, 255, 0, 0, 0, 255};
    bool contoursShown = true;
    const char* location = "Nodes";
    const char* result = "Temperature";
    float minValue = 0.0f;
    float maxValue = 30.0f;
    const char* title = "Bracket";
    int frameIndex = 0;
    float time = 0.0f;
    int showColorBar = 1;

    void writeWith(ZVRMLWriter& writer) const {
        writer.writeSpectrumLegend(colorCount, levels.data(), colors, contoursShown, location, result,
                                   minValue, maxValue, title, frameIndex, time, showColorBar);
    }
};

std::vector<std::string> matches(const std::string& text, const std::string& pattern) {
    std::vector<std::string> found;
    const std::regex re(pattern);
    for (std::sregex_iterator it(text.begin(), text.end(), re), end; it != end; ++it)
        found.push_back(it->size() > 1 ? (*it)[1].str() : it->str());
    return found;
}

std::vector<std::string> translations(const std::string& text) {
    return matches(text, "translation[ \t]+([^\n]*)");
}

std::vector<std::string> textStrings(const std::string& text) {
    return matches(text, "string \\[([^\n]*)");
}

using WriterLegend = WriterOutputTest;

TEST_F(WriterLegend, ThreeBandsPlaceBandsTicksLabelsAndCaption) {
    Legend legend;
    legend.writeWith(writer);
    EXPECT_TRUE(writer.legendWritten);
    EXPECT_EQ(writer.level, 0);
    checkWithReaders();
    const std::string text = written();

    EXPECT_EQ(translations(text), (std::vector<std::string>{
                                      "-25 -5 -35",
                                      "35 18 0",                       // frame label
                                      "1.000000 6.000000 0.000000 ",   // title at n + 3
                                      "0.000000 -1.000000 0.000000 ",  // bands at k - 1
                                      "0.000000 0.000000 0.000000 ",
                                      "0.000000 1.000000 0.000000 ",
                                      "0.000000 -1.000000 0.000000 ",  // ticks at j - 1
                                      "0.000000 0.000000 0.000000 ",
                                      "0.000000 1.000000 0.000000 ",
                                      "0.000000 2.000000 0.000000 ",
                                      "2.000000 2.000000 0.000000 ",   // level labels at n - 1
                                      "1.000000 5.000000 0.000000 ",   // caption at n + 2
                                  }));
    EXPECT_EQ(matches(text, "diffuseColor\t([^\n]*)"),
              (std::vector<std::string>{"1.000000 0.000000 0.000000 ", "0.000000 1.000000 0.000000 ",
                                        "0.000000 0.000000 1.000000 "}));
    EXPECT_EQ(textStrings(text), (std::vector<std::string>{
                                     "\"1 / 0\"",
                                     "\"Bracket\"",
                                     "\"30\", \"20\", \"10\", \"0\", ",
                                     "\"Nodes : Temperature\" , \"min = 0\" , \"max = 30\" , ",
                                 }));
    EXPECT_EQ(matches(text, "size\t([^\n]*)"), (std::vector<std::string>{"1", "1", "0.7", "0.7"}));
    const std::string ending =
        "\nDEF prox ProximitySensor {"
        "\n\tsize 1e+006 1e+006 1e+006"
        "\n}"
        "\nROUTE prox.position_changed TO Spectrum.translation"
        "\nROUTE prox.orientation_changed TO Spectrum.rotation";
    EXPECT_EQ(text.substr(text.size() - ending.size()), ending);
}

TEST_F(WriterLegend, TheLegendOpensWithTheViewerFollowingGroups) {
    Legend legend;
    legend.writeWith(writer);
    const std::string text = written();
    const std::string opening =
        "\n\nDEF Spectrum Transform {"
        "\n\tchildren ["
        "\nDEF Quads Transform {"
        "\n\t\ttranslation -25 -5 -35"
        "\n\t\t\tchildren ["
        "\n\t\t\t\tTransform {translation 35 18 0"
        "\nchildren [";
    EXPECT_EQ(text.substr(0, opening.size()), opening);
}

TEST_F(WriterLegend, AFileHoldsOneLegend) {
    Legend legend;
    legend.writeWith(writer);
    legend.title = "Second";
    legend.writeWith(writer);
    const std::string text = written();
    EXPECT_EQ(text.find("Second"), std::string::npos);
    EXPECT_EQ(text.find("DEF Spectrum Transform"), text.rfind("DEF Spectrum Transform"));
}

TEST_F(WriterLegend, ResetAllowsTheNextFileItsLegend) {
    Legend legend;
    legend.writeWith(writer);
    writer.reset();
    EXPECT_FALSE(writer.legendWritten);
    legend.writeWith(writer);
    const std::string text = written();
    EXPECT_NE(text.find("DEF Spectrum Transform"), text.rfind("DEF Spectrum Transform"));
}

TEST_F(WriterLegend, WithoutBandsTheTitleMovesUpAndNothingOfTheBarIsWritten) {
    Legend legend;
    legend.colorCount = 0;
    legend.colors.clear();
    legend.levels = {0.0f};
    legend.writeWith(writer);
    checkWithReaders();
    const std::string text = written();
    EXPECT_EQ(translations(text),
              (std::vector<std::string>{"-25 -5 -35", "35 18 0", "1.000000 18.000000 0.000000 "}));
    EXPECT_EQ(text.find("Material"), std::string::npos);
    EXPECT_EQ(text.find("IndexedLineSet"), std::string::npos);
    EXPECT_EQ(text.find("min ="), std::string::npos);
}

TEST_F(WriterLegend, WithoutContoursOnlyTheFrameLabelTitleAndSensorRemain) {
    Legend legend;
    legend.contoursShown = false;
    legend.frameIndex = 2;
    legend.time = 0.5f;
    legend.writeWith(writer);
    checkWithReaders();
    const std::string text = written();
    EXPECT_EQ(textStrings(text), (std::vector<std::string>{"\"3 / 0.5\"", "\"Bracket\""}));
    EXPECT_EQ(text.find("Material"), std::string::npos);
    EXPECT_NE(text.find("DEF prox ProximitySensor"), std::string::npos);
}

TEST_F(WriterLegend, WithoutTheColourBarTheCaptionStays) {
    Legend legend;
    legend.showColorBar = 0;
    legend.writeWith(writer);
    checkWithReaders();
    const std::string text = written();
    EXPECT_EQ(text.find("Material"), std::string::npos);
    EXPECT_EQ(text.find("IndexedLineSet"), std::string::npos);
    EXPECT_EQ(text.find("\"30\""), std::string::npos);
    EXPECT_NE(text.find("\"max = 30\""), std::string::npos);
}

TEST_F(WriterLegend, TheLegendsOwnCoordinatesNeverStandForTheModels) {
    writer.coordDefined = true;
    Legend legend;
    legend.writeWith(writer);
    EXPECT_FALSE(writer.coordDefined);
    const std::string text = written();
    // Every band square carries its full coordinate node.
    EXPECT_EQ(matches(text, "coord DEF SpectrumCoords Coordinate").size(), 3u);
}

TEST_F(WriterLegend, ATitleIsCleanedAsANodeNameIs) {
    Legend legend;
    legend.title = "a.b/c d 'quoted' \"x\",#1";
    legend.writeWith(writer);
    EXPECT_EQ(textStrings(written())[1], "\"a_b_c_d_quoted_x__1\"");
}

TEST_F(WriterLegend, QuotesAndBackslashesInResultNamesAreEscaped) {
    Legend legend;
    legend.location = "Elements";
    legend.result = "Stress \"von Mises\" \\ max";
    legend.writeWith(writer);
    checkWithReaders();
    EXPECT_EQ(textStrings(written())[3],
              "\"Elements : Stress \\\"von Mises\\\" \\\\ max\" , \"min = 0\" , \"max = 30\" , ");
}

TEST_F(WriterLegend, LabelsOfARangeThatPlainDecimalsCannotShowAreScientific) {
    struct Case {
        float minValue, maxValue;
        const char* caption;
    };
    const Case cases[] = {
        {0.0f, 0.0f, "\"min = 0.000e+00\" , \"max = 0.000e+00\" , "},
        {0.0f, 0.005f, "\"min = 0.000e+00\" , \"max = 5.000e-03\" , "},
        {-2e5f, 10.0f, "\"min = -2.000e+05\" , \"max = 1.000e+01\" , "},
        {0.0f, 50.0f, "\"min = 0\" , \"max = 50\" , "},
        {-0.0004f, 12.3456f, "\"min = -0\" , \"max = 12.346\" , "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        ZVRMLWriter caseWriter;
        const auto caseFile = dir / "case.wrl";
        ASSERT_TRUE(caseWriter.openFile(guName(caseFile)));
        caseWriter.writeRangeLabels("Nodes", "T", c.minValue, c.maxValue, 3, true);
        caseWriter.closeFile();
        const std::string line = textStrings(testing_support::readFile(caseFile)).at(0);
        EXPECT_EQ(line, std::string("\"Nodes : T\" , ") + c.caption);
    }
}

TEST_F(WriterLegend, AColourListOfPartialTriplesIsRefused) {
    EXPECT_THROW(writer.writeSpectrumBands({255, 0, 0, 7}, 1), std::out_of_range);
}

TEST_F(WriterLegend, TheFrameLabelHasItsExactLines) {
    writer.writeFrameLabel(2, 0.5f);
    checkWithReaders();
    EXPECT_EQ(writer.level, 0);
    EXPECT_EQ(written(),
              "Transform {translation 35 18 0"
              "\nchildren ["
              "\nDEF _ Transform {"
              "\n\tchildren [\t\t"
              "\n\t\t\tShape {"
              "\n\t\t\t\tgeometry Text {"
              "\n\t\t\t\t\tstring [\"3 / 0.5\""
              "\n\t\t\t\t]"
              "\n\t\t\t\t\tfontStyle FontStyle {"
              "\n\t\t\t\t\t\tfamily\t\"SANS\""
              "\n\t\t\t\t\t\tsize\t1"
              "\n\t\t\t\t\t\tspacing 1.45"
              "\n\t\t\t\t\t}"
              "\n\t\t\t\t}"
              "\n\t\t\t}"
              "\n\t\t]"
              "\n\t}"
              "\n]"
              "\n}");
}

TEST_F(WriterLegend, TicksAreLinesOneAndAHalfBandsLong) {
    writer.writeSpectrumTicks(1);
    writer.writeSpectrumTicks(0);
    EXPECT_EQ(writer.level, 0);
    checkWithReaders();
    const std::string text = written();
    EXPECT_EQ(translations(text),
              (std::vector<std::string>{"0.000000 -1.000000 0.000000 ", "0.000000 0.000000 0.000000 "}));
    EXPECT_NE(text.find("\n\t\t\t\t\tcoord Coordinate {"
                        "\n\t\t\t\t\t\tpoint [0 0 0"
                        "\n\t\t\t\t\t\t1.5 0 0"
                        "\n\t\t\t\t\t]"
                        "\n\t\t\t\t}coordIndex [0 1]"),
              std::string::npos)
        << text;
}

// Legend numbers: three decimals, halves away from zero, or scientific with three decimals.
TEST(LegendNumbers, PlainNumbersAreRoundedToThreeDecimals) {
    ZVRMLWriter writer;
    GuString out;
    const std::pair<float, const wchar_t*> cases[] = {
        {0.12345f, L"0.123"}, {2.5f, L"2.5"},     {0.0005f, L"0.001"},   {-0.0015f, L"-0.002"},
        {50.0f, L"50"},       {-7.25f, L"-7.25"}, {123456.789f, L"123457"},
        // The product is rounded to single precision before the half is added: 2000.49996
        // becomes 2000.5, so the label reads 2.001 where exact arithmetic would give 2.
        {2.0005f, L"2.001"},
        // Exact ties of the seventh digit round away from zero.
        {1234.125f, L"1234.13"}, {-1234.125f, L"-1234.13"},
        {1e-5f, L"0"}, {999999.5f, L"1e+06"}, {0.001f, L"0.001"},
    };
    for (const auto& [value, expected] : cases) {
        writer.formatLegendNumber(value, false, out);
        EXPECT_STREQ(out.GetBuffer(), expected) << value;
    }
}

TEST(LegendNumbers, TinyNegativeValuesRoundToNegativeZero) {
    ZVRMLWriter writer;
    GuString out;
    writer.formatLegendNumber(-0.0004f, false, out);
    EXPECT_STREQ(out.GetBuffer(), L"-0");
    writer.formatLegendNumber(0.0004f, false, out);
    EXPECT_STREQ(out.GetBuffer(), L"0");
}

TEST(LegendNumbers, ScientificNumbersHaveAThreeDecimalMantissa) {
    ZVRMLWriter writer;
    GuString out;
    const std::pair<float, const wchar_t*> cases[] = {
        {1.2345e6f, L"1.235e+06"}, {0.0f, L"0.000e+00"}, {-2e5f, L"-2.000e+05"}, {5e-3f, L"5.000e-03"},
        {1e-30f, L"1.000e-30"}, {9999.5f, L"1.000e+04"}, {-0.0f, L"-0.000e+00"},
        {std::numeric_limits<float>::denorm_min(), L"1.401e-45"},
    };
    for (const auto& [value, expected] : cases) {
        writer.formatLegendNumber(value, true, out);
        EXPECT_STREQ(out.GetBuffer(), expected) << value;
    }
}

TEST(LegendNumbers, LabelsKeepTheirDecimalPointUnderAnyGlobalLocale) {
    struct CommaPoint : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
    };
    ZVRMLWriter writer;
    GuString out;
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaPoint));
    writer.formatLegendNumber(2.5f, false, out);
    const std::wstring plain = out.GetBuffer();
    writer.formatLegendNumber(2.5f, true, out);
    const std::wstring scientific = out.GetBuffer();
    std::locale::global(previous);
    EXPECT_EQ(plain, L"2.5");
    EXPECT_EQ(scientific, L"2.500e+00");
}

TEST(LegendNumbers, ScientificIsChosenForRangesTooWideOrTooNarrowForThreeDecimals) {
    ZVRMLWriter writer;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        float minValue, maxValue;
        bool scientific;
    };
    const Case cases[] = {
        {2e6f, 2e6f, true},     {-2e6f, -2e6f, true},   {5.0f, 5.0f, false},  {0.0f, 0.0f, true},
        {5e-5f, 5e-5f, true},   {-2e5f, 10.0f, true},   {0.0f, 0.005f, true}, {0.0f, 50.0f, false},
        {0.0f, 0.009f, false},  {0.0f, 0.0089f, true},  {0.0f, 100000.0f, false},
        {0.0f, 100001.0f, true}, {nan, 1.0f, false},    {nan, nan, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(writer.needsScientific(c.minValue, c.maxValue), c.scientific)
            << c.minValue << " .. " << c.maxValue;
}

}  // namespace
