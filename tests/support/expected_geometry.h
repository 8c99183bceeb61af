// What an independent reader must find in a kept scene, counted from the model the scene was
// exported from rather than from the file: the checks in tests/conformance compare the two.
#pragma once

#include "scene.h"

#include <span>
#include <string>

namespace testing_support {

struct ExpectedGeometry {
    long points = 0;              // the one shared coordinate list: every node of the model
    long polygons = 0;            // all faces of the model's shapes (the legend's not counted)
    long textureCoordinates = 0;  // the one shared list of contour values as texture coordinates
};

enum class ContourTexture { None, PerNode };

// What an export of `model` at frame `frameIndex` holds: every node of the model; for each two-
// or three-dimensional part (those named in `parts`, when any are) the faces its elements have in
// the element table, less the elements failed at that frame and the shell elements of solid
// parts; with per-node contours one texture coordinate per node.
ExpectedGeometry exportedGeometry(const ModelStr& model, int frameIndex, ContourTexture texture,
                                  std::span<const std::string> parts = {});

}  // namespace testing_support
