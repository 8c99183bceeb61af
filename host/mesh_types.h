// The host's element types: one table that the host, the readers and the tests all read.
#pragma once

#include "hostmodel.h"
#include "mesh_faces.h"

#include <array>
#include <span>

namespace host {

struct MeshTypeInfo {
    _FePartMeshType type;
    const char* name;
    int nodesPerElement;
    int cornerNodes;  // solids list their corners first; quadratic shells go round corner, mid-side
    int dimension;    // 2 for shells, 3 for solids
};

inline constexpr std::array<MeshTypeInfo, FE_MESH_TYPE_COUNT> kMeshTypes{{
    {FE_MESH_TRIA3, "3-node triangle", 3, 3, 2},
    {FE_MESH_TRIA6, "6-node triangle", 6, 3, 2},
    {FE_MESH_QUAD4, "4-node quadrilateral", 4, 4, 2},
    {FE_MESH_QUAD8, "8-node quadrilateral", 8, 4, 2},
    {FE_MESH_TETRA4, "4-node tetrahedron", 4, 4, 3},
    {FE_MESH_TETRA10, "10-node tetrahedron", 10, 4, 3},
    {FE_MESH_PENTA6, "6-node pentahedron", 6, 6, 3},
    {FE_MESH_PENTA15, "15-node pentahedron", 15, 6, 3},
    {FE_MESH_HEXA8, "8-node hexahedron", 8, 8, 3},
    {FE_MESH_HEXA20, "20-node hexahedron", 20, 8, 3},
}};

// The nodes-per-element column on its own, for FePartMeshDataStr.
inline constexpr std::array<int, FE_MESH_TYPE_COUNT> kNodesPerElement = [] {
    std::array<int, FE_MESH_TYPE_COUNT> counts{};
    for (const MeshTypeInfo& info : kMeshTypes) counts[info.type] = info.nodesPerElement;
    return counts;
}();

constexpr bool isSolid(int meshType) { return meshType >= FE_MESH_FIRST_SOLID; }

// The bounding faces of each mesh type (empty for shells), each ordered so that its normal points
// out of the element: the same faces the plug-in writes for the type's solids.
inline constexpr std::array<std::span<const mesh_faces::Face>, FE_MESH_TYPE_COUNT> kSolidFaces = [] {
    std::array<std::span<const mesh_faces::Face>, FE_MESH_TYPE_COUNT> faces{};
    for (int type = FE_MESH_FIRST_SOLID; type < FE_MESH_TYPE_COUNT; ++type)
        faces[type] = mesh_faces::kElementFaces[type].boundary();
    return faces;
}();

// Both tables describe the same elements.
static_assert([] {
    for (const MeshTypeInfo& info : kMeshTypes)
        if (mesh_faces::kElementFaces[info.type].nodesPerElement != info.nodesPerElement) return false;
    return true;
}());

}  // namespace host
