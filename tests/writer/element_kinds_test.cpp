// The element table: a viewer draws a solid as the faces listed here, so they must close the
// element, point outwards and, for quadratic solids, pass through the right mid-side nodes.
// These checks read the table itself; a mistyped position breaks at least one of them.
#include "ZVRMLElementKinds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <utility>
#include <vector>

namespace {

using Edge = std::pair<int, int>;

std::vector<int> facesPerElementColumn() {
    std::vector<int> column;
    for (const ZVRMLElementKind& kind : kVRMLElementKinds) column.push_back(kind.facesPerElement());
    return column;
}

std::span<const ZVRMLFace> boundaryFaces(const ZVRMLElementKind& kind) {
    return kind.faces.first(kind.boundaryFaceCount);
}

std::span<const ZVRMLFace> midSideFaces(const ZVRMLElementKind& kind) {
    return kind.faces.subspan(kind.boundaryFaceCount);
}

// Every directed edge of every face, counted.
std::map<Edge, int> directedEdges(std::span<const ZVRMLFace> faces) {
    std::map<Edge, int> edges;
    for (const ZVRMLFace& face : faces)
        for (int k = 0; k < face.nodeCount; ++k)
            ++edges[{face.positions[k], face.positions[(k + 1) % face.nodeCount]}];
    return edges;
}

bool isSolidKind(const ZVRMLElementKind& kind) { return kind.boundaryFaceCount > 1; }

TEST(ElementKinds, FacesPerElementFollowTheKindCodes) {
    EXPECT_EQ(facesPerElementColumn(), (std::vector<int>{1, 1, 12, 6, 10, 5, 8, 4, 1, 1}));
}

TEST(ElementKinds, EveryFaceNamesDistinctPositionsInsideTheElement) {
    for (const ZVRMLElementKind& kind : kVRMLElementKinds) {
        SCOPED_TRACE(kind.name);
        for (const ZVRMLFace& face : kind.faces) {
            ASSERT_GE(face.nodeCount, 3);
            ASSERT_LE(face.nodeCount, static_cast<int>(face.positions.size()));
            std::set<int> seen;
            for (int k = 0; k < face.nodeCount; ++k) {
                EXPECT_GE(face.positions[k], 0);
                EXPECT_LT(face.positions[k], kind.nodesPerElement);
                EXPECT_TRUE(seen.insert(face.positions[k]).second) << "position " << face.positions[k] << " repeats";
            }
        }
    }
}

TEST(ElementKinds, ShellElementsAreOnePolygonThroughEveryNodeInOrder) {
    for (const ZVRMLElementKind& kind : kVRMLElementKinds) {
        if (isSolidKind(kind)) continue;
        SCOPED_TRACE(kind.name);
        ASSERT_EQ(kind.facesPerElement(), 1);
        ASSERT_EQ(kind.faces[0].nodeCount, kind.nodesPerElement);
        for (int k = 0; k < kind.nodesPerElement; ++k) EXPECT_EQ(kind.faces[0].positions[k], k);
    }
}

// A closed surface with outward normals uses every edge exactly once in each direction.
TEST(ElementKinds, BoundaryFacesCloseEachSolidWithConsistentOrientation) {
    for (const ZVRMLElementKind& kind : kVRMLElementKinds) {
        if (!isSolidKind(kind)) continue;
        SCOPED_TRACE(kind.name);
        const std::map<Edge, int> edges = directedEdges(boundaryFaces(kind));
        for (const auto& [edge, uses] : edges) {
            EXPECT_EQ(uses, 1) << "edge " << edge.first << "-" << edge.second;
            EXPECT_EQ(edges.count({edge.second, edge.first}), 1u)
                << "edge " << edge.first << "-" << edge.second << " bounds only one face";
        }
        // Euler's formula for a closed polyhedron: V - E + F = 2.
        std::set<int> corners;
        for (const ZVRMLFace& face : boundaryFaces(kind))
            corners.insert(face.positions.begin(), face.positions.begin() + face.nodeCount);
        const int edgeCount = static_cast<int>(edges.size()) / 2;
        EXPECT_EQ(static_cast<int>(corners.size()) - edgeCount + kind.boundaryFaceCount, 2);
    }
}

// For a quadratic solid, the k-th mid-side face runs through the mid-side nodes of the edges of
// the k-th boundary face, in the same turning order. Which edge a mid-side node sits on follows
// from the table too: the two mid-side faces holding it belong to the two boundary faces that
// share that edge.
TEST(ElementKinds, MidSideFacesFollowTheEdgesOfTheirBoundaryFace) {
    for (const ZVRMLElementKind& kind : kVRMLElementKinds) {
        if (midSideFaces(kind).empty()) continue;
        SCOPED_TRACE(kind.name);
        const auto boundary = boundaryFaces(kind);
        const auto midSide = midSideFaces(kind);
        ASSERT_EQ(midSide.size(), boundary.size());

        std::map<int, std::vector<int>> facesOfMidNode;
        for (size_t f = 0; f < midSide.size(); ++f) {
            ASSERT_EQ(midSide[f].nodeCount, boundary[f].nodeCount) << "face " << f;
            for (int k = 0; k < midSide[f].nodeCount; ++k)
                facesOfMidNode[midSide[f].positions[k]].push_back(static_cast<int>(f));
        }

        std::map<int, std::set<int>> edgeOfMidNode;
        for (const auto& [midNode, faces] : facesOfMidNode) {
            ASSERT_EQ(faces.size(), 2u) << "mid-side node " << midNode;
            std::set<int> first(boundary[faces[0]].positions.begin(),
                                boundary[faces[0]].positions.begin() + boundary[faces[0]].nodeCount);
            std::set<int> shared;
            for (int k = 0; k < boundary[faces[1]].nodeCount; ++k)
                if (first.count(boundary[faces[1]].positions[k])) shared.insert(boundary[faces[1]].positions[k]);
            ASSERT_EQ(shared.size(), 2u) << "mid-side node " << midNode;
            edgeOfMidNode[midNode] = shared;
        }

        for (size_t f = 0; f < midSide.size(); ++f) {
            const ZVRMLFace& corners = boundary[f];
            for (int k = 0; k < corners.nodeCount; ++k) {
                const std::set<int> edge{corners.positions[k], corners.positions[(k + 1) % corners.nodeCount]};
                EXPECT_EQ(edgeOfMidNode[midSide[f].positions[k]], edge)
                    << "face " << f << ", node " << midSide[f].positions[k];
            }
        }
        // Every node that is not a corner is a mid-side node of exactly one edge.
        const int cornerCount = kind.nodesPerElement - static_cast<int>(facesOfMidNode.size());
        for (int node = 0; node < kind.nodesPerElement; ++node)
            EXPECT_EQ(facesOfMidNode.count(node), node >= cornerCount ? 1u : 0u) << "node " << node;
    }
}

TEST(ElementKinds, LinearSolidsShareTheBoundaryFacesOfTheirQuadraticKind) {
    const std::pair<int, int> linearAndQuadratic[] = {{3, 2}, {5, 4}, {7, 6}};
    for (const auto& [linear, quadratic] : linearAndQuadratic) {
        const auto& lin = kVRMLElementKinds[linear];
        const auto& quad = kVRMLElementKinds[quadratic];
        ASSERT_EQ(lin.facesPerElement(), quad.boundaryFaceCount);
        for (int f = 0; f < lin.facesPerElement(); ++f) {
            EXPECT_EQ(lin.faces[f].nodeCount, quad.faces[f].nodeCount);
            EXPECT_EQ(lin.faces[f].positions, quad.faces[f].positions);
        }
    }
}

TEST(ElementKinds, EveryHostMeshTypeHasItsOwnKind) {
    std::set<int> kinds(kVRMLKindOfMeshType.begin(), kVRMLKindOfMeshType.end());
    EXPECT_EQ(kinds.size(), kVRMLKindOfMeshType.size());
    EXPECT_TRUE(std::all_of(kinds.begin(), kinds.end(), isVRMLElementKind));
    // The host's shells come first and its solids after them.
    for (size_t type = 0; type < kVRMLKindOfMeshType.size(); ++type)
        EXPECT_EQ(isSolidKind(kVRMLElementKinds[kVRMLKindOfMeshType[type]]), type >= 4) << "type " << type;
}

}  // namespace
