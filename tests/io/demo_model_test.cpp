// The demo model from the host's side: every kind of element, solids that never turn inside out,
// a smooth motion that a per-node field follows, and a crack that grows from element to element.
#include "demo_model.h"
#include "mesh_types.h"
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
                    // A solid's volume from its outward faces, by the divergence theorem.
                    const int* nodes = &part->connectivity[type][e * host::kNodesPerElement[type]];
                    const auto at = [&](int k) { return &xyz[3 * nodes[k]]; };
                    double volume = 0;
                    for (const mesh_faces::Face& face : host::kSolidFaces[type])
                        for (int k = 1; k + 1 < face.nodeCount; ++k) {
                            const float *a = at(face.positions[0]), *b = at(face.positions[k]), *c = at(face.positions[k + 1]);
                            volume += a[0] * (b[1] * c[2] - b[2] * c[1]) + a[1] * (b[2] * c[0] - b[0] * c[2]) + a[2] * (b[0] * c[1] - b[1] * c[0]);
                        }
                    EXPECT_TRUE(!host::isSolid(type) || volume > 1e-6) << part->name << " type " << type << " #" << e << ", frame " << frame;
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
