// The page `sceneport export --html` writes beside the scenes: every frame with --all-frames, the
// one frame otherwise, the animation with --animate.
#pragma once

#include "command_line.h"
#include "scene.h"

#include <string>
#include <vector>

namespace sceneport {

// The page for `output` (its name with .html for .wrl) showing the scene files `written`, in the
// order the export wrote them. Returns the exit status: the page failing is reported on stderr.
int writeExportPage(const ExportOptions& options, const ModelStr& model, const WindowStr& window,
                    const std::string& output, const std::vector<std::string>& written);

}  // namespace sceneport
