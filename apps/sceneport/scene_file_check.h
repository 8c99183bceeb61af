// Whether a scene file was written to its end: a full disk or a killed run leaves it short.
#pragma once

#include <filesystem>
#include <string_view>

namespace sceneport {

// True when `file` can be read and its text ends with `lastLine` (the plug-in's
// kVRMLSceneLastLine or kVRMLAnimationLastLine).
bool endsWithLine(const std::filesystem::path& file, std::string_view lastLine);

}  // namespace sceneport
