// The element kinds that the writer turns into indexed face sets: how many nodes an element has,
// which polygons bound it and how its face list is laid out in the file. The faces themselves
// come from the element face table below both the plug-in and the host (mesh_faces.h); the
// writer adds its own numbering of kinds and the layout of each kind's face list.
//
// Standard library only, and public: programs that write what the plug-in writes read it too.
#pragma once

#include "mesh_faces.h"

#include <array>
#include <span>

using ZVRMLFace = mesh_faces::Face;

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

inline constexpr int kVRMLElementKindCount = 10;

// The writer's kind for each of the host's mesh types (indexed by the host's type number: 3- and
// 6-node triangles, 4- and 8-node quadrilaterals, then the solids from the 4-node tetrahedron to
// the 20-node hexahedron). The two numberings run in different orders.
inline constexpr std::array<int, kVRMLElementKindCount> kVRMLKindOfMeshType{0, 9, 1, 8, 7, 6, 5, 4, 3, 2};

namespace zvrml_detail {
constexpr ZVRMLElementKind kindOfMeshType(int meshType, const char* name, ZVRMLFaceLayout layout) {
    const mesh_faces::ElementFaces& element = mesh_faces::kElementFaces[meshType];
    return {name, element.nodesPerElement, element.faces, element.boundaryFaceCount, layout};
}
}  // namespace zvrml_detail

// Indexed by the writer's kind code; each row names the host's mesh type it writes.
inline constexpr std::array<ZVRMLElementKind, kVRMLElementKindCount> kVRMLElementKinds{{
    zvrml_detail::kindOfMeshType(0, "3-node triangle", ZVRMLFaceLayout::ElementPerLine),
    zvrml_detail::kindOfMeshType(2, "4-node quadrilateral", ZVRMLFaceLayout::ElementPerLine),
    zvrml_detail::kindOfMeshType(9, "20-node hexahedron", ZVRMLFaceLayout::FacePerLine),
    zvrml_detail::kindOfMeshType(8, "8-node hexahedron", ZVRMLFaceLayout::FacePerLine),
    zvrml_detail::kindOfMeshType(7, "15-node pentahedron", ZVRMLFaceLayout::FacePerLineIndented),
    zvrml_detail::kindOfMeshType(6, "6-node pentahedron", ZVRMLFaceLayout::FacePerLineIndented),
    zvrml_detail::kindOfMeshType(5, "10-node tetrahedron", ZVRMLFaceLayout::FacePerLineIndented),
    zvrml_detail::kindOfMeshType(4, "4-node tetrahedron", ZVRMLFaceLayout::FacePerLineIndented),
    zvrml_detail::kindOfMeshType(3, "8-node quadrilateral", ZVRMLFaceLayout::ElementPerLine),
    zvrml_detail::kindOfMeshType(1, "6-node triangle", ZVRMLFaceLayout::ElementPerLine),
}};

// Each kind row is the mesh type that kVRMLKindOfMeshType sends to it.
static_assert([] {
    for (int meshType = 0; meshType < kVRMLElementKindCount; ++meshType)
        if (kVRMLElementKinds[kVRMLKindOfMeshType[meshType]].nodesPerElement !=
            mesh_faces::kElementFaces[meshType].nodesPerElement)
            return false;
    return true;
}());

constexpr bool isVRMLElementKind(int kind) { return kind >= 0 && kind < kVRMLElementKindCount; }

// The host's mesh types 0 to 3 are shells, 4 to 9 solids. A 3D part's connectivity lists hold
// the solid types only, so its list for mesh type t is entry t - kVRMLFirstSolidMeshType.
inline constexpr int kVRMLFirstSolidMeshType = 4;

constexpr bool isVRMLShellMeshType(int meshType) { return meshType < kVRMLFirstSolidMeshType; }

// The polygons one element of a host mesh type adds to its face set, and so how many times its
// colour repeats in a per-face colour list.
constexpr int facesPerElementOfMeshType(int meshType) {
    return kVRMLElementKinds[kVRMLKindOfMeshType[meshType]].facesPerElement();
}

