// Legacy VTK files ("# vtk DataFile", any dataset type) through vtkGenericDataObjectReader, with
// every array they hold: one frame.
#include "vtk_series.h"

#include <vtkGenericDataObjectReader.h>

namespace host::io {

VtkSeries openVtkLegacy(const std::filesystem::path& path, VtkMessages& messages) {
    auto reader = vtkSmartPointer<vtkGenericDataObjectReader>::New();
    reader->SetFileName(path.c_str());
    // By default the reader keeps only the first array of each kind.
    reader->ReadAllScalarsOn();
    reader->ReadAllVectorsOn();
    reader->ReadAllNormalsOn();
    reader->ReadAllTensorsOn();
    reader->ReadAllFieldsOn();
    reader->ReadAllTCoordsOn();
    reader->ReadAllColorScalarsOn();
    return pipelineSeries(reader, "vtkGenericDataObjectReader", messages);
}

}  // namespace host::io
