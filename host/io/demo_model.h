// A model made in code that shows everything an export can hold: shells of 3- and 4-node
// elements, a solid part of hexahedra, pentahedra and tetrahedra, a quadratic solid part, a
// one-dimensional part, a deformation over many frames, a per-element and a per-node field,
// and elements that fail one after another.
#pragma once

#include "scene.h"

namespace host::io {

inline constexpr const char* kDemoModelTitle = "Sceneport demo";

// Adds the demo model to the session and returns it.
ModelStr& buildDemoModel();

}  // namespace host::io
