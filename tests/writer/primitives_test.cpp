// The line primitives and the small nodes: the tabs after each line break, how `level` moves,
// node names, sensors and routes.
#include "writer_fixture.h"

#include <climits>

namespace {

using WriterLines = WriterTest;

TEST_F(WriterLines, Primitives) {
    const struct {
        WriterSteps steps;
        const char* text;
        int level;
    } rows[] = {
        {[](ZVRMLWriter& w) { w.level = -2; w.newLine(); w.writeTabs(2); w.writeTabs(-3); w.newLineDeeper(); w.newLineDeeper(); },
         "\n\t\t\n\n", 0},
        {[](ZVRMLWriter& w) { w.newLineDeeper(); w.newLineDeeper(); w.newLineShallower(); w.newLineShallower(); w.newLineShallower(); },
         "\n\t\n\t\t\n\t\n\n", -1},
        {[](ZVRMLWriter& w) { w.level = 3; w.closeBrace(); w.level = -4; w.closeBrace(); w.newLineDeeper(); }, "\n\t\t}\n}\n\t", 1},
        {[](ZVRMLWriter& w) { w.closeBracket(); w.openBrace(); w.newLineDeeper(); w.newLineDeeper(); }, "\n]\n{\n\n\t", 1},
        {[](ZVRMLWriter& w) { w.level = 3; w.closeGroup(); w.closeGroup(); }, "\n\t\t]\n\t}\n]\n}", 0},
        {[](ZVRMLWriter& w) { w.beginTransform("Door Panel.1"); w.beginShape(); w.writeCoordUse("c"); w.closeBrace(); w.closeGroup(); },
         "\nDEF Door_Panel_1 Transform {\n\tchildren [\n\t\tShape {\n\t\t\tcoord USE c\n\t\t}\n\t]\n}", 0},
        {[](ZVRMLWriter& w) { w.level = 2; w.beginTransform(nullptr); }, "\nDEF _ Transform {\n\t\t\tchildren [", 3},
        {[](ZVRMLWriter& w) { w.level = 2; w.writeColorIndex(12); w.writeColorIndex(0); },
         "\n\t\tcolorIndex [0 1 2 3 4 5 6 7 8 9 10 11 \n\t]\n\tcolorPerVertex FALSE\n\tcolorIndex [\n]\ncolorPerVertex FALSE", 0},
        {[](ZVRMLWriter& w) { w.writeProximitySensor(); },
         "\nDEF prox ProximitySensor {\n\tsize 1e+006 1e+006 1e+006\n}\nROUTE prox.position_changed TO Spectrum.translation"
         "\nROUTE prox.orientation_changed TO Spectrum.rotation", 0},
        {[](ZVRMLWriter& w) { w.level = 2; w.writeTimeSensor("clock"); w.writeInterpolatorRoutes("ts", "ci", "c"); },
         "\nDEF clock TimeSensor \n{\ncycleInterval 1\nloop TRUE\n\n\t}"
         "\nROUTE ts.fraction_changed TO ci.set_fraction\nROUTE ci.value_changed TO c.set_point", 1},
        {[](ZVRMLWriter& w) { w.writeInt(INT_MIN); w.writeText(nullptr); w.writeInt(0); w.writeString(GuString(L" \u00C4")); },
         "-21474836480 \xC3\x84", 0},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(textOf(row.steps), row.text);
        EXPECT_EQ(levelAfter, row.level) << row.text;
    }
}

TEST(WriterDefNames, Characters) {
    const std::pair<const char*, const wchar_t*> rows[] = {
        {"Door Panel.1", L"Door_Panel_1"}, {"l/r\\m#2,3", L"l_r_m_2_3"}, {"a'b\"c", L"abc"},
        {"1st-{x}[y]", L"1st-{x}[y]"},     {"T\xC3\xBCr", L"T\u00FCr"},  {nullptr, L""},
    };
    for (const auto& [name, expected] : rows) {
        GuString out("previous content");
        ZVRMLWriter().makeDefName(name, out);
        EXPECT_STREQ(out.GetBuffer(), expected);
    }
}

TEST(WriterState, ANewOrResetWriterIsAtLevelZeroWithNoNodeWritten) {
    ZVRMLWriter writer, fresh;
    writer.level = -5;
    writer.coordDefined = writer.legendWritten = writer.globalModelWritten = writer.texCoordDefined = writer.pixmapDefined = true;
    writer.reset();
    for (const ZVRMLWriter* w : std::initializer_list<const ZVRMLWriter*>{&writer, &fresh})
        EXPECT_TRUE(w->level == 0 && !w->coordDefined && !w->legendWritten && !w->globalModelWritten && !w->texCoordDefined &&
                    !w->pixmapDefined);
}

}  // namespace
