// The host's element types: one table that the host, the readers and the tests all read.
#pragma once

#include "hostmodel.h"

#include <array>
#include <span>

namespace host {

struct MeshTypeInfo {
    _FePartMeshType type;
    const char* name;
    int nodesPerElement;
    int cornerNodes;  // corners come first in the host's node order
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

// The bounding faces of a solid, by corner positions in the element's node list, each ordered so
// that its normal points out of the element. A triangle repeats its last corner.
struct SolidFace {
    int corners;
    std::array<int, 4> node;
};

// Faces of the linear solid shapes; the quadratic types share their linear type's corners.
inline constexpr std::array<SolidFace, 4> kTetraFaces{{
    {3, {0, 2, 1, 1}}, {3, {1, 2, 3, 3}}, {3, {0, 1, 3, 3}}, {3, {0, 3, 2, 2}}}};
inline constexpr std::array<SolidFace, 5> kPentaFaces{{
    {3, {0, 1, 4, 4}}, {3, {2, 3, 5, 5}}, {4, {0, 4, 5, 3}}, {4, {1, 2, 5, 4}}, {4, {0, 3, 2, 1}}}};
inline constexpr std::array<SolidFace, 6> kHexaFaces{{
    {4, {0, 3, 2, 1}}, {4, {4, 5, 6, 7}}, {4, {2, 3, 7, 6}},
    {4, {0, 1, 5, 4}}, {4, {1, 2, 6, 5}}, {4, {0, 4, 7, 3}}}};

// The bounding faces of each mesh type, by _FePartMeshType (empty for shells).
inline constexpr std::array<std::span<const SolidFace>, FE_MESH_TYPE_COUNT> kSolidFaces{{
    {}, {}, {}, {}, kTetraFaces, kTetraFaces, kPentaFaces, kPentaFaces, kHexaFaces, kHexaFaces}};

}  // namespace host
