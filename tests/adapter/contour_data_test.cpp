// Filling the frame's contour record from the exported window: what each field gets, when the
// host recomputes its contours, the whole-model solvers, and the records that cannot be filled.
#include "adapter_probe.h"
#include "host_log.h"
#include "scene_builder.h"
#include "session.h"

#include <optional>
#include <string>
#include <vector>

namespace {

using Record = ZVRMLAdapter::_ContourExportInfoStr;

// A plate of two quadrilaterals over three frames, with a node field and an element field whose
// values tell the frame they belong to.
class AdapterContourData : public testing_support::HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        host::ModelBuilder model("Plate");
        model.part("Plate")
            .nodes({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 1, 0}})
            .elements(FE_MESH_QUAD4, {0, 1, 4, 3, 1, 2, 5, 4});
        model.frames({0.0f, 0.5f, 1.0f})
            .nodeField("temperature", [](int frame, int node) { return 100.0f * frame + node; })
            .elementField("stress", [](int frame, int element) { return 10.0f * frame + element; });
        this->model = model;
        window = host::WindowBuilder(model);
        window->contour("temperature").bands(5);
        host::showFrame(0);
        adapter.params.model = model;
        adapter.params.window = *window;
    }
    WindowStr& shown() { return window->window(); }
    long hostCalls(const char* function) const { return host::hostLog().calls(function); }

    ModelStr* model = nullptr;
    std::optional<host::WindowBuilder> window;
    AdapterProbe adapter;
    Record record;
};

TEST_F(AdapterContourData, TheRecordTakesEverythingFromTheWindowAndItsSpectrum) {
    ASSERT_TRUE(adapter.GetContourData(&record, 1));
    EXPECT_EQ(adapter.contourInfo, &record);
    EXPECT_STREQ(record.resultName, "temperature");
    EXPECT_STREQ(record.resultLocation, "NODES");
    EXPECT_EQ(record.valuesPerElement, 0);
    EXPECT_EQ(record.values, shown().contourInfo.values);
    EXPECT_EQ(record.minValue, 0.0f);
    EXPECT_EQ(record.maxValue, 5.0f);
    EXPECT_EQ(record.texturePixels, shown().texture.attributes.pixels);
    EXPECT_EQ(record.textureWidth, 256);
    EXPECT_EQ(record.showColorBar, 1);

    const host::Spectrum& spectrum = shown().spectrum;
    ASSERT_EQ(record.colorCount, 5);
    ASSERT_EQ(record.spectrumColors.size(), 15u);
    std::vector<float> levels(6);
    spectrum.GetLevelValues(levels.data());
    EXPECT_EQ(std::vector<float>(record.levels, record.levels + 6), levels);
    for (int band = 0; band < 5; ++band) {
        const uint32_t packed = spectrum.colors[band];
        EXPECT_EQ(record.spectrumColors[3 * band], static_cast<int>(packed & 0xFF));
        EXPECT_EQ(record.spectrumColors[3 * band + 1], static_cast<int>(packed >> 8 & 0xFF));
        EXPECT_EQ(record.spectrumColors[3 * band + 2], static_cast<int>(packed >> 16 & 0xFF));
    }
    EXPECT_FALSE(record.contoursShown) << "that is the run's to say";
}

TEST_F(AdapterContourData, PackedColoursHoldRedInTheLowestByteAndTheTopByteIsDropped) {
    window->colors({0x80FF4010u, 0x00000000u});
    ASSERT_TRUE(adapter.GetContourData(&record, 1));
    EXPECT_EQ(record.colorCount, 2);
    EXPECT_EQ(record.spectrumColors, (std::vector<int>{16, 64, 255, 0, 0, 0}));
}

TEST_F(AdapterContourData, OnlyAValueLocationOf1MeansPerElement) {
    for (const auto& [location, perElement] : {std::pair{1, 1}, {0, 0}, {2, 0}, {-1, 0}}) {
        shown().spectrum.valueLocation = location;
        Record fresh;
        ASSERT_TRUE(adapter.GetContourData(&fresh, 1));
        EXPECT_EQ(fresh.valuesPerElement, perElement) << "value location " << location;
    }
}

TEST_F(AdapterContourData, ExportingEveryFrameRecomputesTheContoursForThatFrame) {
    adapter.params.allFrames = true;
    ASSERT_TRUE(adapter.GetContourData(&record, 3));
    EXPECT_EQ(hostCalls("ContourDBUpdateValues"), 1);
    EXPECT_EQ(hostCalls("BlockUtilUpdateSpectrum"), 1);
    EXPECT_EQ(hostCalls("ContourUpdateTexture"), 1);
    EXPECT_EQ(model->result.currentState, 3);
    // The record holds the values of frame 3 (index 2), not the ones the window showed, and the
    // spectrum range that follows them.
    ASSERT_NE(record.values, nullptr);
    EXPECT_EQ(record.values[4], 204.0f);
    EXPECT_EQ(record.minValue, 200.0f);
    EXPECT_EQ(record.maxValue, 205.0f);
    EXPECT_EQ(record.values, shown().contourInfo.values) << "the array the update left";
}

