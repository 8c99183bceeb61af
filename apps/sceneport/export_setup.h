// The host state an export starts from, as the command line asks for it: the parts flagged,
// the deformation scale, the camera, the window's contour display and spectrum, the frame shown.
#pragma once

#include "command_line.h"
#include "scene.h"

#include <string>

namespace sceneport {

// Checks the options against the model (field and part names, frame number) and prepares the
// host; returns the window to export. Throws UsageError naming what is wrong and what is there.
WindowStr& prepareHost(ModelStr& model, const ExportOptions& options);

// The names a user may give to --parts or --contour, for error messages.
std::string partNames(const ModelStr& model);
std::string fieldNames(const ModelStr& model);

}  // namespace sceneport
