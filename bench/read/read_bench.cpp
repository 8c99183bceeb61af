// sceneport-bench-read: reading and exporting a result file of a million cells, against the two
// halves of that work done alone: VTK's reader on the same files, and the plug-in's export of the
// same frames from a model already read. docs/performance.md has the figures.
//
//   sceneport-bench-read [--size N] [--frames F] [--runs R]
//
// writes a box of N^3 hexahedra (default 100: a million) as F VTU files (default 1; a .pvd
// collection indexes them when F > 1), with a point scalar and a point displacement per step.
#include "ZVRMLAdapter.h"
#include "io/model_reader.h"
#include "scene_builder.h"
#include "session.h"

#include <vtkCellArray.h>
#include <vtkDoubleArray.h>
#include <vtkPointData.h>
#include <vtkPoints.h>
#include <vtkSmartPointer.h>
#include <vtkUnstructuredGrid.h>
#include <vtkXMLUnstructuredGridReader.h>
#include <vtkXMLUnstructuredGridWriter.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <iostream>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct Options {
    int size = 100;
    int frames = 1;
    int runs = 3;
};

Options parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const int value = std::atoi(argv[i + 1]);
        if (value < 1) throw std::runtime_error(name + " takes a whole number above 0");
        if (name == "--size") options.size = value;
        else if (name == "--frames") options.frames = value;
        else if (name == "--runs") options.runs = value;
        else throw std::runtime_error("unknown option " + name + " (--size N, --frames F, --runs R)");
    }
    return options;
}

vtkSmartPointer<vtkUnstructuredGrid> boxGrid(int n, int step) {
    const auto grid = vtkSmartPointer<vtkUnstructuredGrid>::New();
    const auto points = vtkSmartPointer<vtkPoints>::New();
    const auto temperature = vtkSmartPointer<vtkDoubleArray>::New(), displacement = vtkSmartPointer<vtkDoubleArray>::New();
    temperature->SetName("temperature");
    displacement->SetName("displacement");
    displacement->SetNumberOfComponents(3);
    const vtkIdType side = n + 1;
    points->SetNumberOfPoints(side * side * side);
    temperature->SetNumberOfTuples(side * side * side);
    displacement->SetNumberOfTuples(side * side * side);
    for (vtkIdType k = 0, id = 0; k < side; ++k)
        for (vtkIdType j = 0; j < side; ++j)
            for (vtkIdType i = 0; i < side; ++i, ++id) {
                points->SetPoint(id, i, j, k);
                temperature->SetValue(id, static_cast<double>(i + j + k + step));
                displacement->SetTuple3(id, 0.01 * step * k, 0, 0);
            }
    grid->SetPoints(points);
    grid->Allocate(static_cast<vtkIdType>(n) * n * n);
    const auto at = [side](vtkIdType i, vtkIdType j, vtkIdType k) { return i + side * (j + side * k); };
    for (vtkIdType k = 0; k < n; ++k)
        for (vtkIdType j = 0; j < n; ++j)
            for (vtkIdType i = 0; i < n; ++i) {
                const vtkIdType cube[8] = {at(i, j, k), at(i + 1, j, k), at(i + 1, j + 1, k), at(i, j + 1, k),
                                           at(i, j, k + 1), at(i + 1, j, k + 1), at(i + 1, j + 1, k + 1), at(i, j + 1, k + 1)};
                grid->InsertNextCell(VTK_HEXAHEDRON, 8, cube);
            }
    grid->GetPointData()->AddArray(temperature);
    grid->GetPointData()->AddArray(displacement);
    return grid;
}

