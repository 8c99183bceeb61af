// Reading finite-element models and results from files into the host's scene. The file's content
// picks the reader (file_format.h): VTK's readers for the solvers' result formats (Exodus II, VTK
// XML and legacy, EnSight, LS-DYNA d3plot, CGNS; vtk_reader.h), Gmsh's library for MSH with its
// post-processing views and the mesh formats Gmsh reads (gmsh_reader.h). docs/models.md has the
// rules.
#pragma once

#include "scene.h"

#include <filesystem>
#include <map>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace host::io {

// A model that cannot be read: the message names the file and, where known, what is wrong and
// where ("beam.msh: Gmsh cannot read it: ...").
class ModelReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What loading changed or left out, one line each, for the user to see (element types that no
// host type holds, part names made fit for node names, values that could not be used).
struct ReadNotes {
    std::vector<std::string> lines;
    std::string deformedBy;    // the field that moves the nodes, or empty
    std::string failuresFrom;  // what fails elements (a field's name, the file's deletions), or empty
    std::map<std::string, int> fieldComponents;  // per field read, deforming or failing: its components
};

// The largest coordinate the reader hands over, in magnitude. The plug-in sums coordinates in
// single precision to find a model's centre, so much larger ones would make it infinite; the
// reader treats a coordinate beyond this as it treats one that is not finite.
inline constexpr float kLargestCoordinate = 1e30f;

// What the caller asks of a read.
struct ReadOptions {
    // Names no part may take: the names the scene writer gives nodes of its own.
    std::span<const std::string_view> reservedNames;
    // The node vector field that moves the nodes: empty, found under the usual names
    // (field_roles.h); "none", no field does.
    std::string displacementField;
    // The field whose non-zero values fail elements: empty, an element field named failed,
    // deleted or erosion.
    std::string failedField;
};

// Reads the model file at `path` into a new model of the session and returns it, through the
// reader its content picks. The model always has a result object with at least one frame; from
// a file Gmsh reads (docs/models.md says the same of VTK's readers):
// - parts: one per physical group (per dimension when a group mixes dimensions), else one per
//   elementary entity; curves give one-dimensional parts;
// - frames and times: from the views' time steps (one frame at time 0 without views);
// - a three-component node view under a displacement name (field_roles.h) moves the nodes of
//   each frame; an element view named failed, deleted or erosion (any case) fails elements at
//   the first step where it is non-zero; every other view becomes a field.
// Numbers that are not finite (NaN, infinite, beyond a float's range) and coordinates beyond
// kLargestCoordinate are replaced, with a note (gmsh_finite_values.h says by what).
// Throws ModelReadError for a file that is missing, unreadable or rejected, for one that starts
// like no format read (naming what it looks like), and for a file Gmsh would run as a script
// rather than read as data.
ModelStr& readModel(const std::filesystem::path& path, ReadNotes& notes, const ReadOptions& options = {});

}  // namespace host::io
