// Exodus II files (netCDF classic or HDF5) through vtkExodusIIReader: element blocks as parts,
// every nodal and element variable, the file's time steps.
#include "vtk_series.h"

#include <vtkExodusIIReader.h>

namespace host::io {
namespace {

// A file cut short reads without an error: the steps past its end come back at time 0. Their
// times tell them, where the header declares more steps than the file holds.
void checkTimesHeld(const std::vector<double>& times) {
    for (std::size_t step = 1; step < times.size(); ++step)
        if (times[step] == 0.0 && times[step - 1] > 0.0)
            throw ModelReadError("is cut short: its header declares " + std::to_string(times.size()) +
                                 " time steps, but those from step " + std::to_string(step + 1) +
                                 " on hold nothing (their times read as 0)");
}

}  // namespace

VtkSeries openExodus(const std::filesystem::path& path, VtkMessages& messages) {
    auto reader = vtkSmartPointer<vtkExodusIIReader>::New();
    reader->SetFileName(path.c_str());
    reader->UpdateInformation();
    throwOnVtkErrors(messages, "vtkExodusIIReader");
    // The nodes stay where the mesh has them; the host moves them by the displacement it finds.
    reader->ApplyDisplacementsOff();
    reader->GenerateObjectIdCellArrayOff();
    reader->GenerateGlobalElementIdArrayOff();
    reader->GenerateGlobalNodeIdArrayOn();
    reader->SetAllArrayStatus(vtkExodusIIReader::NODAL, 1);
    reader->SetAllArrayStatus(vtkExodusIIReader::ELEM_BLOCK, 1);
    VtkSeries series = pipelineSeries(reader, "vtkExodusIIReader", messages);
    checkTimesHeld(series.times);
    return series;
}

}  // namespace host::io
