// The polygons that bound each of the host's element types, in the host's numbering of types and
// of an element's nodes. This is the one table of that knowledge: the host's outer-skin search
// reads it, and the plug-in's element kinds lay their faces out from it, so the faces a viewer
// draws and the skin the host finds cannot drift apart.
//
// Header only and standard library only: both the plug-in and the host build on it, and neither
// sees the other's internals through it.
#pragma once

#include <array>
#include <span>

namespace mesh_faces {

// One polygon of an element: positions in the element's own node list (0 = its first node),
// ordered so that the polygon's normal points out of the element.
struct Face {
    int nodeCount;
    std::array<int, 8> positions;
};

inline constexpr std::array<Face, 1> kTriangle3{{{3, {0, 1, 2}}}};
inline constexpr std::array<Face, 1> kTriangle6{{{6, {0, 1, 2, 3, 4, 5}}}};
inline constexpr std::array<Face, 1> kQuad4{{{4, {0, 1, 2, 3}}}};
inline constexpr std::array<Face, 1> kQuad8{{{8, {0, 1, 2, 3, 4, 5, 6, 7}}}};

// The quadratic solids list their boundary faces first, then a second shell of faces through their
// mid-side nodes, one per boundary face and in the same order.
inline constexpr std::array<Face, 8> kTetra10{{
    {3, {0, 2, 1}}, {3, {1, 2, 3}}, {3, {0, 1, 3}}, {3, {0, 3, 2}},
    {3, {6, 5, 4}}, {3, {5, 9, 8}}, {3, {4, 8, 7}}, {3, {7, 9, 6}},
}};
inline constexpr std::array<Face, 10> kPenta15{{
    {3, {0, 1, 4}}, {3, {2, 3, 5}}, {4, {0, 4, 5, 3}}, {4, {1, 2, 5, 4}}, {4, {0, 3, 2, 1}},
    {3, {6, 11, 10}}, {3, {8, 13, 12}}, {4, {10, 14, 13, 9}}, {4, {7, 12, 14, 11}},
    {4, {9, 8, 7, 6}},
}};
inline constexpr std::array<Face, 12> kHexa20{{
    {4, {0, 3, 2, 1}}, {4, {4, 5, 6, 7}}, {4, {2, 3, 7, 6}},
    {4, {0, 1, 5, 4}}, {4, {1, 2, 6, 5}}, {4, {0, 4, 7, 3}},
    {4, {11, 10, 9, 8}}, {4, {16, 17, 18, 19}}, {4, {10, 15, 18, 14}},
    {4, {8, 13, 16, 12}}, {4, {9, 14, 17, 13}}, {4, {12, 19, 15, 11}},
}};

// The linear solids are bounded by the boundary faces of their quadratic counterparts.
inline constexpr std::span<const Face> kTetra4{kTetra10.data(), 4};
inline constexpr std::span<const Face> kPenta6{kPenta15.data(), 5};
inline constexpr std::span<const Face> kHexa8{kHexa20.data(), 6};

struct ElementFaces {
    int nodesPerElement;
    std::span<const Face> faces;  // boundary faces first
    int boundaryFaceCount;

    constexpr std::span<const Face> boundary() const { return faces.first(boundaryFaceCount); }
};

inline constexpr int kElementTypeCount = 10;

// Indexed by the host's element type: 3- and 6-node triangles, 4- and 8-node quadrilaterals, then
// the solids from the 4-node tetrahedron to the 20-node hexahedron.
inline constexpr std::array<ElementFaces, kElementTypeCount> kElementFaces{{
    {3, kTriangle3, 1},
    {6, kTriangle6, 1},
    {4, kQuad4, 1},
    {8, kQuad8, 1},
    {4, kTetra4, 4},
    {10, kTetra10, 4},
    {6, kPenta6, 5},
    {15, kPenta15, 5},
    {8, kHexa8, 6},
    {20, kHexa20, 6},
}};

}  // namespace mesh_faces
