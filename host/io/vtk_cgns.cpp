// CGNS files (HDF5) through vtkCGNSReader: zones as parts, cell and point solutions, time steps.
#include "vtk_series.h"

#include <vtkCGNSReader.h>

namespace host::io {

VtkSeries openCgns(const std::filesystem::path& path, VtkMessages& messages) {
    auto reader = vtkSmartPointer<vtkCGNSReader>::New();
    reader->SetFileName(path.c_str());
    reader->UpdateInformation();
    throwOnVtkErrors(messages, "vtkCGNSReader");
    reader->EnableAllCellArrays();
    reader->EnableAllPointArrays();
    return pipelineSeries(reader, "vtkCGNSReader", messages);
}

}  // namespace host::io
