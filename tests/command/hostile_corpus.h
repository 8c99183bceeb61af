// The hostile-input corpus: damaged and unusual model files, made by the tests themselves (no
// binary files in the repository), and the checks every file the command leaves must pass.
#pragma once

#include "msh_files.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace hostile_corpus {

// `msh2Text`, an MSH 2 ASCII model written by hand, in `format`: as it is for MSH 2 ASCII, as
// Gmsh writes it for the others (`scratch` holds the files Gmsh reads and writes).
std::string inMshFormat(std::string_view msh2Text, const msh_files::MshFormat& format,
                        const std::filesystem::path& scratch);

// `count` bytes of a fixed pseudo-random sequence: the same corpus on every run.
std::string randomBytes(std::size_t count, unsigned seed);

// The scene files (.wrl) in `directory`.
std::vector<std::filesystem::path> scenesIn(const std::filesystem::path& directory);

// Checks a scene the command left: it ends with the legend's last line and holds no number that
// is not finite ("nan", "inf", "-inf", "infinity" in any case).
void expectCompleteAndFinite(const std::filesystem::path& scene);

// The node names a scene defines for its parts' transforms ("DEF <name> Transform" inside the
// global model, before the sphere sensor).
std::vector<std::string> partTransformNames(const std::string& scene);

}  // namespace hostile_corpus
