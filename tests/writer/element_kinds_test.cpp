// The element table: a viewer draws an element as the faces listed here, so they must close the
// element, point outwards and, for quadratic solids, pass through the mid-side nodes of their
// edges. The checks read the table; a mistyped position breaks at least one of them.
#include "ZVRMLElementKinds.h"
#include "hostmodel.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

using Edge = std::set<int>;

// A closed surface with outward normals uses every edge once in each direction, has V - E + F = 2,
// and the k-th mid-side face puts one node on each edge of the k-th boundary face, in order.
TEST(ElementKinds, ClosedSolids) {
    for (const ZVRMLElementKind& kind : kVRMLElementKinds) {
        if (kind.boundaryFaceCount == 1) continue;
        SCOPED_TRACE(kind.name);
        const auto boundary = kind.faces.first(kind.boundaryFaceCount), midSide = kind.faces.subspan(kind.boundaryFaceCount);
        std::map<std::pair<int, int>, int> directed;
        std::map<Edge, std::set<int>> midNodes;
        std::set<int> corners, allMidNodes;
        for (size_t f = 0; f < boundary.size(); ++f)
            for (int k = 0, n = boundary[f].nodeCount; k < n; ++k) {
                const int from = boundary[f].positions[k], to = boundary[f].positions[(k + 1) % n];
                ++directed[{from, to}];
                corners.insert(from);
                if (!midSide.empty()) {
                    ASSERT_EQ(midSide[f].nodeCount, n);
                    midNodes[{from, to}].insert(midSide[f].positions[k]);
                    allMidNodes.insert(midSide[f].positions[k]);
                }
            }
        for (const auto& [edge, uses] : directed)
            EXPECT_TRUE(uses == 1 && directed.count({edge.second, edge.first}) == 1) << edge.first << "-" << edge.second;
        EXPECT_EQ(static_cast<int>(corners.size() - directed.size() / 2) + kind.boundaryFaceCount, 2);
        EXPECT_EQ(*corners.rbegin(), static_cast<int>(corners.size()) - 1) << "the corners come first";
        if (midSide.empty()) continue;
        EXPECT_EQ(midSide.size(), boundary.size());
        for (const auto& [edge, nodes] : midNodes) EXPECT_EQ(nodes.size(), 1u) << "both faces along an edge name one node";
        EXPECT_EQ(allMidNodes.size(), midNodes.size()) << "one node per edge";
        EXPECT_EQ(corners.size() + allMidNodes.size(), static_cast<size_t>(kind.nodesPerElement));
        EXPECT_EQ(*allMidNodes.rbegin(), kind.nodesPerElement - 1);
    }
}

TEST(ElementKinds, HostTypes) {
    const char* const names[] = {"3-node triangle",    "6-node triangle",     "4-node quadrilateral", "8-node quadrilateral",
                                 "4-node tetrahedron", "10-node tetrahedron", "6-node pentahedron",   "15-node pentahedron",
                                 "8-node hexahedron",  "20-node hexahedron"};
    for (int type = 0; type < FE_MESH_TYPE_COUNT; ++type) {
        EXPECT_STREQ(kVRMLElementKinds[kVRMLKindOfMeshType[type]].name, names[type]);
        EXPECT_EQ(isVRMLShellMeshType(type), type < FE_MESH_FIRST_SOLID);
    }
}

}  // namespace
