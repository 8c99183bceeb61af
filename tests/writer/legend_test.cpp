// The spectrum legend: what it holds with and without contours, where each piece stands, and
// the text of its labels and their numbers.
#include "writer_fixture.h"

#include <limits>
#include <locale>
#include <stdexcept>
#include <vector>

namespace {

using namespace testing_support;
using Strings = std::vector<std::string>;

// The arguments of one legend: three bands over 0..30 unless a case changes them.
struct Legend {
    int colorCount = 3;
    std::vector<float> levels{0.0f, 10.0f, 20.0f, 30.0f};
    std::vector<int> colors{255, 0, 0, 0, 255, 0, 0, 0, 255};
    bool contoursShown = true;
    const char* result = "Temperature";
    const char* title = "Bracket";
    int frameIndex = 0;
    float time = 0.0f;
    int showColorBar = 1;
    void writeWith(ZVRMLWriter& writer) const {
        writer.writeSpectrumLegend(colorCount, levels.data(), colors, contoursShown, "Nodes", result, 0.0f, 30.0f, title,
                                   frameIndex, time, showColorBar);
    }
};

Strings translations(const std::string& text) { return matchesOf(text, "translation[ \t]+([^\n]*)"); }
Strings textStrings(const std::string& text) { return matchesOf(text, "string \\[([^\n]*)"); }

using WriterLegend = WriterTest;

TEST_F(WriterLegend, ThreeBands) {
    const std::string text = textOf([](ZVRMLWriter& w) { Legend().writeWith(w); }, &kTopLevel);
    EXPECT_EQ(levelAfter, 0);
    const auto at = [](const char* y) { return std::string("0.000000 ") + y + ".000000 0.000000 "; };
    EXPECT_EQ(translations(text), (Strings{"-25 -5 -35", "35 18 0", "1.000000 6.000000 0.000000 ",  // frame label, title at n + 3
                                           at("-1"), at("0"), at("1"),                            // bands at k - 1
                                           at("-1"), at("0"), at("1"), at("2"),                   // ticks at j - 1
                                           "2.000000 2.000000 0.000000 ",                         // level labels at n - 1
                                           "1.000000 5.000000 0.000000 "}));                      // caption at n + 2
    EXPECT_EQ(matchesOf(text, "diffuseColor\t([^\n]*)"),
              (Strings{"1.000000 0.000000 0.000000 ", "0.000000 1.000000 0.000000 ", "0.000000 0.000000 1.000000 "}));
    EXPECT_EQ(textStrings(text), (Strings{"\"1 / 0\"", "\"Bracket\"", "\"30\", \"20\", \"10\", \"0\", ",
                                          "\"Nodes : Temperature\" , \"min = 0\" , \"max = 30\" , "}));
    // One font style for every text; the frame label and the title larger than the numbers.
    EXPECT_EQ(matchesOf(text, "fontStyle FontStyle \\{\\s*family\t\"SANS\"\\s*size\t(\\S+)\\s*spacing 1.45\\s*\\}"),
              (Strings{"1", "1", "0.7", "0.7"}));
    EXPECT_EQ(matchesOf(text, "coord DEF SpectrumCoords Coordinate").size(), 3u) << "every band square has its own";
    EXPECT_TRUE(text.starts_with("\n\nDEF Spectrum Transform {\n\tchildren [\nDEF Quads Transform {")) << text;
    EXPECT_TRUE(text.ends_with("\nDEF prox ProximitySensor {\n\tsize 1e+006 1e+006 1e+006\n}\nROUTE prox.position_changed TO "
                               "Spectrum.translation\nROUTE prox.orientation_changed TO Spectrum.rotation"));
}

TEST_F(WriterLegend, Variants) {
    const struct {
        void (*change)(Legend&);
        Strings strings;
        size_t placed;
    } rows[] = {
        {[](Legend& l) { l.colorCount = 0; l.colors.clear(); l.levels = {0}; }, {"\"1 / 0\"", "\"Bracket\""}, 3},
        {[](Legend& l) { l.contoursShown = false; l.frameIndex = 2; l.time = 0.5f; l.title = "a.b/c d 'q' \"x\",#1"; },
         {"\"3 / 0.5\"", "\"a_b_c_d_q_x__1\""}, 3},
        {[](Legend& l) { l.showColorBar = 0; l.result = "S \"vM\" \\ max"; },
         {"\"1 / 0\"", "\"Bracket\"", "\"Nodes : S \\\"vM\\\" \\\\ max\" , \"min = 0\" , \"max = 30\" , "}, 4},
    };
    for (const auto& row : rows) {
        Legend legend;
        row.change(legend);
        const std::string text = textOf([&](ZVRMLWriter& w) { legend.writeWith(w); }, &kTopLevel);
        EXPECT_EQ(textStrings(text), row.strings);
        ASSERT_EQ(translations(text).size(), row.placed);
        EXPECT_EQ(translations(text)[2], legend.colorCount == 0 ? "1.000000 18.000000 0.000000 " : "1.000000 6.000000 0.000000 ");
        EXPECT_EQ(text.find("Material"), std::string::npos) << "no bands";
    }
    ZVRMLWriter writer;
    EXPECT_THROW(writer.writeSpectrumBands({255, 0, 0, 7}, 1), std::out_of_range) << "a partial triple";
}

TEST_F(WriterLegend, OnePerFile) {
    Legend legend;
    const Strings strings = textStrings(textOf([&](ZVRMLWriter& w) {
        for (const char* title : {"First", "Second", "Third"}) {
            legend.title = title;
            legend.writeWith(w);
            if (title[0] == 'S') w.reset();
        }
        EXPECT_FALSE(w.coordDefined) << "the legend's coordinates never stand for the model's";
    }));
    EXPECT_EQ(strings.size(), 8u);
    EXPECT_EQ(strings[5], "\"Third\"");
}

// Three decimals, halves away from zero, or scientific with a three-decimal mantissa; the
// global locale changes nothing.
TEST(LegendNumbers, Text) {
    constexpr float inf = std::numeric_limits<float>::infinity();
    const std::tuple<float, bool, const wchar_t*> rows[] = {
        {0.12345f, false, L"0.123"}, {2.5f, false, L"2.5"}, {0.0005f, false, L"0.001"}, {-0.0015f, false, L"-0.002"},
        {50.0f, false, L"50"}, {123456.789f, false, L"123457"}, {1e-5f, false, L"0"}, {999999.5f, false, L"1e+06"},
        {2.0005f, false, L"2.001"},  // the product is rounded to single precision first
        {1234.125f, false, L"1234.13"}, {-1234.125f, false, L"-1234.13"}, {-0.0004f, false, L"-0"}, {inf, false, L"inf"},
        {1.2345e6f, true, L"1.235e+06"}, {0.0f, true, L"0.000e+00"}, {-2e5f, true, L"-2.000e+05"}, {5e-3f, true, L"5.000e-03"},
        {1e-30f, true, L"1.000e-30"}, {9999.5f, true, L"1.000e+04"}, {-0.0f, true, L"-0.000e+00"}, {-inf, true, L"-inf"},
        {std::numeric_limits<float>::denorm_min(), true, L"1.401e-45"},
    };
    struct CommaPoint : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
    };
    GuString out;
    for (const std::locale& locale : {std::locale::classic(), std::locale(std::locale::classic(), new CommaPoint)}) {
        const std::locale previous = std::locale::global(locale);
        for (const auto& [value, scientific, expected] : rows) {
            ZVRMLWriter().formatLegendNumber(value, scientific, out);
            EXPECT_STREQ(out.GetBuffer(), expected) << value;
        }
        std::locale::global(previous);
    }
}

TEST(LegendNumbers, Scientific) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::tuple<float, float, bool> rows[] = {
        {2e6f, 2e6f, true}, {-2e6f, -2e6f, true}, {5.0f, 5.0f, false}, {0.0f, 0.0f, true}, {5e-5f, 5e-5f, true},
        {0.0f, 50.0f, false}, {0.0f, 0.009f, false}, {0.0f, 0.0089f, true}, {0.0f, 100000.0f, false}, {0.0f, 100001.0f, true},
        {nan, 1.0f, false}, {nan, nan, false},
    };
    for (const auto& [low, high, scientific] : rows) EXPECT_EQ(ZVRMLWriter().needsScientific(low, high), scientific) << low << " " << high;
}

}  // namespace
