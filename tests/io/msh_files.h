// Model files for the reader's tests, made with Gmsh's API as any program that uses Gmsh makes
// them, in the process's one Gmsh (started as the reader starts it).
#pragma once

#include "msh_geometry.h"

#include <array>
#include <cstddef>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace msh_files {

struct MshFormat {
    const char* name;
    double version;
    bool binary;
};

inline void PrintTo(const MshFormat& format, std::ostream* out) { *out << format.name; }

inline constexpr std::array<MshFormat, 4> kMshFormats{{
    {"Msh2Ascii", 2.2, false},
    {"Msh2Binary", 2.2, true},
    {"Msh4Ascii", 4.1, false},
    {"Msh4Binary", 4.1, true},
}};

// Empties Gmsh and adds a model to fill; returns its name, which views refer to.
std::string newGmshModel();

// Gmsh's reference element of a type: its name, dimension, node positions (unused axes 0) and
// how many of its nodes are corners (they come first).
struct ReferenceElement {
    std::string name;
    int dimension;
    std::vector<msh_geometry::Point> nodes;
    int corners;
};
ReferenceElement referenceElement(int gmshType);

// Adds one element of `gmshType` to the entity (`dimension`, `entity`) with nodes of its own,
// tagged from `firstNode` on, at the reference positions moved `shift` along x. Returns the
// first node tag after them.
std::size_t addReferenceElement(int dimension, int entity, int gmshType, std::size_t elementTag,
                                std::size_t firstNode, double shift);

// A physical group over `entities`, named unless `name` is empty.
void addGroup(int dimension, const std::vector<int>& entities, const std::string& name, int tag = -1);

// Writes Gmsh's current model to `file` in the format its extension names; an MSH file in
// `format`, with every view appended.
void writeGmshFile(const std::filesystem::path& file, const MshFormat& format = kMshFormats[2]);

}  // namespace msh_files