// Writes the series; returns the file to read (the .vtu, or the .pvd of several) and the steps.
fs::path writeSeries(const fs::path& dir, const Options& options, std::vector<fs::path>& steps) {
    std::ofstream index(dir / "box.pvd");
    index << "<?xml version=\"1.0\"?>\n<VTKFile type=\"Collection\" version=\"0.1\">\n<Collection>\n";
    for (int step = 0; step < options.frames; ++step) {
        const auto writer = vtkSmartPointer<vtkXMLUnstructuredGridWriter>::New();
        writer->SetInputData(boxGrid(options.size, step));
        steps.push_back(dir / ("box" + std::to_string(step) + ".vtu"));
        writer->SetFileName(steps.back().c_str());
        writer->SetDataModeToAppended();
        writer->EncodeAppendedDataOff();
        if (writer->Write() != 1) throw std::runtime_error("VTK cannot write " + steps.back().string());
        index << "<DataSet timestep=\"" << step << "\" part=\"0\" file=\"" << steps.back().filename().string() << "\"/>\n";
    }
    index << "</Collection>\n</VTKFile>\n";
    return options.frames == 1 ? steps.front() : dir / "box.pvd";
}

double seconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
}

// Every frame of `model`, coloured by the temperature, as the command exports them.
void exportFrames(ModelStr& model, const fs::path& file) {
    host::WindowBuilder window(&model);
    window.contour("temperature");
    host::showFrame(0);
    ZVRMLAdapter::ExportParams request{};
    request.model = &model;
    request.window = window.handle();
    request.fileName = GuString(file.c_str());
    request.allFrames = true;
    request.exportContours = true;
    request.skinOnly = false;
    request.flaggedPartsOnly = false;
    ZVRMLAdapter adapter;
    if (const int result = adapter.ExportVRMLData(request); result != 1)
        throw std::runtime_error("the export ended with result " + std::to_string(result));
}

ModelStr& readModel(const fs::path& file) {
    host::io::ReadNotes notes;
    return host::io::readModel(file, notes);
}

}  // namespace

int main(int argc, char** argv) try {
    const Options options = parse(argc, argv);
    const fs::path dir = fs::temp_directory_path() / ("sceneport-bench-read." + std::to_string(getpid()));
    fs::create_directories(dir);
    std::cerr << "sceneport-bench-read: writing " << options.frames << " VTU file(s) of " << options.size << "^3 hexahedra\n";
    std::vector<fs::path> steps;
    const fs::path file = writeSeries(dir, options, steps);
    std::uintmax_t bytes = 0;
    for (const fs::path& step : steps) bytes += fs::file_size(step);

    std::vector<double> vtkAlone, exportAlone, together;
    for (int run = 0; run < options.runs; ++run) {
        std::cerr << "sceneport-bench-read: run " << run + 1 << " of " << options.runs << "\n";
        vtkAlone.push_back(seconds([&] {
            for (const fs::path& step : steps) {
                const auto reader = vtkSmartPointer<vtkXMLUnstructuredGridReader>::New();
                reader->SetFileName(step.c_str());
                reader->Update();
            }
        }));
        host::resetSession();
        ModelStr& read = readModel(file);
        exportAlone.push_back(seconds([&] { exportFrames(read, dir / "alone.wrl"); }));
        host::resetSession();
        together.push_back(seconds([&] { exportFrames(readModel(file), dir / "together.wrl"); }));
        host::resetSession();
    }
    const double a = median(vtkAlone), b = median(exportAlone), c = median(together);
    std::printf("cells %lld, frames %d, VTU bytes %ju, runs %d (medians)\n",
                1LL * options.size * options.size * options.size, options.frames, bytes, options.runs);
    std::printf("VTK's reader alone      %8.2f s\n", a);
    std::printf("export alone            %8.2f s\n", b);
    std::printf("read + export           %8.2f s\n", c);
    std::printf("ratio (read + export) / (VTK alone + export alone)  %.2f  (goal: at most 1.5)\n", c / (a + b));
    fs::remove_all(dir);
    return 0;
} catch (const std::exception& error) {
    std::cerr << "sceneport-bench-read: " << error.what() << "\n";
    return 1;
}
