// The line primitives: which tabs follow each line break and how `level` moves. The expected
// texts spell out every "\n" and "\t".
#include "writer_fixture.h"

namespace {

using WriterLevels = WriterOutputTest;

TEST_F(WriterLevels, NewLineIndentsByLevelAndNeverForZeroOrNegative) {
    writer.level = 3;
    writer.newLine();
    writer.writeText("a");
    writer.level = 0;
    writer.newLine();
    writer.writeText("b");
    writer.level = -2;
    writer.newLine();
    writer.writeText("c");
    EXPECT_EQ(writer.level, -2);
    EXPECT_EQ(written(), "\n\t\t\ta\nb\nc");
}

TEST_F(WriterLevels, WriteTabsWritesNothingForZeroOrNegativeCounts) {
    writer.writeTabs(0);
    writer.writeTabs(-3);
    writer.writeText("|");
    writer.writeTabs(2);
    writer.writeText("|");
    EXPECT_EQ(written(), "|\t\t|");
}

TEST_F(WriterLevels, DeeperAndShallowerStepOneLevelBeforeTheirTabs) {
    writer.newLineDeeper();
    writer.writeText("one");
    writer.newLineDeeper();
    writer.writeText("two");
    writer.newLineShallower();
    writer.writeText("one again");
    EXPECT_EQ(writer.level, 1);
    EXPECT_EQ(written(), "\n\tone\n\t\ttwo\n\tone again");
}

TEST_F(WriterLevels, NewLineShallowerIsNotClamped) {
    writer.newLineShallower();
    writer.newLineShallower();
    EXPECT_EQ(writer.level, -2);
    EXPECT_EQ(written(), "\n\n");
}

TEST_F(WriterLevels, CloseBraceAtLevelZeroStaysAtZero) {
    writer.closeBrace();
    EXPECT_EQ(writer.level, 0);
    // Clamped again from 0: a second brace must not be indented either.
    writer.closeBrace();
    EXPECT_EQ(writer.level, 0);
    EXPECT_EQ(written(), "\n}\n}");
}

TEST_F(WriterLevels, CloseBraceIndentsByTheDecrementedLevel) {
    writer.level = 3;
    writer.closeBrace();
    EXPECT_EQ(writer.level, 2);
    EXPECT_EQ(written(), "\n\t\t}");
}

TEST_F(WriterLevels, CloseBraceClampsANegativeLevelAfterStartingItsLine) {
    writer.level = -4;
    writer.closeBrace();
    EXPECT_EQ(writer.level, 0);
    writer.newLineDeeper();
    writer.writeText("x");
    EXPECT_EQ(written(), "\n}\n\tx");
}

TEST_F(WriterLevels, CloseBracketAtLevelZeroGoesNegativeSoTheNextDeeperLineHasNoTab) {
    writer.closeBracket();
    EXPECT_EQ(writer.level, -1);
    writer.newLineDeeper();
    writer.writeText("flat");
    EXPECT_EQ(writer.level, 0);
    writer.newLineDeeper();
    writer.writeText("indented");
    EXPECT_EQ(writer.level, 1);
    EXPECT_EQ(written(), "\n]\nflat\n\tindented");
}

TEST_F(WriterLevels, NewLineDeeperCountsUpFromANegativeLevel) {
    writer.level = -3;
    writer.newLineDeeper();
    writer.newLineDeeper();
    writer.newLineDeeper();
    writer.writeText("still flat");
    writer.newLineDeeper();
    writer.writeText("first tab");
    EXPECT_EQ(writer.level, 1);
    EXPECT_EQ(written(), "\n\n\nstill flat\n\tfirst tab");
}

TEST_F(WriterLevels, OpenBraceIsUnindentedAndKeepsTheLevel) {
    writer.level = 2;
    writer.openBrace();
    EXPECT_EQ(writer.level, 2);
    EXPECT_EQ(written(), "\n{");
}

TEST_F(WriterLevels, CloseGroupEndsBracketAndBraceThenReturnsToLevelZero) {
    writer.level = 3;
    writer.closeGroup();
    EXPECT_EQ(writer.level, 0);
    EXPECT_EQ(written(), "\n\t\t]\n\t}");
}

TEST_F(WriterLevels, CloseGroupFromLevelZeroWritesFlatLinesAndEndsAtZero) {
    writer.closeGroup();
    EXPECT_EQ(writer.level, 0);
    EXPECT_EQ(written(), "\n]\n}");
}

TEST_F(WriterLevels, APartGroupWithOneShape) {
    writer.beginTransform("Door Panel.1");
    writer.beginShape();
    writer.writeCoordUse("global_coords");
    writer.closeBrace();
    writer.closeGroup();
    EXPECT_EQ(writer.level, 0);
    EXPECT_EQ(written(),
              "\nDEF Door_Panel_1 Transform {"
              "\n\tchildren ["
              "\n\t\tShape {"
              "\n\t\t\tcoord USE global_coords"
              "\n\t\t}"
              "\n\t]"
              "\n}");
}

TEST(WriterState, ANewWriterIsClosedAtLevelZeroWithNoNodeWritten) {
    ZVRMLWriter writer;
    EXPECT_FALSE(writer.stream.is_open());
    EXPECT_TRUE(writer.stream.good());
    EXPECT_EQ(writer.level, 0);
    EXPECT_FALSE(writer.coordDefined);
    EXPECT_FALSE(writer.legendWritten);
    EXPECT_FALSE(writer.globalModelWritten);
    EXPECT_FALSE(writer.texCoordDefined);
    EXPECT_FALSE(writer.pixmapDefined);
}

TEST(WriterState, ResetClearsTheLevelAndEveryPerFileFlag) {
    ZVRMLWriter writer;
    writer.level = -5;
    writer.coordDefined = writer.legendWritten = writer.globalModelWritten = true;
    writer.texCoordDefined = writer.pixmapDefined = true;
    writer.reset();
    EXPECT_EQ(writer.level, 0);
    EXPECT_FALSE(writer.coordDefined);
    EXPECT_FALSE(writer.legendWritten);
    EXPECT_FALSE(writer.globalModelWritten);
    EXPECT_FALSE(writer.texCoordDefined);
    EXPECT_FALSE(writer.pixmapDefined);
}

}  // namespace
