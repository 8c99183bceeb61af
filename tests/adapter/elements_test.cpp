// Elements left out of the faces: failed ones per frame, switched-off ones, and coordinate
// triples replaced because they are infinite.
#include "adapter_probe.h"
#include "host_log.h"
#include "scene_builder.h"

#include <array>
#include <cmath>
#include <limits>
#include <set>

namespace {

// A strip of four quadrilaterals whose elements 3 and 1 fail at frames 0 and 2.
class AdapterFailedElements : public testing_support::HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        host::ModelBuilder model("Strip");
        strip = model.part("Strip")
                    .nodes({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {4, 0, 0},
                            {0, 1, 0}, {1, 1, 0}, {2, 1, 0}, {3, 1, 0}, {4, 1, 0}})
                    .elements(FE_MESH_QUAD4, {0, 1, 6, 5, 1, 2, 7, 6, 2, 3, 8, 7, 3, 4, 9, 8})
                    .failsAt(FE_MESH_QUAD4, 3, 0)
                    .failsAt(FE_MESH_QUAD4, 1, 2)
                    .switchedOff(FE_MESH_QUAD4, 2)
                    .handle();
        model.frames({0.0f, 0.1f, 0.2f});
    }
    long hostCalls(const char* function) const { return host::hostLog().calls(function); }

    FePartStr* strip = nullptr;
    AdapterProbe adapter;
};

TEST_F(AdapterFailedElements, EachFrameAsksTheHostAgain) {
    EXPECT_EQ(adapter.getDeletedElements(strip, FE_MESH_QUAD4, 0, 4), (std::set<int>{3}));
    EXPECT_EQ(adapter.getDeletedElements(strip, FE_MESH_QUAD4, 1, 4), (std::set<int>{3}));
    EXPECT_EQ(adapter.getDeletedElements(strip, FE_MESH_QUAD4, 2, 4), (std::set<int>{1, 3}));
    EXPECT_EQ(hostCalls("FePartIsElementFailingGivenPart"), 12) << "one call per element and frame";
}

TEST_F(AdapterFailedElements, OnlyTheCountedElementsAreAsked) {
    EXPECT_EQ(adapter.getDeletedElements(strip, FE_MESH_QUAD4, 2, 2), (std::set<int>{1}));
    EXPECT_EQ(hostCalls("FePartIsElementFailingGivenPart"), 2);
    EXPECT_TRUE(adapter.getDeletedElements(strip, FE_MESH_QUAD4, 2, 0).empty());
    EXPECT_TRUE(adapter.getDeletedElements(strip, FE_MESH_QUAD4, 2, -3).empty());
    EXPECT_TRUE(adapter.getHiddenElements(strip, FE_MESH_QUAD4, 2, 0).empty());
    EXPECT_EQ(hostCalls("FePartIsElementFailingGivenPart"), 2) << "no call for a count below 1";
    EXPECT_EQ(hostCalls("FePartIsElementOff"), 0);
}

TEST_F(AdapterFailedElements, APartWhoseElementsAllFailedSkipsThemAll) {
    host::ModelBuilder model("Single");
    host::PartBuilder part = model.part("Pair").nodes({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}});
    part.elements(FE_MESH_TRIA3, {0, 1, 2, 1, 3, 2})
        .failsAt(FE_MESH_TRIA3, 0, 0)
        .failsAt(FE_MESH_TRIA3, 1, 0);
    EXPECT_EQ(adapter.getDeletedElements(part.handle(), FE_MESH_TRIA3, 0, 2), (std::set<int>{0, 1}));
}

TEST_F(AdapterFailedElements, HiddenElementsAreTheSwitchedOffOnes) {
    EXPECT_EQ(adapter.getHiddenElements(strip, FE_MESH_QUAD4, 0, 4), (std::set<int>{2}));
    EXPECT_EQ(adapter.getHiddenElements(strip, FE_MESH_QUAD4, 2, 4), (std::set<int>{2}))
        << "switching off does not depend on the frame, failing does";
    EXPECT_EQ(hostCalls("FePartIsElementOff"), 8);
    EXPECT_EQ(hostCalls("FePartIsElementFailingGivenPart"), 0);
}

using AdapterInfinities = testing_support::HostTest;

std::array<float, 3> checked(std::array<float, 3> xyz, float replacement) {
    AdapterProbe().checkForInfinities(xyz.data(), replacement);
    return xyz;
}

TEST_F(AdapterInfinities, AnInfiniteComponentReplacesTheWholeTriple) {
    constexpr float inf = std::numeric_limits<float>::infinity();
    constexpr float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(checked({1, -inf, 2}, 0), (std::array<float, 3>{0, 0, 0}));
    EXPECT_EQ(checked({nan, inf, 0}, 5), (std::array<float, 3>{5, 5, 5}));
    EXPECT_EQ(checked({3.4e38f, 0, 0}, 7), (std::array<float, 3>{3.4e38f, 0, 0}));
    EXPECT_EQ(checked({1, 2, inf}, -1), (std::array<float, 3>{-1, -1, -1}));

    const std::array<float, 3> untouched = checked({nan, 1, 2}, 0);
    EXPECT_TRUE(std::isnan(untouched[0])) << "NaN is not infinite";
    EXPECT_EQ(untouched[1], 1.0f);
    EXPECT_EQ(untouched[2], 2.0f);
}

}  // namespace
