// The Gmsh reader family: MSH files with their views and the other mesh formats Gmsh reads.
#pragma once

#include "gmsh_mesh.h"
#include "gmsh_views.h"
#include "model_reader.h"

namespace host::io {

// readModel for a file that goes to Gmsh (model_reader.h says what it reads).
ModelStr& readGmshModel(const std::filesystem::path& path, ReadNotes& notes, const ReadOptions& options);

// A new model of the session from a mesh and its results, in the form the readers share.
ModelStr& buildModel(std::string title, const GmshMesh& mesh, GmshResults results);

}  // namespace host::io
