// The directions a model can be seen from, as camera matrices of the host.
#pragma once

#include "scene.h"

#include <array>
#include <string>
#include <string_view>

namespace sceneport {

struct ViewPreset {
    const char* name;
    std::array<double, 3> towardViewer;  // from the model to the viewer, in model axes
    std::array<double, 3> up;            // the model direction that appears upwards
};

const ViewPreset* findViewPreset(std::string_view name);
std::string viewPresetNames(std::string_view separator = ", ");

// The host camera matrix that shows the model from `preset`, turned about `center` (so the
// viewpoint, which looks at the model's centre, still finds it). Rows 0-2 hold the rotation
// that takes model axes to view axes (the viewer looks along -z, y up); row 3 the translation.
host::Matrix4 cameraMatrix(const ViewPreset& preset, const std::array<double, 3>& center);

}  // namespace sceneport
