// Model files for the readers' and the command's tests, made with Gmsh's API in the process's
// one Gmsh (started as the reader starts it) and written in any MSH form Gmsh writes.
#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace model_file {

struct Format {
    const char* name;
    double version;
    bool binary;
};
inline void PrintTo(const Format& format, std::ostream* out) { *out << format.name; }
inline constexpr std::array<Format, 4> kFormats{
    {{"Msh2Ascii", 2.2, false}, {"Msh2Binary", 2.2, true}, {"Msh4Ascii", 4.1, false}, {"Msh4Binary", 4.1, true}}};

using Point = std::array<double, 3>;

// Gmsh's reference element of a type: name, dimension, node positions (unused axes 0) and how
// many of its nodes are corners (they come first).
struct ReferenceElement {
    std::string name;
    int dimension = 0;
    std::vector<Point> nodes;
    int corners = 0;
};
ReferenceElement referenceElement(int gmshType);

// Empties Gmsh and starts a model; node and element tags start again at 1.
void start();
// Adds nodes at `xyz` (x, y, z per node) to the entity; returns the first node's tag.
std::size_t addNodes(int dimension, int entity, const std::vector<double>& xyz);
// Adds elements of `gmshType` over node tags to the entity (made when 0); returns the entity.
int addElements(int dimension, int gmshType, const std::vector<std::size_t>& nodes, int entity = 0);
// One element of `gmshType` on nodes of its own at the reference positions moved `shift` along x.
int addReferenceElement(int gmshType, double shift, int entity = 0);
// A physical group over `entities`, named unless `name` is empty.
void group(int dimension, const std::vector<int>& entities, const std::string& name, int tag = -1);
// A view over every node (NodeData) or element (ElementData, ElementNodeData) tag up to `lastTag`;
// `value` gives a tag's values at a step, none to leave it out.
void view(const std::string& name, const std::string& kind, const std::vector<double>& times, std::size_t lastTag,
          const std::function<std::vector<double>(std::size_t tag, int step)>& value);
// Writes the model with its views to `file` in the form its extension and `format` name.
std::filesystem::path write(const std::filesystem::path& file, const Format& format = kFormats[2]);

// A unit cube meshed by Gmsh in tetrahedra of `order` (none of its surfaces or curves kept), split
// into `partitions` (0: not partitioned), with "Position" per node: x + 10 y + 100 z. Returns how
// many tetrahedra it has.
std::size_t meshedCube(const std::filesystem::path& file, int order, int partitions, const Format& format);

// A plate "Plate" (one quadrilateral), a skin "Top skin" (two triangles) and a rod "Rod" (a
// line); "Temperature" per node over three steps (times 0, 0.5, 1), "Stress" per element.
std::filesystem::path plateAndRod(const std::filesystem::path& file, const Format& format = kFormats[0]);

}  // namespace model_file
