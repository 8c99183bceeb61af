// A model made in code that shows everything an export can hold: shells of 3- and 4-node
// elements, a solid part of hexahedra, pentahedra and tetrahedra, a quadratic solid part, a
// one-dimensional part, a deformation over many frames, a per-element and a per-node field,
// and elements that fail one after another.
//
// The structure: a plate ("Base_plate", quadrilaterals and a strip of triangles) clamped in a
// "Block" (hexahedra under a roof of pentahedra with tetrahedra at its ends), a flange along the
// plate's back edge ("Stiffener"), and near its free end a "Bracket" of 20-node hexahedra and
// 15-node pentahedra carrying an "Antenna" of line elements, which exports leave out (and so
// return 2: the bracket follows the antenna). Over 24 frames the plate, sagging under its
// own weight at first, is shaken harder and harder: it bends and twists, the antenna sways, and
// a crack runs in from the plate's front edge near the clamp, one element per frame, stopping
// short of the flange. Fields: "Displacement magnitude" per node, "Effective stress" per element
// (none in failed elements). Coordinates are laid out for the exporter's viewpoint, which then
// sees the structure from above and in front.
#pragma once

#include "scene.h"

namespace host {

inline constexpr const char* kDemoModelTitle = "Sceneport demo";

// Adds the demo model to the session and returns it. Everything in it is deterministic.
ModelStr& buildDemoModel();

}  // namespace host
