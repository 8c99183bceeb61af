// Exodus II files (netCDF classic or HDF5) through vtkExodusIIReader: element blocks as parts,
// every nodal and element variable, the file's time steps.
#include "vtk_series.h"

#include <vtkExodusIIReader.h>

#include <netcdf.h>

#include <array>

namespace host::io {
namespace {

struct NetcdfFile {
    int id = -1;
    ~NetcdfFile() {
        if (id >= 0) nc_close(id);
    }
};

// A netCDF classic file keeps its time steps as records of one size at its end, after the fixed
// variables; its header counts the records. A file smaller than the fixed variables and the
// records it counts is cut short. (HDF5 files have no such layout; VTK's reader judges them.)
void checkRecordsHeld(const std::filesystem::path& path) {
    NetcdfFile file;
    int format = 0, unlimited = -1, variables = 0;
    if (nc_open(path.c_str(), NC_NOWRITE, &file.id) != NC_NOERR) return;  // VTK's reader says why
    if (nc_inq_format(file.id, &format) != NC_NOERR || format == NC_FORMAT_NETCDF4 ||
        format == NC_FORMAT_NETCDF4_CLASSIC || nc_inq_unlimdim(file.id, &unlimited) != NC_NOERR || unlimited < 0 ||
        nc_inq_nvars(file.id, &variables) != NC_NOERR)
        return;
    std::size_t records = 0;
    std::uintmax_t fixedBytes = 0, recordBytes = 0;
    nc_inq_dimlen(file.id, unlimited, &records);
    for (int variable = 0; variable < variables; ++variable) {
        nc_type type{};
        int dimensions = 0;
        std::array<int, NC_MAX_VAR_DIMS> ids{};
        std::size_t typeBytes = 0, values = 1;
        if (nc_inq_var(file.id, variable, nullptr, &type, &dimensions, ids.data(), nullptr) != NC_NOERR ||
            nc_inq_type(file.id, type, nullptr, &typeBytes) != NC_NOERR)
            return;
        bool perRecord = false;
        for (int d = 0; d < dimensions; ++d) {
            std::size_t length = 0;
            nc_inq_dimlen(file.id, ids[d], &length);
            if (ids[d] == unlimited) perRecord = true;
            else values *= length;
        }
        (perRecord ? recordBytes : fixedBytes) += (values * typeBytes + 3) / 4 * 4;  // padded to 4 bytes
    }
    const std::uintmax_t size = std::filesystem::file_size(path), needed = fixedBytes + records * recordBytes;
    if (recordBytes == 0 || size >= needed) return;
    const std::uintmax_t held = size > fixedBytes ? (size - fixedBytes) / recordBytes : 0;
    throw ModelReadError("is cut short: its header declares " + std::to_string(records) + " time steps, but its " +
                         std::to_string(size) + " bytes hold at most " + std::to_string(held) + " of them (it needs " +
                         std::to_string(needed) + " bytes at least)");
}

// What the records cannot tell (an HDF5 file cut short): a step past the file's end comes back at
// time 0 without an error from VTK.
void checkTimesHeld(const std::vector<double>& times) {
    for (std::size_t step = 1; step < times.size(); ++step)
        if (times[step] == 0.0 && times[step - 1] > 0.0)
            throw ModelReadError("is cut short: its header declares " + std::to_string(times.size()) +
                                 " time steps, but those from step " + std::to_string(step + 1) +
                                 " on hold nothing (their times read as 0)");
}

}  // namespace

VtkSeries openExodus(const std::filesystem::path& path, VtkMessages& messages) {
    checkRecordsHeld(path);
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
