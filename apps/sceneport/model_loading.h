// The model a command works on: a file read through the host's readers, or the demo model.
#pragma once

#include "io/model_reader.h"
#include "scene.h"

#include <optional>
#include <string>

namespace sceneport {

struct LoadedModel {
    ModelStr* model;
    std::string shownName;       // the file as the user named it, or "the demo model"
    std::string defaultOutput;   // the model's name with .wrl, in the working directory
    host::io::ReadNotes notes;   // what loading changed or left out
};

// Throws host::io::ModelReadError when the file cannot be read.
LoadedModel loadModel(const std::optional<std::string>& path);

}  // namespace sceneport
