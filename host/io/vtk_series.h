// A result file as VTK's readers give it: its time steps, and the dataset at each. One opener per
// reader family (vtk_exodus.cpp, vtk_xml.cpp, vtk_legacy.cpp, vtk_ensight.cpp, vtk_lsdyna.cpp,
// vtk_cgns.cpp); vtk_model.h turns what they read into the host's model.
#pragma once

#include "file_format.h"
#include "model_reader.h"
#include "vtk_messages.h"

#include <vtkAlgorithm.h>
#include <vtkDataObject.h>
#include <vtkSmartPointer.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace host::io {

struct VtkSeries {
    std::string readerName;    // VTK's reader, for messages ("vtkExodusIIReader")
    std::vector<double> times;  // one per step; at least one
    // The dataset of step `step` (a composite of blocks or a single dataset); valid until the
    // next call.
    std::function<vtkDataObject*(std::size_t step)> read;
    // d3plot: each state's coordinates are the deformed ones, and deleted cells come as ghosts.
    bool deformedCoordinates = false;
    bool deletionsAsGhosts = false;
};

// The series of the file at `path`, read by the reader of `family`. Throws ModelReadError (without
// the file's name) when VTK's reader reports an error while opening it.
VtkSeries openExodus(const std::filesystem::path& path, VtkMessages& messages);
VtkSeries openVtkXml(const std::filesystem::path& path, VtkMessages& messages);
VtkSeries openVtkLegacy(const std::filesystem::path& path, VtkMessages& messages);
VtkSeries openEnSight(const std::filesystem::path& path, VtkMessages& messages);
VtkSeries openLsDyna(const std::filesystem::path& path, VtkMessages& messages);
VtkSeries openCgns(const std::filesystem::path& path, VtkMessages& messages);

// For readers of VTK's pipeline: the time steps `reader` announces (one at 0 without any), and a
// `read` that updates it to each. `reader` is kept alive by the series.
VtkSeries pipelineSeries(vtkSmartPointer<vtkAlgorithm> reader, std::string readerName, VtkMessages& messages);

// Throws ModelReadError with VTK's errors when `messages` has any, naming the reader.
void throwOnVtkErrors(const VtkMessages& messages, std::string_view readerName);

}  // namespace host::io
