// The model a command works on: a file read through the host's readers, or the demo model.
#pragma once

#include "command_line.h"
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

// Throws host::io::ModelReadError when the file cannot be read, and UsageError when `roles` names
// a field the file does not have in that role (the message lists the fields it has) or names
// fields of the demo model, whose roles are fixed.
LoadedModel loadModel(const std::optional<std::string>& path, const FieldRoles& roles = {});

// The model's fields for a message: "Temperature" (1 component per node), ...; "none" without.
std::string fieldList(const ModelStr& model, const host::io::ReadNotes& notes);

}  // namespace sceneport