TEST_F(AdapterContourData, ExportingTheShownFrameReadsTheSettingsButRecomputesNothing) {
    ASSERT_TRUE(adapter.GetContourData(&record, 3));
    EXPECT_EQ(hostCalls("DbsVaGetValues"), 1);
    EXPECT_EQ(hostCalls("ContourDBUpdateValues"), 0);
    EXPECT_EQ(hostCalls("ContourUpdateTexture"), 0);
    EXPECT_EQ(record.values[4], 4.0f) << "the values of the frame the window shows";
}

TEST_F(AdapterContourData, WholeModelSolversTakeTheResultsNameAndAreAlwaysPerNode) {
    window->contour("stress");
    window->locationText("ELEMENTS");
    adapter.params.allFrames = true;
    for (const int solver : {FE_SOLVER_WHOLE_MODEL_FLOW, FE_SOLVER_WHOLE_MODEL_THERMAL}) {
        host::application().solver = solver;
        host::hostLog().clear();
        Record fresh;
        ASSERT_TRUE(adapter.GetContourData(&fresh, 2)) << "solver " << solver;
        EXPECT_STREQ(fresh.resultName, "stress");
        EXPECT_STREQ(fresh.resultLocation, "NODES");
        EXPECT_EQ(hostCalls("DbsVaGetValues"), 0);
        EXPECT_EQ(hostCalls("ContourDBUpdateValues"), 0) << "not even when every frame is exported";
    }
}

TEST_F(AdapterContourData, LongResultNamesAreCutAtACharacterBoundary) {
    // 1022 bytes, then a two-byte character that would end one byte past the field.
    const std::string name = std::string(1022, 'a') + "\xC3\xA9" + "tail";
    model->fields[0].name = name;
    host::application().solver = FE_SOLVER_WHOLE_MODEL_FLOW;
    ASSERT_TRUE(adapter.GetContourData(&record, 1));
    EXPECT_EQ(std::string(record.resultName), std::string(1022, 'a'));
}

TEST_F(AdapterContourData, ARequestWithoutModelRecordOrWindowTouchesNothing) {
    AdapterProbe noModel, noWindow;
    noModel.params.window = *window;
    noWindow.params.model = model;
    EXPECT_FALSE(noModel.GetContourData(&record, 1));
    EXPECT_FALSE(noWindow.GetContourData(&record, 1));
    EXPECT_FALSE(adapter.GetContourData(nullptr, 1));
    EXPECT_EQ(noModel.contourInfo, nullptr);
    EXPECT_EQ(noWindow.contourInfo, nullptr);
    EXPECT_EQ(adapter.contourInfo, nullptr);
}

TEST_F(AdapterContourData, AWindowWithoutContourValuesLeavesTheRecordEmptyButInPlace) {
    window->noContour();
    EXPECT_FALSE(adapter.GetContourData(&record, 1));
    EXPECT_EQ(adapter.contourInfo, &record);
    EXPECT_EQ(record.values, nullptr);
    EXPECT_EQ(record.colorCount, 0);
    EXPECT_TRUE(record.spectrumColors.empty());
    EXPECT_EQ(record.levels, nullptr);
}

TEST_F(AdapterContourData, EachMissingPieceEndsTheFillWithFalse) {
    host::ModelBuilder bare("Bare");
    bare.part("Plate").nodes({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}).elements(FE_MESH_TRIA3, {0, 1, 2});
    bare.withoutResult();
    host::WindowBuilder bareWindow(bare);
    AdapterProbe withoutResult;
    withoutResult.params.model = bare;
    withoutResult.params.window = bareWindow;
    EXPECT_FALSE(withoutResult.GetContourData(&record, 1));
    EXPECT_EQ(withoutResult.contourInfo, &record);

    window->noSpectrum();
    Record fresh;
    EXPECT_FALSE(adapter.GetContourData(&fresh, 1));
    EXPECT_EQ(adapter.contourInfo, &fresh);
    EXPECT_STREQ(fresh.resultName, "");
}

TEST_F(AdapterContourData, FillingARecordAgainReplacesItsLevels) {
    ASSERT_TRUE(adapter.GetContourData(&record, 1));
    window->bands(8);
    ASSERT_TRUE(adapter.GetContourData(&record, 1));
    EXPECT_EQ(record.colorCount, 8);
    EXPECT_EQ(record.spectrumColors.size(), 24u);
    EXPECT_EQ(record.levels[8], record.maxValue);
}

TEST_F(AdapterContourData, ASpectrumWithoutBandsStillHasItsOneLevel) {
    window->bands(0);
    ASSERT_TRUE(adapter.GetContourData(&record, 1));
    EXPECT_EQ(record.colorCount, 0);
    EXPECT_TRUE(record.spectrumColors.empty());
    ASSERT_NE(record.levels, nullptr);
    EXPECT_EQ(record.levels[0], record.minValue);
}

}  // namespace
