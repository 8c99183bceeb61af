// The element kinds that the writer turns into indexed face sets: how many nodes an element has,
// which polygons bound it and how its face list is laid out in the file. This is the one table
// of that knowledge. The writer's face and colour lists read it, the tests read it, and the host
// reads it too, for the outer skin of its solids, so the faces a viewer draws and the node orders
// the host documents cannot drift apart.
//
// Standard library only: the host includes this header as well as the plug-in.
#pragma once

#include <array>
#include <span>

// One polygon of an element: positions in the element's own node list (0 = its first node),
// ordered so that the polygon's normal points out of the element.
struct ZVRMLFace {
    int nodeCount;
    std::array<int, 8> positions;
};

// How writeCoordIndex lays out the faces of a kind. The layouts differ by kind and are kept as
// they are, because other programs compare our files with earlier ones.
enum class ZVRMLFaceLayout {
    ElementPerLine,        // one polygon per element, each element on its own line
    FacePerLine,           // every face ends its line; the first follows "coordIndex ["
    FacePerLineIndented,   // as FacePerLine, with the indentation written again before each element
};

struct ZVRMLElementKind {
    const char* name;
    int nodesPerElement;
    // The faces on the element's boundary come first; quadratic solids then add a second shell
    // of faces through their mid-side nodes, one per boundary face and in the same order.
    std::span<const ZVRMLFace> faces;
    int boundaryFaceCount;
    ZVRMLFaceLayout layout;

    constexpr int facesPerElement() const { return static_cast<int>(faces.size()); }
};

namespace zvrml_faces {

inline constexpr std::array<ZVRMLFace, 1> kTriangle3{{{3, {0, 1, 2}}}};
inline constexpr std::array<ZVRMLFace, 1> kQuad4{{{4, {0, 1, 2, 3}}}};
inline constexpr std::array<ZVRMLFace, 1> kQuad8{{{8, {0, 1, 2, 3, 4, 5, 6, 7}}}};
inline constexpr std::array<ZVRMLFace, 1> kTriangle6{{{6, {0, 1, 2, 3, 4, 5}}}};

inline constexpr std::array<ZVRMLFace, 12> kHexa20{{
    {4, {0, 3, 2, 1}}, {4, {4, 5, 6, 7}}, {4, {2, 3, 7, 6}},
    {4, {0, 1, 5, 4}}, {4, {1, 2, 6, 5}}, {4, {0, 4, 7, 3}},
    {4, {11, 10, 9, 8}}, {4, {16, 17, 18, 19}}, {4, {10, 15, 18, 14}},
    {4, {8, 13, 16, 12}}, {4, {9, 14, 17, 13}}, {4, {12, 19, 15, 11}},
}};
inline constexpr std::array<ZVRMLFace, 10> kPenta15{{
    {3, {0, 1, 4}}, {3, {2, 3, 5}}, {4, {0, 4, 5, 3}}, {4, {1, 2, 5, 4}}, {4, {0, 3, 2, 1}},
    {3, {6, 11, 10}}, {3, {8, 13, 12}}, {4, {10, 14, 13, 9}}, {4, {7, 12, 14, 11}},
    {4, {9, 8, 7, 6}},
}};
inline constexpr std::array<ZVRMLFace, 8> kTetra10{{
    {3, {0, 2, 1}}, {3, {1, 2, 3}}, {3, {0, 1, 3}}, {3, {0, 3, 2}},
    {3, {6, 5, 4}}, {3, {5, 9, 8}}, {3, {4, 8, 7}}, {3, {7, 9, 6}},
}};

// The linear solids are the boundary faces of their quadratic counterparts.
inline constexpr std::span<const ZVRMLFace> kHexa8{kHexa20.data(), 6};
inline constexpr std::span<const ZVRMLFace> kPenta6{kPenta15.data(), 5};
inline constexpr std::span<const ZVRMLFace> kTetra4{kTetra10.data(), 4};

}  // namespace zvrml_faces

inline constexpr int kVRMLElementKindCount = 10;

// Indexed by the writer's kind code.
inline constexpr std::array<ZVRMLElementKind, kVRMLElementKindCount> kVRMLElementKinds{{
    {"3-node triangle", 3, zvrml_faces::kTriangle3, 1, ZVRMLFaceLayout::ElementPerLine},
    {"4-node quadrilateral", 4, zvrml_faces::kQuad4, 1, ZVRMLFaceLayout::ElementPerLine},
    {"20-node hexahedron", 20, zvrml_faces::kHexa20, 6, ZVRMLFaceLayout::FacePerLine},
    {"8-node hexahedron", 8, zvrml_faces::kHexa8, 6, ZVRMLFaceLayout::FacePerLine},
    {"15-node pentahedron", 15, zvrml_faces::kPenta15, 5, ZVRMLFaceLayout::FacePerLineIndented},
    {"6-node pentahedron", 6, zvrml_faces::kPenta6, 5, ZVRMLFaceLayout::FacePerLineIndented},
    {"10-node tetrahedron", 10, zvrml_faces::kTetra10, 4, ZVRMLFaceLayout::FacePerLineIndented},
    {"4-node tetrahedron", 4, zvrml_faces::kTetra4, 4, ZVRMLFaceLayout::FacePerLineIndented},
    {"8-node quadrilateral", 8, zvrml_faces::kQuad8, 1, ZVRMLFaceLayout::ElementPerLine},
    {"6-node triangle", 6, zvrml_faces::kTriangle6, 1, ZVRMLFaceLayout::ElementPerLine},
}};

constexpr bool isVRMLElementKind(int kind) { return kind >= 0 && kind < kVRMLElementKindCount; }

// The writer's kind for each of the host's mesh types (indexed by the host's type number: 3- and
// 6-node triangles, 4- and 8-node quadrilaterals, then the solids from the 4-node tetrahedron to
// the 20-node hexahedron). The two numberings run in different orders.
inline constexpr std::array<int, kVRMLElementKindCount> kVRMLKindOfMeshType{0, 9, 1, 8, 7, 6, 5, 4, 3, 2};

// The host's mesh types 0 to 3 are shells, 4 to 9 solids. A 3D part's connectivity lists hold
// the solid types only, so its list for mesh type t is entry t - kVRMLFirstSolidMeshType.
inline constexpr int kVRMLFirstSolidMeshType = 4;

constexpr bool isVRMLShellMeshType(int meshType) { return meshType < kVRMLFirstSolidMeshType; }

// The polygons one element of a host mesh type adds to its face set, and so how many times its
// colour repeats in a per-face colour list.
constexpr int facesPerElementOfMeshType(int meshType) {
    return kVRMLElementKinds[kVRMLKindOfMeshType[meshType]].facesPerElement();
}

