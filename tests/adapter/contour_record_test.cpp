// The per-frame contour record: its zero state and its ownership of the level values.
#include "ZVRMLAdapter.h"
#include "test_support.h"

#include <cstring>
#include <vector>

namespace {

using Record = ZVRMLAdapter::_ContourExportInfoStr;

// A record as a spectrum of `bands` bands leaves it, with recognisable values.
void fill(Record& record, int bands, float firstLevel) {
    std::strcpy(record.resultName, "Von Mises stress");
    std::strcpy(record.resultLocation, "NODES");
    record.valuesPerElement = 1;
    static const float values[] = {1.0f, 2.0f};
    record.values = values;
    record.minValue = -3.5f;
    record.maxValue = 12.25f;
    static const unsigned char pixels[] = {1, 2, 3, 4};
    record.texturePixels = pixels;
    record.textureWidth = 1;
    record.elementColors = {255, 0, 0};
    record.spectrumColors.clear();
    for (int band = 0; band < bands; ++band) {
        record.spectrumColors.insert(record.spectrumColors.end(), {band, band, band});
    }
    record.colorCount = bands;
    delete[] record.levels;
    const int levelCount = bands > 0 ? bands + 1 : 1;
    record.levels = new float[levelCount];
    for (int i = 0; i < levelCount; ++i) record.levels[i] = firstLevel + static_cast<float>(i);
    record.showColorBar = 1;
    record.contoursShown = true;
}

std::vector<float> levelsOf(const Record& record) {
    const int count = record.colorCount > 0 ? record.colorCount + 1 : 1;
    return std::vector<float>(record.levels, record.levels + count);
}

void expectSameContents(const Record& actual, const Record& expected) {
    EXPECT_STREQ(actual.resultName, expected.resultName);
    EXPECT_STREQ(actual.resultLocation, expected.resultLocation);
    EXPECT_EQ(actual.valuesPerElement, expected.valuesPerElement);
    EXPECT_EQ(actual.values, expected.values) << "host values are shared, not copied";
    EXPECT_EQ(actual.minValue, expected.minValue);
    EXPECT_EQ(actual.maxValue, expected.maxValue);
    EXPECT_EQ(actual.texturePixels, expected.texturePixels);
    EXPECT_EQ(actual.textureWidth, expected.textureWidth);
    EXPECT_EQ(actual.elementColors, expected.elementColors);
    EXPECT_EQ(actual.spectrumColors, expected.spectrumColors);
    EXPECT_EQ(actual.colorCount, expected.colorCount);
    EXPECT_EQ(actual.showColorBar, expected.showColorBar);
    EXPECT_EQ(actual.contoursShown, expected.contoursShown);
    ASSERT_NE(actual.levels, nullptr);
    EXPECT_EQ(levelsOf(actual), levelsOf(expected));
}

using AdapterContourRecord = testing_support::HostTest;

TEST_F(AdapterContourRecord, ANewRecordIsAllZero) {
    const Record record;
    EXPECT_EQ(record.resultName[0], '\0');
    EXPECT_EQ(record.resultLocation[0], '\0');
    EXPECT_EQ(record.valuesPerElement, 0);
    EXPECT_EQ(record.values, nullptr);
    EXPECT_EQ(record.minValue, 0.0f);
    EXPECT_EQ(record.maxValue, 0.0f);
    EXPECT_EQ(record.texturePixels, nullptr);
    EXPECT_EQ(record.textureWidth, 0);
    EXPECT_TRUE(record.elementColors.empty());
    EXPECT_TRUE(record.spectrumColors.empty());
    EXPECT_EQ(record.colorCount, 0);
    EXPECT_EQ(record.levels, nullptr);
    EXPECT_EQ(record.showColorBar, 0);
    EXPECT_FALSE(record.contoursShown);
}

TEST_F(AdapterContourRecord, ACopyOwnsItsOwnLevels) {
    Record source;
    fill(source, 5, 10.0f);
    Record copy(source);
    expectSameContents(copy, source);
    EXPECT_NE(copy.levels, source.levels);

    copy.levels[0] = -1.0f;
    copy.spectrumColors[0] = 99;
    EXPECT_EQ(source.levels[0], 10.0f);
    EXPECT_EQ(source.spectrumColors[0], 0);
}

TEST_F(AdapterContourRecord, ACopyOfARecordWithoutBandsKeepsItsSingleLevel) {
    Record source;
    fill(source, 0, 7.0f);
    const Record copy(source);
    expectSameContents(copy, source);
    EXPECT_NE(copy.levels, source.levels);
}

TEST_F(AdapterContourRecord, CopyingAnEmptyRecordGivesNoLevels) {
    const Record source;
    const Record copy(source);
    EXPECT_EQ(copy.levels, nullptr);
    EXPECT_EQ(copy.colorCount, 0);
}

TEST_F(AdapterContourRecord, AssignmentReplacesTheLevelsWithItsOwnCopy) {
    Record source;
    fill(source, 3, 1.0f);
    Record target;
    fill(target, 8, 100.0f);

    Record& result = (target = source);
    EXPECT_EQ(&result, &target);
    expectSameContents(target, source);
    EXPECT_NE(target.levels, source.levels);

    target.levels[3] = 0.0f;
    EXPECT_EQ(source.levels[3], 4.0f);
}

TEST_F(AdapterContourRecord, AssigningAnEmptyRecordDropsTheLevels) {
    Record target;
    fill(target, 4, 1.0f);
    target = Record();
    EXPECT_EQ(target.levels, nullptr);
    EXPECT_EQ(target.colorCount, 0);
    EXPECT_TRUE(target.spectrumColors.empty());
    EXPECT_STREQ(target.resultName, "");
}

TEST_F(AdapterContourRecord, SelfAssignmentKeepsTheLevels) {
    Record record;
    fill(record, 2, 5.0f);
    const float* levels = record.levels;
    Record& alias = record;
    record = alias;
    EXPECT_EQ(record.levels, levels);
    EXPECT_EQ(levelsOf(record), (std::vector<float>{5.0f, 6.0f, 7.0f}));
}

}  // namespace
