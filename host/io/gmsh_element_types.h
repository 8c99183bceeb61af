// How Gmsh's element types become the host's: the one table of that knowledge. The reader
// converts every element through it, and the tests prove each row geometrically on Gmsh's
// reference elements, so a node order cannot be wrong in one place and right in another.
#pragma once

#include "hostmodel.h"
#include "mesh_types.h"

#include <array>

namespace host::io {

// The host type of elements that become 2-node line elements (one-dimensional parts).
inline constexpr int kLineElement = -1;

inline constexpr int kMaxHostNodes = 20;

struct GmshElementType {
    int gmshType;   // Gmsh's element type number, as in MSH files
    int gmshNodes;  // nodes of one element of that type
    int hostType;   // _FePartMeshType, or kLineElement
    // For each node of the host element, in the host's order, the position of the Gmsh node it
    // takes. Gmsh nodes no position names are dropped (face and body centres, the mid-side nodes
    // of a pyramid); a pyramid names its apex twice, as a pentahedron whose ridge collapsed.
    std::array<int, kMaxHostNodes> gmshPosition;

    constexpr int hostNodes() const {
        return hostType == kLineElement ? 2 : kMeshTypes[hostType].nodesPerElement;
    }
};

// Gmsh types not listed here have no host counterpart and are left out. Gmsh numbers its
// wedge's corners 0 1 2 on one triangle and 3 4 5 over them; the host's pentahedron lies on a
// rectangle (0 1 2 3) with its ridge (4 5) over the edges 0-1 and 3-2, so corner 4 takes a
// triangle's third corner. Quadratic shells go around their perimeter in the host.
inline constexpr std::array<GmshElementType, 18> kGmshElementTypes{{
    {1, 2, kLineElement, {0, 1}},                          // 2-node line
    {8, 3, kLineElement, {0, 1}},                          // 3-node line: its ends
    {2, 3, FE_MESH_TRIA3, {0, 1, 2}},                      // 3-node triangle
    {9, 6, FE_MESH_TRIA6, {0, 3, 1, 4, 2, 5}},             // 6-node triangle
    {3, 4, FE_MESH_QUAD4, {0, 1, 2, 3}},                   // 4-node quadrangle
    {16, 8, FE_MESH_QUAD8, {0, 4, 1, 5, 2, 6, 3, 7}},      // 8-node quadrangle
    {10, 9, FE_MESH_QUAD8, {0, 4, 1, 5, 2, 6, 3, 7}},      // 9-node quadrangle, less its centre
    {4, 4, FE_MESH_TETRA4, {0, 1, 2, 3}},                  // 4-node tetrahedron
    {11, 10, FE_MESH_TETRA10, {0, 1, 2, 3, 4, 5, 6, 7, 9, 8}},  // 10-node tetrahedron
    {6, 6, FE_MESH_PENTA6, {1, 0, 3, 4, 2, 5}},            // 6-node prism
    {18, 15, FE_MESH_PENTA15, {1, 0, 3, 4, 2, 5, 6, 8, 12, 10, 9, 7, 13, 14, 11}},  // 15-node prism
    {13, 18, FE_MESH_PENTA15, {1, 0, 3, 4, 2, 5, 6, 8, 12, 10, 9, 7, 13, 14, 11}},  // 18-node prism
    {7, 5, FE_MESH_PENTA6, {0, 1, 2, 3, 4, 4}},            // 5-node pyramid
    {19, 13, FE_MESH_PENTA6, {0, 1, 2, 3, 4, 4}},          // 13-node pyramid, by its corners
    {14, 14, FE_MESH_PENTA6, {0, 1, 2, 3, 4, 4}},          // 14-node pyramid, by its corners
    {5, 8, FE_MESH_HEXA8, {0, 1, 2, 3, 4, 5, 6, 7}},       // 8-node hexahedron
    {17, 20, FE_MESH_HEXA20, {0, 1, 2, 3, 4, 5, 6, 7, 8, 11, 13, 9, 10, 12, 14, 15, 16, 18, 19, 17}},
    {12, 27, FE_MESH_HEXA20, {0, 1, 2, 3, 4, 5, 6, 7, 8, 11, 13, 9, 10, 12, 14, 15, 16, 18, 19, 17}},
}};

// The row for a Gmsh type; null when the host has no counterpart.
constexpr const GmshElementType* findGmshElementType(int gmshType) {
    for (const GmshElementType& row : kGmshElementTypes)
        if (row.gmshType == gmshType) return &row;
    return nullptr;
}

static_assert([] {
    for (const GmshElementType& row : kGmshElementTypes)
        for (int p = 0; p < kMaxHostNodes; ++p) {
            const int position = row.gmshPosition[p];
            if (p < row.hostNodes() ? position < 0 || position >= row.gmshNodes : position != 0) return false;
        }
    return true;
}(), "every host node takes an existing Gmsh node, and positions past the host's count are unused");

}  // namespace host::io
