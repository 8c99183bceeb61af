// Elements left out of the faces: failed ones per frame, switched-off ones, and coordinate
// triples replaced because they are infinite.
#include "adapter_probe.h"

#include <array>
#include <cmath>
#include <limits>
#include <set>

namespace {

using AdapterElements = testing_support::HostTest;

// A strip of four quadrilaterals whose elements 3 and 1 fail at frames 0 and 2; 2 is switched off.
TEST_F(AdapterElements, FailedAndHiddenElementsAreAskedPerElementAndFrame) {
    host::ModelBuilder model("Strip");
    FePartStr* strip = model.part("Strip")
                           .nodes({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {4, 0, 0},
                                   {0, 1, 0}, {1, 1, 0}, {2, 1, 0}, {3, 1, 0}, {4, 1, 0}})
                           .elements(FE_MESH_QUAD4, {0, 1, 6, 5, 1, 2, 7, 6, 2, 3, 8, 7, 3, 4, 9, 8})
                           .failsAt(FE_MESH_QUAD4, 3, 0).failsAt(FE_MESH_QUAD4, 1, 2).switchedOff(FE_MESH_QUAD4, 2)
                           .handle();
    model.frames({0.0f, 0.1f, 0.2f});
    AdapterProbe adapter;
    const std::tuple<bool, int, int, std::set<int>> rows[] = {
        {false, 0, 4, {3}}, {false, 1, 4, {3}}, {false, 2, 4, {1, 3}}, {false, 2, 2, {1}},
        {false, 2, 0, {}}, {false, 2, -3, {}}, {true, 0, 4, {2}}, {true, 2, 4, {2}}, {true, 2, 0, {}},
    };
    for (const auto& [hidden, frame, count, expected] : rows) {
        const auto query = hidden ? &AdapterProbe::getHiddenElements : &AdapterProbe::getDeletedElements;
        EXPECT_EQ((adapter.*query)(strip, FE_MESH_QUAD4, frame, count), expected) << hidden << frame << count;
    }
    EXPECT_EQ(hostCalls("FePartIsElementFailingGivenPart"), 14) << "one call per counted element and frame";
    EXPECT_EQ(hostCalls("FePartIsElementOff"), 8);
}

TEST_F(AdapterElements, AnInfiniteComponentReplacesTheWholeTriple) {
    constexpr float inf = std::numeric_limits<float>::infinity();
    constexpr float nan = std::numeric_limits<float>::quiet_NaN();
    const std::tuple<std::array<float, 3>, float, std::array<float, 3>> rows[] = {
        {{1, -inf, 2}, 0, {0, 0, 0}}, {{nan, inf, 0}, 5, {5, 5, 5}}, {{1, 2, inf}, -1, {-1, -1, -1}},
        {{inf, 2, 3}, 4, {4, 4, 4}}, {{3.4e38f, 0, 0}, 7, {3.4e38f, 0, 0}}, {{0, 1, 2}, 7, {0, 1, 2}},
    };
    for (auto [xyz, replacement, expected] : rows) {
        AdapterProbe().checkForInfinities(xyz.data(), replacement);
        EXPECT_EQ(xyz, expected);
    }
    std::array<float, 3> notANumber{nan, 1, 2};
    AdapterProbe().checkForInfinities(notANumber.data(), 0);
    EXPECT_TRUE(std::isnan(notANumber[0]) && notANumber[1] == 1.0f) << "NaN is not infinite";
}

}  // namespace
