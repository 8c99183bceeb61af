// The element table: a viewer draws an element as the faces listed here, so they must close the
// element, point outwards and, for quadratic solids, pass through the right mid-side nodes. The
// checks read the table itself; a mistyped position breaks at least one of them.
#include "ZVRMLElementKinds.h"
#include "hostmodel.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <utility>
#include <vector>

namespace {

std::set<int> cornersOf(const ZVRMLFace& face) {
    return {face.positions.begin(), face.positions.begin() + face.nodeCount};
}

TEST(ElementKinds, ShellsAreOnePolygonThroughEveryNodeInOrder) {
    for (const ZVRMLElementKind& kind : kVRMLElementKinds) {
        if (kind.boundaryFaceCount > 1) continue;
        SCOPED_TRACE(kind.name);
        ASSERT_EQ(kind.facesPerElement(), 1);
        ASSERT_EQ(kind.faces[0].nodeCount, kind.nodesPerElement);
        for (int k = 0; k < kind.nodesPerElement; ++k) EXPECT_EQ(kind.faces[0].positions[k], k);
    }
}

// A closed surface with outward normals uses every edge exactly once in each direction, and has
// V - E + F = 2.
TEST(ElementKinds, BoundaryFacesCloseEachSolidOutwards) {
    for (const ZVRMLElementKind& kind : kVRMLElementKinds) {
        if (kind.boundaryFaceCount == 1) continue;
        SCOPED_TRACE(kind.name);
        std::map<std::pair<int, int>, int> edges;
        std::set<int> corners;
        for (const ZVRMLFace& face : kind.faces.first(kind.boundaryFaceCount)) {
            EXPECT_EQ(cornersOf(face).size(), static_cast<size_t>(face.nodeCount)) << "a repeated position";
            for (int k = 0; k < face.nodeCount; ++k) {
                ++edges[{face.positions[k], face.positions[(k + 1) % face.nodeCount]}];
                corners.insert(face.positions[k]);
            }
        }
        for (const auto& [edge, uses] : edges) {
            EXPECT_EQ(uses, 1) << edge.first << "-" << edge.second;
            EXPECT_EQ(edges.count({edge.second, edge.first}), 1u) << edge.first << "-" << edge.second;
        }
        EXPECT_EQ(static_cast<int>(corners.size() - edges.size() / 2) + kind.boundaryFaceCount, 2);
        EXPECT_LT(*corners.rbegin(), kind.nodesPerElement);
    }
}

// The k-th mid-side face runs through the mid-side nodes of the k-th boundary face's edges, in
// the same turning order; the node on an edge is the one shared by the mid-side faces of the
// two boundary faces that share that edge.
TEST(ElementKinds, MidSideFacesFollowTheEdgesOfTheirBoundaryFace) {
    for (const ZVRMLElementKind& kind : kVRMLElementKinds) {
        const auto boundary = kind.faces.first(kind.boundaryFaceCount);
        const auto midSide = kind.faces.subspan(kind.boundaryFaceCount);
        if (midSide.empty()) continue;
        SCOPED_TRACE(kind.name);
        ASSERT_EQ(midSide.size(), boundary.size());
        std::map<std::set<int>, std::set<int>> midNodesOfEdge;  // edge -> nodes placed on it
        for (size_t f = 0; f < midSide.size(); ++f) {
            ASSERT_EQ(midSide[f].nodeCount, boundary[f].nodeCount);
            for (int k = 0; k < boundary[f].nodeCount; ++k)
                midNodesOfEdge[{boundary[f].positions[k], boundary[f].positions[(k + 1) % boundary[f].nodeCount]}]
                    .insert(midSide[f].positions[k]);
        }
        std::set<int> midNodes;
        for (const auto& [edge, nodes] : midNodesOfEdge) {
            EXPECT_EQ(nodes.size(), 1u) << "both faces along an edge name one node for it";
            midNodes.insert(nodes.begin(), nodes.end());
        }
        EXPECT_EQ(midNodes.size(), midNodesOfEdge.size()) << "one node per edge";
        const int cornerCount = kind.nodesPerElement - static_cast<int>(midNodes.size());
        EXPECT_EQ(*midNodes.begin(), cornerCount);
        EXPECT_EQ(*midNodes.rbegin(), kind.nodesPerElement - 1);
    }
}

TEST(ElementKinds, LinearSolidsAreTheBoundaryOfTheirQuadraticKind) {
    for (const auto& [linear, quadratic] : {std::pair{3, 2}, {5, 4}, {7, 6}}) {
        const ZVRMLElementKind& lin = kVRMLElementKinds[linear];
        ASSERT_EQ(lin.facesPerElement(), kVRMLElementKinds[quadratic].boundaryFaceCount);
        for (int f = 0; f < lin.facesPerElement(); ++f)
            EXPECT_EQ(cornersOf(lin.faces[f]), cornersOf(kVRMLElementKinds[quadratic].faces[f])) << lin.name;
    }
}

// Each host type maps to the kind of its node count and shape.
TEST(ElementKinds, HostMeshTypes) {
    const std::pair<_FePartMeshType, const char*> rows[] = {
        {FE_MESH_TRIA3, "3-node triangle"},       {FE_MESH_TRIA6, "6-node triangle"},
        {FE_MESH_QUAD4, "4-node quadrilateral"},  {FE_MESH_QUAD8, "8-node quadrilateral"},
        {FE_MESH_TETRA4, "4-node tetrahedron"},   {FE_MESH_TETRA10, "10-node tetrahedron"},
        {FE_MESH_PENTA6, "6-node pentahedron"},   {FE_MESH_PENTA15, "15-node pentahedron"},
        {FE_MESH_HEXA8, "8-node hexahedron"},     {FE_MESH_HEXA20, "20-node hexahedron"},
    };
    for (const auto& [type, name] : rows) {
        EXPECT_STREQ(kVRMLElementKinds[kVRMLKindOfMeshType[type]].name, name) << type;
        EXPECT_EQ(isVRMLShellMeshType(type), kVRMLElementKinds[kVRMLKindOfMeshType[type]].boundaryFaceCount == 1);
    }
}

}  // namespace
