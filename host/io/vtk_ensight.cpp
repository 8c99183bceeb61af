// EnSight Gold (and EnSight 6) case files through vtkGenericEnSightReader: parts, every variable,
// the case's time steps.
#include "vtk_series.h"

#include <vtkGenericEnSightReader.h>

namespace host::io {

VtkSeries openEnSight(const std::filesystem::path& path, VtkMessages& messages) {
    auto reader = vtkSmartPointer<vtkGenericEnSightReader>::New();
    reader->SetCaseFileName(path.c_str());
    return pipelineSeries(reader, "vtkGenericEnSightReader", messages);
}

}  // namespace host::io
