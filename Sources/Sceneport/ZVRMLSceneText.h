// Text of the written scenes that a host application relies on, known here and nowhere else.
// Standard library only, and public: the sceneport command and the model readers take these from
// here rather than keeping copies.
#pragma once

#include <array>
#include <string_view>

// The names the writer gives nodes of its own. A part of one of these names would stand in for
// the writer's node in the USE and ROUTE statements after it (a part named "global_coords" makes
// every later face set use a Transform as its coordinates), so part names must avoid them.
inline constexpr std::array<std::string_view, 13> kVRMLWriterNodeNames{
    "Global_model", "global_coords", "texVals", "pixmap", "ZE_Coord_Color", "SpectrumCoords", "ss",
    "Spectrum", "Quads", "prox", "ts", "ci", "_"};

// The last line of every complete scene (the legend's last route): a file that does not end with
// it was cut short.
inline constexpr std::string_view kVRMLSceneLastLine = "ROUTE prox.orientation_changed TO Spectrum.rotation";
// The last line of a scene with a coordinate animation after it.
inline constexpr std::string_view kVRMLAnimationLastLine = "ROUTE ci.value_changed TO global_coords.set_point";

// The prompt line shown as each file is started: the first text, the file's name, the second.
inline constexpr std::string_view kVRMLExportingPrompt = "Exporting ";
inline constexpr std::string_view kVRMLExportingPromptEnd = "...";
