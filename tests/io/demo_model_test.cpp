// The demo model from the host's side: every kind of element, sound in every frame; a smooth
// motion that a per-node field follows; and a crack that grows from element to element.
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
    std::set<int> types;
    std::set<std::vector<int>> failedBefore;
    std::vector<float> previous = model.referenceCoords;
    const int moved = model.findField("Displacement magnitude");
    ASSERT_GE(model.frameCount(), 20);
    double extent = 0;
    for (size_t i = 0; i < model.referenceCoords.size(); ++i) extent = std::max<double>(extent, std::abs(model.referenceCoords[i]));
    for (int frame = 0; frame < model.frameCount(); ++frame) {
        ASSERT_TRUE(model.setFrame(frame));
        const std::vector<float>& xyz = model.currentCoords;
        const auto at = [&](int node) { return std::array<double, 3>{xyz[3 * node], xyz[3 * node + 1], xyz[3 * node + 2]}; };
        double step = 0;
        for (int node = 0; node < model.nodeCount(); ++node) {
            const double d = std::hypot(xyz[3 * node] - model.referenceCoords[3 * node], xyz[3 * node + 1] - model.referenceCoords[3 * node + 1],
                                        xyz[3 * node + 2] - model.referenceCoords[3 * node + 2]);
            EXPECT_NEAR(model.fieldValues(moved, frame)[node], d, 1e-4) << "node " << node << ", frame " << frame;
            step = std::max<double>(step, std::hypot(xyz[3 * node] - previous[3 * node], xyz[3 * node + 1] - previous[3 * node + 1], xyz[3 * node + 2] - previous[3 * node + 2]));
        }
        EXPECT_LT(step, 0.1 * extent) << "frame " << frame << " jumps";
        EXPECT_TRUE(frame == 0 || step > 1e-3 * extent) << "frame " << frame << " stands still";
        previous = xyz;
        std::set<std::vector<int>> failed;
        for (const auto& part : model.parts)
            for (int type = 0; type < FE_MESH_TYPE_COUNT; ++type)
                for (int e = 0; e < part->elementCount(type); ++e) {
                    types.insert(type);
                    const int* nodes = &part->connectivity[type][e * host::kNodesPerElement[type]];
                    // A positive volume from the outward faces (or area of the outline).
                    double size = 0;
                    for (const mesh_faces::Face& face : host::isSolid(type) ? host::kSolidFaces[type] : std::span<const mesh_faces::Face>{}) {
                        for (int k = 1; k + 1 < face.nodeCount; ++k) {
                            const auto a = at(nodes[face.positions[0]]), b = at(nodes[face.positions[k]]), c = at(nodes[face.positions[k + 1]]);
                            size += a[0] * (b[1] * c[2] - b[2] * c[1]) + a[1] * (b[2] * c[0] - b[0] * c[2]) + a[2] * (b[0] * c[1] - b[1] * c[0]);
                        }
                    }
                    for (int k = 0; !host::isSolid(type) && k < host::kNodesPerElement[type]; ++k) {
                        const auto a = at(nodes[k]), b = at(nodes[(k + 1) % host::kNodesPerElement[type]]);
                        size += std::abs((a[1] - b[1]) * (a[2] + b[2])) + std::abs((a[2] - b[2]) * (a[0] + b[0])) + std::abs((a[0] - b[0]) * (a[1] + b[1]));
                    }
                    EXPECT_GT(size, 1e-6) << part->name << " type " << type << " #" << e << ", frame " << frame;
                    if (!part->hasFailed({type, e}, frame)) continue;
                    failed.insert({part->firstNode, type, e});
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
