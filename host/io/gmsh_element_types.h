// How Gmsh's element types become the host's: the one table of that knowledge. The reader
// converts every element through it, and the tests prove each row geometrically on Gmsh's
// reference elements, so a node order cannot be wrong in one place and right in another.
#pragma once

#include "hostmodel.h"
#include "mesh_types.h"

#include <array>
#include <cstddef>

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

// Elements of third and higher order, which the host has no type for, are drawn as the nearest
// type it has: an even order by its corners and the middle node of each edge, like its quadratic
// kin; an odd order, whose edges have no middle node, by its corners; a pyramid always by its
// corners. Every order numbers its corners first and then its edge nodes, edge by edge in the
// order and direction of its quadratic kin, order - 1 to an edge: the rows are derived from the
// quadratic and linear rows above.
struct HigherOrderType {
    int gmshType;
    int gmshNodes;
    int order;
    int linearType;     // the Gmsh type of the family's first order
    int quadraticType;  // of its second order
};

inline constexpr std::array<HigherOrderType, 98> kHigherOrderTypes{{
    // lines: their ends
    {26, 4, 3, 1, 8}, {27, 5, 4, 1, 8}, {28, 6, 5, 1, 8}, {62, 7, 6, 1, 8}, {63, 8, 7, 1, 8}, {64, 9, 8, 1, 8},
    {65, 10, 9, 1, 8}, {66, 11, 10, 1, 8},
    // triangles, complete and with nodes on their edges only
    {20, 9, 3, 2, 9}, {21, 10, 3, 2, 9}, {22, 12, 4, 2, 9}, {23, 15, 4, 2, 9}, {24, 15, 5, 2, 9}, {25, 21, 5, 2, 9},
    {42, 28, 6, 2, 9}, {43, 36, 7, 2, 9}, {44, 45, 8, 2, 9}, {45, 55, 9, 2, 9}, {46, 66, 10, 2, 9}, {52, 18, 6, 2, 9},
    {53, 21, 7, 2, 9}, {54, 24, 8, 2, 9}, {55, 27, 9, 2, 9}, {56, 30, 10, 2, 9},
    // quadrangles
    {36, 16, 3, 3, 16}, {37, 25, 4, 3, 16}, {38, 36, 5, 3, 16}, {39, 12, 3, 3, 16}, {40, 16, 4, 3, 16},
    {41, 20, 5, 3, 16}, {47, 49, 6, 3, 16}, {48, 64, 7, 3, 16}, {49, 81, 8, 3, 16}, {50, 100, 9, 3, 16},
    {51, 121, 10, 3, 16}, {57, 24, 6, 3, 16}, {58, 28, 7, 3, 16}, {59, 32, 8, 3, 16}, {60, 36, 9, 3, 16},
    {61, 40, 10, 3, 16},
    // tetrahedra
    {29, 20, 3, 4, 11}, {30, 35, 4, 4, 11}, {31, 56, 5, 4, 11}, {32, 22, 4, 4, 11}, {33, 28, 5, 4, 11},
    {71, 84, 6, 4, 11}, {72, 120, 7, 4, 11}, {73, 165, 8, 4, 11}, {74, 220, 9, 4, 11}, {75, 286, 10, 4, 11},
    {79, 34, 6, 4, 11}, {80, 40, 7, 4, 11}, {81, 46, 8, 4, 11}, {82, 52, 9, 4, 11}, {83, 58, 10, 4, 11},
    {137, 16, 3, 4, 11},
    // hexahedra
    {92, 64, 3, 5, 17}, {93, 125, 4, 5, 17}, {94, 216, 5, 5, 17}, {95, 343, 6, 5, 17}, {96, 512, 7, 5, 17},
    {97, 729, 8, 5, 17}, {98, 1000, 9, 5, 17}, {99, 32, 3, 5, 17}, {100, 44, 4, 5, 17}, {101, 56, 5, 5, 17},
    {102, 68, 6, 5, 17}, {103, 80, 7, 5, 17}, {104, 92, 8, 5, 17}, {105, 104, 9, 5, 17},
    // prisms
    {90, 40, 3, 6, 18}, {91, 75, 4, 6, 18}, {106, 126, 5, 6, 18}, {107, 196, 6, 6, 18}, {108, 288, 7, 6, 18},
    {109, 405, 8, 6, 18}, {110, 550, 9, 6, 18}, {111, 24, 3, 6, 18}, {112, 33, 4, 6, 18}, {113, 42, 5, 6, 18},
    {114, 51, 6, 6, 18}, {115, 60, 7, 6, 18}, {116, 69, 8, 6, 18}, {117, 78, 9, 6, 18},
    // pyramids: by their corners at every order, as the quadratic ones
    {118, 30, 3, 7, 7}, {119, 55, 4, 7, 7}, {120, 91, 5, 7, 7}, {121, 140, 6, 7, 7}, {122, 204, 7, 7, 7},
    {123, 285, 8, 7, 7}, {124, 385, 9, 7, 7}, {125, 21, 3, 7, 7}, {126, 29, 4, 7, 7}, {127, 37, 5, 7, 7},
    {128, 45, 6, 7, 7}, {129, 53, 7, 7, 7}, {130, 61, 8, 7, 7}, {131, 69, 9, 7, 7},
}};

