// LS-DYNA d3plot families through vtkLSDynaReader: parts, every state with its deformed
// coordinates, node and element results, and the elements each state has deleted.
#include "vtk_series.h"

#include <vtkLSDynaReader.h>

namespace host::io {

VtkSeries openLsDyna(const std::filesystem::path& path, VtkMessages& messages) {
    auto reader = vtkSmartPointer<vtkLSDynaReader>::New();
    reader->SetFileName(path.c_str());
    reader->DeformedMeshOn();
    // Deleted elements stay, marked as hidden ghosts: the host fails them at the state they go.
    reader->RemoveDeletedCellsOff();
    reader->DeletedCellsAsGhostArrayOn();
    VtkSeries series = pipelineSeries(reader, "vtkLSDynaReader", messages);
    series.deformedCoordinates = true;
    series.deletionsAsGhosts = true;
    return series;
}

}  // namespace host::io
