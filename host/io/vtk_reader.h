// The VTK reader family: result files of the solvers' own formats through VTK's readers.
#pragma once

#include "file_format.h"
#include "model_reader.h"

namespace host::io {

// readModel for a file that goes to one of VTK's readers (`family` says which).
ModelStr& readVtkModel(const std::filesystem::path& path, ReaderFamily family, ReadNotes& notes, const ReadOptions& options);

}  // namespace host::io
