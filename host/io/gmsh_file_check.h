// What a file must be before Gmsh sees it.
#pragma once

#include <filesystem>

namespace host::io {

// Throws ModelReadError unless Gmsh will read the file at `path` as data and, for an MSH file,
// unless it is cut short (it does not end with a section's end). The file is one fileFormatOf
// found regular, non-empty and readable. Gmsh runs any other file as a script of its .geo language, which can run
// shell commands: a model file must not. Gmsh reads a file as data when it starts as an MSH
// file does, or when its extension names another mesh format Gmsh reads.
void checkModelFile(const std::filesystem::path& path);

}  // namespace host::io
