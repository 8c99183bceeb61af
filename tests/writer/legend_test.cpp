// The spectrum legend: what it holds with and without contours, where each piece stands, and
// the text of its labels and their numbers.
#include "writer_fixture.h"

#include <limits>
#include <locale>
#include <stdexcept>
#include <vector>

namespace {

using testing_support::matchesOf;
using Strings = std::vector<std::string>;

// The arguments of one legend: three bands over 0..30 unless a case changes them.
struct Legend {
    int colorCount = 3;
    std::vector<float> levels{0.0f, 10.0f, 20.0f, 30.0f};
    std::vector<int> colors{255, 0, 0, 0, 255, 0, 0, 0, 255};
    bool contoursShown = true;
    const char* result = "Temperature";
    float minValue = 0.0f, maxValue = 30.0f;
    const char* title = "Bracket";
    int frameIndex = 0;
    float time = 0.0f;
    int showColorBar = 1;

    void writeWith(ZVRMLWriter& writer) const {
        writer.writeSpectrumLegend(colorCount, levels.data(), colors, contoursShown, "Nodes", result, minValue,
                                   maxValue, title, frameIndex, time, showColorBar);
    }
};

Strings translations(const std::string& text) { return matchesOf(text, "translation[ \t]+([^\n]*)"); }
Strings textStrings(const std::string& text) { return matchesOf(text, "string \\[([^\n]*)"); }

using WriterLegend = WriterTest;

TEST_F(WriterLegend, ThreeBands) {
    const std::string text = textOf([](ZVRMLWriter& w) { Legend().writeWith(w); }, &kTopLevel);
    EXPECT_EQ(levelAfter, 0);
    EXPECT_EQ(translations(text), (Strings{"-25 -5 -35", "35 18 0",
                                           "1.000000 6.000000 0.000000 ",  // title at n + 3
                                           "0.000000 -1.000000 0.000000 ", "0.000000 0.000000 0.000000 ",
                                           "0.000000 1.000000 0.000000 ",  // bands at k - 1
                                           "0.000000 -1.000000 0.000000 ", "0.000000 0.000000 0.000000 ",
                                           "0.000000 1.000000 0.000000 ",
                                           "0.000000 2.000000 0.000000 ",  // ticks at j - 1
                                           "2.000000 2.000000 0.000000 ",  // level labels at n - 1
                                           "1.000000 5.000000 0.000000 "}));  // caption at n + 2
    EXPECT_EQ(matchesOf(text, "diffuseColor\t([^\n]*)"),
              (Strings{"1.000000 0.000000 0.000000 ", "0.000000 1.000000 0.000000 ", "0.000000 0.000000 1.000000 "}));
    EXPECT_EQ(textStrings(text), (Strings{"\"1 / 0\"", "\"Bracket\"", "\"30\", \"20\", \"10\", \"0\", ",
                                          "\"Nodes : Temperature\" , \"min = 0\" , \"max = 30\" , "}));
    EXPECT_EQ(matchesOf(text, "size\t([^\n]*)"), (Strings{"1", "1", "0.7", "0.7"}));
    EXPECT_EQ(matchesOf(text, "coord DEF SpectrumCoords Coordinate").size(), 3u);
    EXPECT_TRUE(text.starts_with("\n\nDEF Spectrum Transform {\n\tchildren [\nDEF Quads Transform {"
                                 "\n\t\ttranslation -25 -5 -35\n\t\t\tchildren [\n\t\t\t\tTransform {translation 35 18 0"
                                 "\nchildren [")) << text;
    EXPECT_TRUE(text.ends_with("\nDEF prox ProximitySensor {\n\tsize 1e+006 1e+006 1e+006\n}"
                               "\nROUTE prox.position_changed TO Spectrum.translation"
                               "\nROUTE prox.orientation_changed TO Spectrum.rotation")) << text;
}

TEST_F(WriterLegend, Variants) {
    struct Row {
        const char* name;
        void (*change)(Legend&);
        Strings strings;
        size_t translationCount;
        bool bar;
    } rows[] = {
        {"no bands: the title moves up", [](Legend& l) { l.colorCount = 0; l.colors.clear(); l.levels = {0}; },
         {"\"1 / 0\"", "\"Bracket\""}, 3, false},
        {"no contours", [](Legend& l) { l.contoursShown = false; l.frameIndex = 2; l.time = 0.5f; },
         {"\"3 / 0.5\"", "\"Bracket\""}, 3, false},
        {"no colour bar", [](Legend& l) { l.showColorBar = 0; },
         {"\"1 / 0\"", "\"Bracket\"", "\"Nodes : Temperature\" , \"min = 0\" , \"max = 30\" , "}, 4, false},
        {"a title cleaned as a node name", [](Legend& l) { l.title = "a.b/c d 'q' \"x\",#1"; l.contoursShown = false; },
         {"\"1 / 0\"", "\"a_b_c_d_q_x__1\""}, 3, false},
        {"quotes and backslashes escaped", [](Legend& l) { l.result = "S \"vM\" \\ max"; },
         {"\"1 / 0\"", "\"Bracket\"", "\"30\", \"20\", \"10\", \"0\", ",
          "\"Nodes : S \\\"vM\\\" \\\\ max\" , \"min = 0\" , \"max = 30\" , "}, 12, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Legend legend;
        row.change(legend);
        const std::string text = textOf([&](ZVRMLWriter& w) { legend.writeWith(w); }, &kTopLevel);
        EXPECT_EQ(textStrings(text), row.strings);
        const Strings placed = translations(text);
        EXPECT_EQ(placed.size(), row.translationCount);
        if (row.translationCount == 3 && legend.colorCount == 0) EXPECT_EQ(placed[2], "1.000000 18.000000 0.000000 ");
        EXPECT_EQ(text.find("IndexedLineSet") != std::string::npos, row.bar);
        EXPECT_EQ(text.find("Material") != std::string::npos, row.bar);
    }
}

TEST_F(WriterLegend, OnePerFileUntilReset) {
    const std::string text = textOf([](ZVRMLWriter& w) {
        Legend legend;
        legend.writeWith(w);
        legend.title = "Second";
        legend.writeWith(w);
        w.reset();
        legend.title = "Third";
        legend.writeWith(w);
        EXPECT_FALSE(w.coordDefined) << "the legend's coordinates never stand for the model's";
    });
    EXPECT_EQ(textStrings(text)[5], "\"Third\"");
    EXPECT_EQ(text.find("Second"), std::string::npos);
}

TEST_F(WriterLegend, PiecesWrittenAlone) {
    const std::pair<WriterSteps, const char*> rows[] = {
        {[](ZVRMLWriter& w) { w.writeFrameLabel(2, 0.5f); },
         "Transform {translation 35 18 0\nchildren [\nDEF _ Transform {\n\tchildren [\t\t\n\t\t\tShape {"
         "\n\t\t\t\tgeometry Text {\n\t\t\t\t\tstring [\"3 / 0.5\"\n\t\t\t\t]\n\t\t\t\t\tfontStyle FontStyle {"
         "\n\t\t\t\t\t\tfamily\t\"SANS\"\n\t\t\t\t\t\tsize\t1\n\t\t\t\t\t\tspacing 1.45\n\t\t\t\t\t}\n\t\t\t\t}"
         "\n\t\t\t}\n\t\t]\n\t}\n]\n}"},
        {[](ZVRMLWriter& w) { w.writeSpectrumTicks(1); w.writeSpectrumTicks(0); },
         "\nTransform {\ttranslation\t0.000000 -1.000000 0.000000 \n\t\tchildren [\n\t\t\tShape {"
         "\n\t\t\t\tgeometry IndexedLineSet {\n\t\t\t\t\tcoord Coordinate {\n\t\t\t\t\t\tpoint [0 0 0"
         "\n\t\t\t\t\t\t1.5 0 0\n\t\t\t\t\t]\n\t\t\t\t}coordIndex [0 1]\n\t\t\t}\n\t\t}\n\t]\n}"
         "\nTransform {\ttranslation\t0.000000 0.000000 0.000000 \n\t\tchildren [\n\t\t\tShape {"
         "\n\t\t\t\tgeometry IndexedLineSet {\n\t\t\t\t\tcoord Coordinate {\n\t\t\t\t\t\tpoint [0 0 0"
         "\n\t\t\t\t\t\t1.5 0 0\n\t\t\t\t\t]\n\t\t\t\t}coordIndex [0 1]\n\t\t\t}\n\t\t}\n\t]\n}"},
    };
    for (const auto& [steps, text] : rows) {
        EXPECT_EQ(textOf(steps, &kTopLevel), text);
        EXPECT_EQ(levelAfter, 0);
    }
    ZVRMLWriter writer;
    EXPECT_THROW(writer.writeSpectrumBands({255, 0, 0, 7}, 1), std::out_of_range) << "a partial triple";
}

TEST_F(WriterLegend, RangeCaptionsTurnScientificWhenThreeDecimalsCannotShowTheRange) {
    const std::tuple<float, float, const char*> rows[] = {
        {0.0f, 0.0f, "\"min = 0.000e+00\" , \"max = 0.000e+00\" , "},
        {0.0f, 0.005f, "\"min = 0.000e+00\" , \"max = 5.000e-03\" , "},
        {-2e5f, 10.0f, "\"min = -2.000e+05\" , \"max = 1.000e+01\" , "},
        {0.0f, 50.0f, "\"min = 0\" , \"max = 50\" , "},
        {-0.0004f, 12.3456f, "\"min = -0\" , \"max = 12.346\" , "},
    };
    for (const auto& [minValue, maxValue, caption] : rows)
        EXPECT_EQ(textStrings(textOf([&](ZVRMLWriter& w) { w.writeRangeLabels("Nodes", "T", minValue, maxValue, 3, true); }))
                      .at(0), std::string("\"Nodes : T\" , ") + caption);
}

// Three decimals, halves away from zero, or scientific with a three-decimal mantissa.
TEST(LegendNumbers, Text) {
    const std::tuple<float, bool, const wchar_t*> rows[] = {
        {0.12345f, false, L"0.123"}, {2.5f, false, L"2.5"}, {0.0005f, false, L"0.001"},
        {-0.0015f, false, L"-0.002"}, {50.0f, false, L"50"}, {-7.25f, false, L"-7.25"},
        {123456.789f, false, L"123457"}, {1e-5f, false, L"0"}, {999999.5f, false, L"1e+06"},
        // The product is rounded to single precision first: 2000.49996 becomes 2000.5.
        {2.0005f, false, L"2.001"},
        // Exact ties of the seventh digit round away from zero.
        {1234.125f, false, L"1234.13"}, {-1234.125f, false, L"-1234.13"},
        {-0.0004f, false, L"-0"}, {0.0004f, false, L"0"},
        {1.2345e6f, true, L"1.235e+06"}, {0.0f, true, L"0.000e+00"}, {-2e5f, true, L"-2.000e+05"},
        {5e-3f, true, L"5.000e-03"}, {1e-30f, true, L"1.000e-30"}, {9999.5f, true, L"1.000e+04"},
        {-0.0f, true, L"-0.000e+00"}, {std::numeric_limits<float>::denorm_min(), true, L"1.401e-45"},
        {std::numeric_limits<float>::infinity(), false, L"inf"}, {-std::numeric_limits<float>::infinity(), true, L"-inf"},
    };
    struct CommaPoint : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
    };
    ZVRMLWriter writer;
    GuString out;
    for (bool commaLocale : {false, true}) {
        const std::locale previous = std::locale::global(
            commaLocale ? std::locale(std::locale::classic(), new CommaPoint) : std::locale::classic());
        for (const auto& [value, scientific, expected] : rows) {
            writer.formatLegendNumber(value, scientific, out);
            EXPECT_STREQ(out.GetBuffer(), expected) << value << (commaLocale ? " under a comma locale" : "");
        }
        std::locale::global(previous);
    }
}

TEST(LegendNumbers, ScientificForRangesTooWideOrTooNarrow) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::tuple<float, float, bool> rows[] = {
        {2e6f, 2e6f, true}, {-2e6f, -2e6f, true}, {5.0f, 5.0f, false}, {0.0f, 0.0f, true},
        {5e-5f, 5e-5f, true}, {-2e5f, 10.0f, true}, {0.0f, 0.005f, true}, {0.0f, 50.0f, false},
        {0.0f, 0.009f, false}, {0.0f, 0.0089f, true}, {0.0f, 100000.0f, false}, {0.0f, 100001.0f, true},
        {nan, 1.0f, false}, {nan, nan, false},
    };
    ZVRMLWriter writer;
    for (const auto& [minValue, maxValue, scientific] : rows)
        EXPECT_EQ(writer.needsScientific(minValue, maxValue), scientific) << minValue << " .. " << maxValue;
}

}  // namespace
