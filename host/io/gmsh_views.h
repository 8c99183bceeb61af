// Gmsh's post-processing views as the host's results: frames and their times, contour fields,
// the deformation of each frame and the frames elements fail at.
#pragma once

#include "gmsh_mesh.h"
#include "model_reader.h"
#include "scene.h"

#include <vector>

namespace host::io {

struct GmshResults {
    std::vector<float> times;  // one per frame; at least one
    std::vector<Field> fields;
    std::vector<std::vector<float>> frameCoordinates;  // per frame, x y z per model node; empty: none move
    std::vector<int> failFrames;  // per host element (order of per-element values); empty: none fail
};

// Reads the views of Gmsh's current model, laid onto `mesh`'s parts. Frame k shows step k of
// every view (the last step of a view that has fewer); options.displacementField and
// options.failedField say which views deform the model and fail elements (field_roles.h); views Gmsh cannot give as data on the mesh,
// or whose values the host cannot show, are left out with a note, as are values a view lacks.
GmshResults readGmshViews(const GmshMesh& mesh, const ReadOptions& options, ReadNotes& notes);

}  // namespace host::io
