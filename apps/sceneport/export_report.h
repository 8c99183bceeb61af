// What an export tells the user when it ends, and the tidying that goes with it; shared by the
// export in one process and the export of frames in several.
#pragma once

#include "scene.h"

#include <string>
#include <string_view>

namespace sceneport {

// Why `file` cannot be written, in the user's terms.
std::string whyNotWritable(const std::string& file);

// Removes `file` when it is there and does not end with `lastLine`: a file the run began but did
// not finish must not look like a scene.
void removeUnfinished(const std::string& file, std::string_view lastLine);

// The one-dimensional parts a scene leaves out, on stdout; nothing when there are none.
void reportLeftOutParts(const ModelStr& model);

}  // namespace sceneport
