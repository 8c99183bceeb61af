#include "vtk_reader.h"

#include "gmsh_finite_values.h"
#include "gmsh_reader.h"
#include "vtk_model.h"

#include <new>

namespace host::io {
namespace {

using Opener = VtkSeries (*)(const std::filesystem::path&, VtkMessages&);

Opener openerOf(ReaderFamily family) {
    switch (family) {
    case ReaderFamily::Exodus: return openExodus;
    case ReaderFamily::VtkXml: return openVtkXml;
    case ReaderFamily::VtkLegacy: return openVtkLegacy;
    case ReaderFamily::EnSight: return openEnSight;
    case ReaderFamily::LsDyna: return openLsDyna;
    case ReaderFamily::Cgns: return openCgns;
    case ReaderFamily::Gmsh:
    case ReaderFamily::None: break;
    }
    throw ModelReadError("no VTK reader reads it");
}

}  // namespace

ModelStr& readVtkModel(const std::filesystem::path& path, ReaderFamily family, ReadNotes& notes, const ReadOptions& options) {
    VtkMessages messages;
    try {
        VtkSeries series = openerOf(family)(path, messages);
        const std::vector<VtkBlock> firstStep = leafBlocks(series.read(0), path.stem().string());
        if (firstStep.empty()) throw ModelReadError("VTK's " + series.readerName + " finds no dataset in it");
        VtkMesh mesh = convertMesh(firstStep, notes, options.reservedNames);
        replaceNonFiniteCoordinates(mesh.mesh, notes);
        GmshResults results = convertResults(series, firstStep, mesh, options, notes);
        replaceNonFiniteResults(mesh.mesh, results, notes);
        for (const std::string& warning : messages.warnings()) notes.lines.push_back("VTK: " + warning);
        return buildModel(path.filename().string(), mesh.mesh, std::move(results));
    } catch (const ModelReadError& error) {
        throw ModelReadError(path.string() + ": " + error.what());
    } catch (const std::bad_alloc&) {
        throw ModelReadError(path.string() + ": VTK cannot read it: out of memory");
    }
}

}  // namespace host::io
