// readModel: the file's content picks its reader family (file_format.h).
#include "model_reader.h"

#include "file_format.h"
#include "gmsh_reader.h"
#include "vtk_reader.h"

namespace host::io {

ModelStr& readModel(const std::filesystem::path& path, ReadNotes& notes, const ReadOptions& options) {
    const FileFormat& format = fileFormatOf(path);
    if (format.reader == ReaderFamily::Gmsh) return readGmshModel(path, notes, options);
    return readVtkModel(path, format.reader, notes, options);
}

}  // namespace host::io
