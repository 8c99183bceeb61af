// The demo model from the host's side: every kind of element, a smooth motion that a per-node
// field follows, and a crack that grows from element to element.
#include "demo_model.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace {

using Demo = testing_support::HostTest;

TEST_F(Demo, SoundMovingAndCracking) {
    ModelStr& model = host::buildDemoModel();
    const std::vector<float>& from = model.referenceCoords;
    std::vector<float> previous = from;
    std::set<int> types;
    std::set<std::vector<int>> failedBefore;
    double extent = 0;
    for (const float c : from) extent = std::max<double>(extent, std::abs(c));
    ASSERT_GE(model.frameCount(), 20);
    for (int frame = 0; frame < model.frameCount(); ++frame) {
        ASSERT_TRUE(model.setFrame(frame));
        const std::vector<float>& xyz = model.currentCoords;
        const float* moved = model.fieldValues(model.findField("Displacement magnitude"), frame).data();
        double step = 0;
        for (int n = 0; n < model.nodeCount(); ++n) {
            EXPECT_NEAR(moved[n], std::hypot(xyz[3 * n] - from[3 * n], xyz[3 * n + 1] - from[3 * n + 1], xyz[3 * n + 2] - from[3 * n + 2]), 1e-4)
                << "node " << n << ", frame " << frame;
            step = std::max<double>(step, std::hypot(xyz[3 * n] - previous[3 * n], xyz[3 * n + 1] - previous[3 * n + 1], xyz[3 * n + 2] - previous[3 * n + 2]));
        }
        EXPECT_LT(step, 0.1 * extent) << "frame " << frame << " jumps";
        EXPECT_TRUE(frame == 0 || step > 1e-3 * extent) << "frame " << frame << " stands still";
        previous = xyz;
        std::set<std::vector<int>> failed;
        for (const auto& part : model.parts)
            for (int type = 0; type < FE_MESH_TYPE_COUNT; ++type)
                for (int e = 0; e < part->elementCount(type); ++e) {
                    types.insert(type);
                    if (part->hasFailed({type, e}, frame)) failed.insert({part->firstNode, type, e});
                }
        // Failed elements stay failed, and a few fail at a time.
        EXPECT_TRUE(std::includes(failed.begin(), failed.end(), failedBefore.begin(), failedBefore.end())) << "frame " << frame;
        EXPECT_LE(failed.size() - failedBefore.size(), 3u) << "frame " << frame;
        EXPECT_TRUE(frame > 0 || failed.empty());
        failedBefore = failed;
    }
    EXPECT_GE(failedBefore.size(), 10u);
    for (const int type : {FE_MESH_TRIA3, FE_MESH_QUAD4, FE_MESH_TETRA4, FE_MESH_PENTA6, FE_MESH_HEXA8}) EXPECT_TRUE(types.contains(type)) << type;
}

}  // namespace
