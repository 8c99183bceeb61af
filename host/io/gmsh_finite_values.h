// Gmsh reads "nan" and "inf" from ASCII files and any bit pattern from binary ones, and a number
// beyond a float's range becomes infinite when the host takes it as a float. The host never hands
// the plug-in a number that is not finite: the reader replaces each one as below and says once,
// with a count, what it replaced.
#pragma once

#include "gmsh_mesh.h"
#include "gmsh_views.h"
#include "model_reader.h"

namespace host::io {

// Node positions of the mesh's parts: an axis whose coordinate is not finite (as a float) or
// beyond kLargestCoordinate takes the mean of the parts' other coordinates on that axis, 0 when
// there is none.
void replaceNonFiniteCoordinates(GmshMesh& mesh, ReadNotes& notes);

// The views' numbers, laid onto `mesh` (whose coordinates are finite):
// - a node whose position at a frame is not finite or beyond kLargestCoordinate stays at its
//   reference position there;
// - a field value of +infinity (or beyond a float's range) becomes the largest finite value of
//   the field at that frame, -infinity and NaN the smallest (the field's finite range over all
//   frames when the frame has none, 0 when the field has none), so that the frame's range stays
//   that of the values given and NaN sits at the bottom of the scale;
// - a frame time that is not finite becomes the time of the frame before (0 for the first).
void replaceNonFiniteResults(const GmshMesh& mesh, GmshResults& results, ReadNotes& notes);

}  // namespace host::io
