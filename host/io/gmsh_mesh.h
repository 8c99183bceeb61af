// Gmsh's mesh as the host's parts: the elements each part gets, in the host's node order, and
// where each of its nodes and elements comes from in Gmsh, so that views can be laid onto them.
#pragma once

#include "gmsh_element_types.h"
#include "model_reader.h"

#include <array>
#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

namespace host::io {

// A host element's Gmsh element: its tag and the table row of its type.
struct ElementSource {
    std::size_t tag;
    const GmshElementType* type;
};

// A part's element lists: one per host mesh type, then its 2-node lines, which is the order of
// the host's per-element values.
inline constexpr int kLineList = FE_MESH_TYPE_COUNT;
inline constexpr int kElementListCount = FE_MESH_TYPE_COUNT + 1;

struct ElementList {
    std::vector<int> nodes;              // part-local node numbers, in the host's node order
    std::vector<ElementSource> sources;  // one per element
};

struct MeshPart {
    std::string name;        // as the scene shows it
    std::string sourceName;  // the name before it was made fit for a scene; empty if unchanged
    std::vector<int> nodes;  // per part-local node, its index in GmshMesh's node list
    std::array<ElementList, kElementListCount> elements;
};

struct GmshMesh {
    std::vector<std::size_t> nodeTags;
    std::vector<double> coordinates;  // x, y, z per node
    std::unordered_map<std::size_t, int> nodeIndex;  // Gmsh node tag -> position in nodeTags
    std::vector<MeshPart> parts;
};

// Reads the mesh of Gmsh's current model: one part per physical group (per dimension), or per
// elementary entity when there are none. What it leaves out (points, element types the host has
// no type for, empty parts) and the names it changes go to `notes`.
GmshMesh readGmshMesh(ReadNotes& notes, std::span<const std::string_view> reservedNames);

}  // namespace host::io
