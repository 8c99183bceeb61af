// Filling the frame's contour record from the exported window: what each field gets, when the
// host recomputes its contours, the whole-model solvers, the records that cannot be filled, and
// the record's own copies of its levels.
#include "adapter_probe.h"

#include <cstring>
#include <optional>
#include <vector>

namespace {

using Record = ZVRMLAdapter::_ContourExportInfoStr;

// A plate of two quadrilaterals over three frames; its field values tell their frame.
class AdapterContours : public testing_support::HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        model = host::ModelBuilder("Plate");
        model.part("Plate").nodes({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 1, 0}})
            .elements(FE_MESH_QUAD4, {0, 1, 4, 3, 1, 2, 5, 4});
        model.frames({0.0f, 0.5f, 1.0f})
            .nodeField("temperature", [](int frame, int node) { return 100.0f * frame + node; })
            .elementField("stress", [](int frame, int element) { return 10.0f * frame + element; });
        window.emplace(model);
        window->contour("temperature").bands(5);
        host::showFrame(0);
        adapter.params.model = model;
        adapter.params.window = *window;
    }
    WindowStr& shown() { return window->window(); }
    host::ModelBuilder model{"Plate"};  // built again once the session is fresh
    std::optional<host::WindowBuilder> window;
    AdapterProbe adapter;
    Record record;
};

TEST_F(AdapterContours, Record) {
    window->colors({0x80FF4010u, 0x00000000u, 0x00030201u});
    ASSERT_TRUE(adapter.GetContourData(&record, 1));
    EXPECT_EQ(adapter.contourInfo, &record);
    EXPECT_EQ(std::string(record.resultName) + " at " + record.resultLocation, "temperature at NODES");
    // The window's own arrays at the frame it shows; nothing recomputed.
    EXPECT_TRUE(record.values == shown().contourInfo.values && record.texturePixels == shown().texture.attributes.pixels);
    EXPECT_EQ(record.values[4], 4.0f);
    EXPECT_EQ(hostCalls("ContourDBUpdateValues") + hostCalls("ContourUpdateTexture"), 0);
    EXPECT_EQ(std::tuple(record.valuesPerElement, record.minValue, record.maxValue, record.textureWidth, record.showColorBar),
              std::tuple(0, 0.0f, 5.0f, 256, 1));
    EXPECT_FALSE(record.contoursShown) << "that is the run's to say";
    EXPECT_EQ(record.spectrumColors, (std::vector<int>{16, 64, 255, 0, 0, 0, 1, 2, 3})) << "red first, no top byte";
    ASSERT_EQ(record.colorCount, 3);
    std::vector<float> levels(4);
    shown().spectrum.GetLevelValues(levels.data());
    EXPECT_EQ(std::vector<float>(record.levels, record.levels + 4), levels);
    window->bands(0);  // filled again: new levels, one for a spectrum without bands
    ASSERT_TRUE(adapter.GetContourData(&record, 1));
    EXPECT_TRUE(record.colorCount == 0 && record.levels[0] == record.minValue);
    for (const auto& [location, perElement] : {std::pair{1, 1}, {0, 0}, {2, 0}, {-1, 0}}) {
        shown().spectrum.valueLocation = location;
        Record fresh;
        ASSERT_TRUE(adapter.GetContourData(&fresh, 1));
        EXPECT_EQ(fresh.valuesPerElement, perElement) << "only a value location of 1 means per element";
    }
}

TEST_F(AdapterContours, AllFrames) {
    adapter.params.allFrames = true;
    ASSERT_TRUE(adapter.GetContourData(&record, 3));
    EXPECT_EQ(hostCalls("ContourDBUpdateValues") + hostCalls("BlockUtilUpdateSpectrum") + hostCalls("ContourUpdateTexture"), 3);
    EXPECT_EQ(model.model().result.currentState, 3);
    EXPECT_EQ(record.values, shown().contourInfo.values) << "the array the update left";
    EXPECT_TRUE(record.values[4] == 204.0f && record.maxValue == 205.0f);
}