namespace element_rows {

constexpr const GmshElementType& exactRow(int gmshType) {
    for (const GmshElementType& row : kGmshElementTypes)
        if (row.gmshType == gmshType) return row;
    throw "no such row";  // a compile-time error in the table below
}

// The row of a higher-order type: its kin's, with each edge node moved to its edge's middle node.
constexpr GmshElementType reducedRow(const HigherOrderType& type) {
    const bool even = type.order % 2 == 0;
    GmshElementType row = exactRow(even ? type.quadraticType : type.linearType);
    const int corners = exactRow(type.linearType).gmshNodes;
    row.gmshType = type.gmshType;
    row.gmshNodes = type.gmshNodes;
    for (int p = 0; p < row.hostNodes(); ++p)
        if (const int kin = row.gmshPosition[p]; kin >= corners)
            row.gmshPosition[p] = corners + (kin - corners) * (type.order - 1) + (type.order - 2) / 2;
    return row;
}

constexpr auto reducedRows() {
    std::array<GmshElementType, kHigherOrderTypes.size()> rows{};
    for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = reducedRow(kHigherOrderTypes[i]);
    return rows;
}

}  // namespace element_rows

// The rows of the higher-order types, in the order of kHigherOrderTypes.
inline constexpr auto kReducedElementTypes = element_rows::reducedRows();

// The row for a Gmsh type; null when the host has no counterpart. `reduced` says whether the
// element loses nodes of its order (a higher-order element drawn as a lower one).
constexpr const GmshElementType* findGmshElementType(int gmshType, bool* reduced = nullptr) {
    if (reduced) *reduced = false;
    for (const GmshElementType& row : kGmshElementTypes)
        if (row.gmshType == gmshType) return &row;
    if (reduced) *reduced = true;
    for (const GmshElementType& row : kReducedElementTypes)
        if (row.gmshType == gmshType) return &row;
    return nullptr;
}

// Every host node takes an existing Gmsh node, and positions past the host's count are unused.
template <std::size_t N>
constexpr bool positionsFit(const std::array<GmshElementType, N>& rows) {
    for (const GmshElementType& row : rows)
        for (int p = 0; p < kMaxHostNodes; ++p) {
            const int position = row.gmshPosition[p];
            if (p < row.hostNodes() ? position < 0 || position >= row.gmshNodes : position != 0) return false;
        }
    return true;
}
static_assert(positionsFit(kGmshElementTypes) && positionsFit(kReducedElementTypes));

}  // namespace host::io
