// The many-frames case's model, as a result file a solver leaves: the benchmark's box of
// n × n × n hexahedra with `frames` time steps of a node displacement and a node field, written
// by Gmsh as binary MSH 4.1, the form the command reads fastest.
#pragma once

#include <filesystem>

namespace bench {

// Writes the file; throws std::runtime_error when Gmsh reports an error.
void writeFramesModelFile(const std::filesystem::path& file, int size, int frames);

}  // namespace bench