TEST_F(AdapterContours, WholeModel) {
    window->contour("stress");
    window->locationText("ELEMENTS");
    adapter.params.allFrames = true;
    for (const int solver : {FE_SOLVER_WHOLE_MODEL_FLOW, FE_SOLVER_WHOLE_MODEL_THERMAL}) {
        host::application().solver = solver;
        host::hostLog().clear();
        Record fresh;
        ASSERT_TRUE(adapter.GetContourData(&fresh, 2)) << solver;
        EXPECT_EQ(std::string(fresh.resultName) + " at " + fresh.resultLocation, "stress at NODES");
        EXPECT_EQ(hostCalls("DbsVaGetValues") + hostCalls("ContourDBUpdateValues"), 0);
    }
    // 1022 bytes, then a two-byte character that would end one byte past the field.
    model.model().fields[1].name = std::string(1022, 'a') + "\xC3\xA9" + "tail";
    ASSERT_TRUE(adapter.GetContourData(&record, 1));
    EXPECT_EQ(std::string(record.resultName), std::string(1022, 'a'));
}

// Without a model, a window or a record nothing is touched; past those checks the record stays
// in place, empty, for the parts to see.
TEST_F(AdapterContours, Unfilled) {
    AdapterProbe noModel, noWindow;
    noModel.params.window = *window;
    noWindow.params.model = model;
    EXPECT_FALSE(noModel.GetContourData(&record, 1) || noWindow.GetContourData(&record, 1) || adapter.GetContourData(nullptr, 1));
    EXPECT_TRUE(noModel.contourInfo == nullptr && noWindow.contourInfo == nullptr && adapter.contourInfo == nullptr);
    host::ModelBuilder bare("Bare");
    bare.withoutResult();
    AdapterProbe withoutResult;
    std::tie(withoutResult.params.model, withoutResult.params.window) = std::tuple(bare.handle(), host::WindowBuilder(bare).handle());
    const std::pair<AdapterProbe*, std::function<void()>> rows[] = {
        {&withoutResult, [] {}}, {&adapter, [&] { window->noContour(); }}, {&adapter, [&] { window->noSpectrum(); }}};
    for (const auto& [probe, change] : rows) {
        change();
        Record fresh;
        EXPECT_FALSE(probe->GetContourData(&fresh, 1));
        EXPECT_EQ(probe->contourInfo, &fresh);
        EXPECT_TRUE(fresh.values == nullptr && fresh.levels == nullptr && fresh.resultName[0] == '\0');
    }
}

// Copies own their levels: a shallow copy would leave two records freeing one array.
TEST(AdapterContourRecord, Copies) {
    Record source, assigned;
    const float values[] = {1.0f};
    std::strcpy(source.resultName, "Von Mises stress");
    std::tie(source.values, source.colorCount, source.levels, source.contoursShown) = std::tuple(values, 2, new float[3]{5, 6, 7}, true);
    source.spectrumColors = {1, 2, 3, 4, 5, 6};
    std::tie(assigned.colorCount, assigned.levels) = std::tuple(4, new float[5]{});
    Record copy(source);
    assigned = source;
    for (const Record* record : {&copy, &assigned}) {
        EXPECT_TRUE(record->values == values && record->levels != source.levels) << "host values are shared, levels copied";
        EXPECT_EQ(std::vector<float>(record->levels, record->levels + 3), (std::vector<float>{5, 6, 7}));
        EXPECT_TRUE(record->resultName == std::string("Von Mises stress") && record->spectrumColors == source.spectrumColors &&
                    record->contoursShown);
    }
    const float* levels = assigned.levels;
    Record& alias = assigned;
    assigned = alias;
    EXPECT_EQ(assigned.levels, levels) << "self-assignment keeps the levels";
    source.colorCount = 0;  // no bands: one level
    EXPECT_EQ(Record(source).levels[0], 5.0f);
    assigned = Record();
    EXPECT_EQ(assigned.levels, nullptr);
}

}  // namespace
