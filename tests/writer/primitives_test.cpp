// The line primitives and the small nodes: which tabs follow each line break, how `level`
// moves, node names, sensors and routes. Expected texts spell out every "\n" and "\t".
#include "writer_fixture.h"

#include <climits>

namespace {

struct Row {
    const char* name;
    WriterSteps steps;
    const char* text;
    int level;
};

using WriterLines = WriterTest;

TEST_F(WriterLines, Primitives) {
    const Row rows[] = {
        {"newLine by level, none at 0 or below",
         [](ZVRMLWriter& w) { w.level = 3; w.newLine(); w.writeText("a"); w.level = 0; w.newLine();
                              w.writeText("b"); w.level = -2; w.newLine(); w.writeText("c"); },
         "\n\t\t\ta\nb\nc", -2},
        {"writeTabs", [](ZVRMLWriter& w) { w.writeTabs(0); w.writeTabs(-3); w.writeText("|");
                                           w.writeTabs(2); w.writeText("|"); }, "|\t\t|", 0},
        {"deeper and shallower",
         [](ZVRMLWriter& w) { w.newLineDeeper(); w.writeText("1"); w.newLineDeeper(); w.writeText("2");
                              w.newLineShallower(); w.writeText("1"); w.newLineShallower();
                              w.newLineShallower(); },
         "\n\t1\n\t\t2\n\t1\n\n", -1},
        {"closeBrace at 0 twice", [](ZVRMLWriter& w) { w.closeBrace(); w.closeBrace(); }, "\n}\n}", 0},
        {"closeBrace at 3", [](ZVRMLWriter& w) { w.level = 3; w.closeBrace(); }, "\n\t\t}", 2},
        {"closeBrace clamps after its line",
         [](ZVRMLWriter& w) { w.level = -4; w.closeBrace(); w.newLineDeeper(); w.writeText("x"); },
         "\n}\n\tx", 1},
        {"closeBracket goes below 0, deeper counts up",
         [](ZVRMLWriter& w) { w.closeBracket(); w.newLineDeeper(); w.writeText("flat"); w.level = -2;
                              w.newLineDeeper(); w.newLineDeeper(); w.newLineDeeper(); w.writeText("in"); },
         "\n]\nflat\n\n\n\tin", 1},
        {"openBrace", [](ZVRMLWriter& w) { w.level = 2; w.openBrace(); }, "\n{", 2},
        {"closeGroup at 3", [](ZVRMLWriter& w) { w.level = 3; w.closeGroup(); }, "\n\t\t]\n\t}", 0},
        {"closeGroup at 0", [](ZVRMLWriter& w) { w.closeGroup(); }, "\n]\n}", 0},
        {"part with one shape",
         [](ZVRMLWriter& w) { w.beginTransform("Door Panel.1"); w.beginShape();
                              w.writeCoordUse("global_coords"); w.closeBrace(); w.closeGroup(); },
         "\nDEF Door_Panel_1 Transform {\n\tchildren [\n\t\tShape {\n\t\t\tcoord USE global_coords"
         "\n\t\t}\n\t]\n}", 0},
        {"transform at 2", [](ZVRMLWriter& w) { w.level = 2; w.beginTransform("T\xC3\xBCr 7"); },
         "\nDEF T\xC3\xBCr_7 Transform {\n\t\t\tchildren [", 3},
        {"transform without a name", [](ZVRMLWriter& w) { w.beginTransform(nullptr); },
         "\nDEF _ Transform {\n\tchildren [", 1},
        {"colour index", [](ZVRMLWriter& w) { w.level = 2; w.writeColorIndex(12); },
         "\n\t\tcolorIndex [0 1 2 3 4 5 6 7 8 9 10 11 \n\t]\n\tcolorPerVertex FALSE", 1},
        {"empty colour index", [](ZVRMLWriter& w) { w.level = 1; w.writeColorIndex(0); },
         "\n\tcolorIndex [\n]\ncolorPerVertex FALSE", 0},
        {"proximity sensor", [](ZVRMLWriter& w) { w.writeProximitySensor(); },
         "\nDEF prox ProximitySensor {\n\tsize 1e+006 1e+006 1e+006\n}"
         "\nROUTE prox.position_changed TO Spectrum.translation"
         "\nROUTE prox.orientation_changed TO Spectrum.rotation", 0},
        {"time sensor", [](ZVRMLWriter& w) { w.level = 2; w.writeTimeSensor("clock"); },
         "\nDEF clock TimeSensor \n{\ncycleInterval 1\nloop TRUE\n\n\t}", 1},
        {"interpolator routes", [](ZVRMLWriter& w) { w.level = 2; w.writeInterpolatorRoutes("ts", "ci", "c"); },
         "\nROUTE ts.fraction_changed TO ci.set_fraction\nROUTE ci.value_changed TO c.set_point", 2},
        {"numbers and host strings",
         [](ZVRMLWriter& w) { w.writeInt(INT_MIN); w.writeText(" "); w.writeInt(0); w.writeText(" ");
                              w.writeString(GuString(L"\u00C4rger")); },
         "-2147483648 0 \xC3\x84rger", 0},
        {"a missing text writes nothing",
         [](ZVRMLWriter& w) { w.writeText(nullptr); w.writeCoordUse(nullptr); w.writeText("|after"); },
         "\n\tcoord USE |after", 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(textOf(row.steps), row.text);
        EXPECT_EQ(levelAfter, row.level);
    }
}

TEST(WriterDefNames, Characters) {
    const std::pair<const char*, const wchar_t*> rows[] = {
        {"Door Panel.1", L"Door_Panel_1"},     {"left/right\\mid#2,3", L"left_right_mid_2_3"},
        {"a'b\"c", L"abc"},                    {"1st-part{x}[y]", L"1st-part{x}[y]"},
        {"T\xC3\xBCr 7", L"T\u00FCr_7"},       {nullptr, L""},
    };
    ZVRMLWriter writer;
    for (const auto& [name, expected] : rows) {
        GuString out("previous content");
        writer.makeDefName(name, out);
        EXPECT_STREQ(out.GetBuffer(), expected) << (name ? name : "null");
    }
}

TEST(WriterState, ResetClearsTheLevelAndEveryPerFileFlag) {
    ZVRMLWriter writer;
    writer.level = -5;
    writer.coordDefined = writer.legendWritten = writer.globalModelWritten = true;
    writer.texCoordDefined = writer.pixmapDefined = true;
    writer.reset();
    const ZVRMLWriter fresh;
    for (const ZVRMLWriter* w : std::initializer_list<const ZVRMLWriter*>{&writer, &fresh}) {
        EXPECT_EQ(w->level, 0);
        EXPECT_FALSE(w->coordDefined || w->legendWritten || w->globalModelWritten ||
                     w->texCoordDefined || w->pixmapDefined);
    }
}

}  // namespace
