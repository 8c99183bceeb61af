// Whether a scene file was written to its end: a full disk or a killed run leaves it short.
#pragma once

#include <filesystem>
#include <string_view>

namespace sceneport {

// The last line of every complete scene: the legend's last route.
inline constexpr std::string_view kSceneLastLine = "ROUTE prox.orientation_changed TO Spectrum.rotation";
// The last line of a scene with a coordinate animation after it.
inline constexpr std::string_view kAnimationLastLine = "ROUTE ci.value_changed TO global_coords.set_point";

// True when `file` can be read and its text ends with `lastLine`.
bool endsWithLine(const std::filesystem::path& file, std::string_view lastLine);

}  // namespace sceneport
