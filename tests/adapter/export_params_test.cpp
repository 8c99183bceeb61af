// The export request record and the adapter's own copies of it.
#include "ZVRMLAdapter.h"
#include "host_log.h"
#include "test_support.h"

#include <cstddef>
#include <string>
#include <type_traits>

namespace {

using Params = ZVRMLAdapter::ExportParams;

// The host fills this record itself, so its layout is part of the interface: two pointers, the
// file name, then the four one-byte switches directly after it.
static_assert(std::is_standard_layout_v<Params>);
static_assert(offsetof(Params, window) == 0);
static_assert(offsetof(Params, model) == 8);
static_assert(offsetof(Params, fileName) == 16);
static_assert(offsetof(Params, flaggedPartsOnly) == offsetof(Params, fileName) + sizeof(GuString));
static_assert(offsetof(Params, allFrames) == offsetof(Params, flaggedPartsOnly) + 1);
static_assert(offsetof(Params, exportContours) == offsetof(Params, allFrames) + 1);
static_assert(offsetof(Params, skinOnly) == offsetof(Params, exportContours) + 1);
static_assert(sizeof(bool) == 1);
static_assert(std::has_virtual_destructor_v<ZVRMLAdapter>);

// Stand-ins for host handles: the adapter only stores and compares them.
WindowStr* fakeWindow() { static int tag; return reinterpret_cast<WindowStr*>(&tag); }
ModelStr* fakeModel() { static int tag; return reinterpret_cast<ModelStr*>(&tag); }

std::wstring wide(const GuString& s) { return s.GetBuffer(); }

Params filledParams() {
    Params params;
    params.window = fakeWindow();
    params.model = fakeModel();
    params.fileName = "/exports/car/model.wrl";
    params.flaggedPartsOnly = true;
    params.allFrames = false;
    params.exportContours = true;
    params.skinOnly = true;
    return params;
}

void expectSameRequest(const Params& actual, const Params& expected) {
    EXPECT_EQ(actual.window, expected.window);
    EXPECT_EQ(actual.model, expected.model);
    EXPECT_EQ(wide(actual.fileName), wide(expected.fileName));
    EXPECT_EQ(actual.flaggedPartsOnly, expected.flaggedPartsOnly);
    EXPECT_EQ(actual.allFrames, expected.allFrames);
    EXPECT_EQ(actual.exportContours, expected.exportContours);
    EXPECT_EQ(actual.skinOnly, expected.skinOnly);
}

using AdapterExportParams = testing_support::HostTest;

TEST_F(AdapterExportParams, ADefaultRequestIsEmpty) {
    const Params params;
    EXPECT_EQ(params.window, nullptr);
    EXPECT_EQ(params.model, nullptr);
    EXPECT_TRUE(params.fileName.IsEmpty());
    EXPECT_FALSE(params.flaggedPartsOnly);
    EXPECT_FALSE(params.allFrames);
    EXPECT_FALSE(params.exportContours);
    EXPECT_FALSE(params.skinOnly);
}

TEST_F(AdapterExportParams, ACopyCarriesEveryFieldAndOwnsItsFileName) {
    const Params source = filledParams();
    Params copy(source);
    expectSameRequest(copy, source);

    copy.fileName = "/elsewhere.wrl";
    copy.fileName.Append("x");
    EXPECT_EQ(wide(source.fileName), L"/exports/car/model.wrl");
}

TEST_F(AdapterExportParams, AssignmentReplacesEveryFieldAndOwnsItsFileName) {
    const Params source = filledParams();
    Params target;
    target.fileName = "a much longer name that the assignment has to replace entirely.wrl";
    target.allFrames = true;

    Params& result = (target = source);
    EXPECT_EQ(&result, &target);
    expectSameRequest(target, source);

    target.fileName.Insert(0, L"changed");
    EXPECT_EQ(wide(source.fileName), L"/exports/car/model.wrl");
}

TEST_F(AdapterExportParams, SelfAssignmentKeepsTheRequest) {
    Params params = filledParams();
    Params& alias = params;
    params = alias;
    expectSameRequest(params, filledParams());
}

using AdapterCopies = testing_support::HostTest;

TEST_F(AdapterCopies, ANewAdapterHasAnEmptyRequestAndNoContourRecord) {
    const ZVRMLAdapter adapter;
    expectSameRequest(adapter.params, Params());
    EXPECT_EQ(adapter.contourInfo, nullptr);
}

TEST_F(AdapterCopies, ACopiedAdapterOwnsItsRequestAndSharesTheContourRecord) {
    ZVRMLAdapter::_ContourExportInfoStr record;
    ZVRMLAdapter source;
    source.params = filledParams();
    source.partHasContours = true;
    source.contourInfo = &record;

    ZVRMLAdapter copy(source);
    expectSameRequest(copy.params, source.params);
    EXPECT_TRUE(copy.partHasContours);
    EXPECT_EQ(copy.contourInfo, &record);

    copy.params.fileName = "/other.wrl";
    EXPECT_EQ(wide(source.params.fileName), L"/exports/car/model.wrl");
}

TEST_F(AdapterCopies, AnAssignedAdapterOwnsItsRequestAndSharesTheContourRecord) {
    ZVRMLAdapter::_ContourExportInfoStr record;
    ZVRMLAdapter source;
    source.params = filledParams();
    source.partHasContours = false;
    source.contourInfo = &record;

    ZVRMLAdapter target;
    target.partHasContours = true;
    ZVRMLAdapter& result = (target = source);
    EXPECT_EQ(&result, &target);
    expectSameRequest(target.params, source.params);
    EXPECT_FALSE(target.partHasContours);
    EXPECT_EQ(target.contourInfo, &record);

    target.params.fileName.Append(L".bak");
    EXPECT_EQ(wide(source.params.fileName), L"/exports/car/model.wrl");
}

TEST_F(AdapterCopies, DestroyingAnAdapterReleasesNothingOfTheHost) {
    {
        ZVRMLAdapter adapter;
        adapter.params = filledParams();
        ZVRMLAdapter copy(adapter);
        ZVRMLAdapter* heapCopy = new ZVRMLAdapter(copy);
        delete heapCopy;
    }
    EXPECT_EQ(host::hostLog().calls("ZGuFree"), 0);
    EXPECT_TRUE(host::hostLog().frees.empty());
}

}  // namespace
