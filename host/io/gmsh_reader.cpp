// A model file through Gmsh into a new model of the host's session.
#include "gmsh_reader.h"

#include "gmsh_file_check.h"
#include "gmsh_finite_values.h"
#include "gmsh_mesh.h"
#include "gmsh_session.h"
#include "gmsh_view_data.h"
#include "gmsh_views.h"
#include "model_reader.h"
#include "scene_builder.h"

#include <gmsh.h>

#include <algorithm>
#include <array>
#include <new>
#include <string_view>

namespace host::io {
namespace {

// Errors Gmsh reports after it has read every element of an MSH 2 file with partition tags, when
// it rebuilds the partitions as entities of their own (one partition, elements without a tag).
// The mesh is whole; only the partitions, which the host does not show, are missing.
constexpr std::array<std::string_view, 2> kPartitionErrors{"All elements are not partitioned",
                                                           "No mesh elements were found"};

bool onlyPartitionErrors(const GmshReport& report) {
    return std::all_of(report.errors.begin(), report.errors.end(), [](const std::string& error) {
        return std::find(kPartitionErrors.begin(), kPartitionErrors.end(), error) != kPartitionErrors.end();
    });
}

// Gmsh holds a read model twice over (mesh and views) until told to let go of it.
struct GmshCleared {
    GmshCleared() = default;
    GmshCleared(const GmshCleared&) = delete;
    GmshCleared& operator=(const GmshCleared&) = delete;
    ~GmshCleared() {
        try {
            runGmsh([] { gmsh::clear(); });
        } catch (...) {  // nothing more to free, and a destructor must not throw
        }
    }
};

void addParts(ModelBuilder& model, const GmshMesh& mesh) {
    for (const MeshPart& source : mesh.parts) {
        PartBuilder part = model.part(source.name);
        part.part().sourceName = source.sourceName;
        std::vector<float> xyz;
        xyz.reserve(3 * source.nodes.size());
        for (const int node : source.nodes)
            for (std::size_t axis = 0; axis < 3; ++axis)
                xyz.push_back(toFloat(mesh.coordinates[3 * static_cast<std::size_t>(node) + axis]));
        part.nodes(xyz);
        for (int type = 0; type < FE_MESH_TYPE_COUNT; ++type)
            if (!source.elements[type].nodes.empty())
                part.elements(static_cast<_FePartMeshType>(type), source.elements[type].nodes);
        if (!source.elements[kLineList].nodes.empty()) part.lines(source.elements[kLineList].nodes);
    }
}

void addFailures(ModelBuilder& model, const std::vector<int>& failFrames) {
    if (failFrames.empty()) return;
    std::size_t element = 0;
    for (const auto& part : model.model().parts) {
        PartBuilder builder(model.model(), *part);
        for (int type = 0; type < FE_MESH_TYPE_COUNT; ++type)
            for (int index = 0; index < part->elementCount(type); ++index, ++element)
                if (failFrames[element] != kNever)
                    builder.failsAt(static_cast<_FePartMeshType>(type), index, failFrames[element]);
        element += part->lineElementCount();  // lines have no failed state
    }
}

}  // namespace

ModelStr& buildModel(std::string title, const GmshMesh& mesh, GmshResults results) {
    ModelBuilder model(std::move(title));
    const BatchedChanges oneUpdate(model.model());  // a model may have hundreds of parts
    addParts(model, mesh);
    model.frames(std::move(results.times));
    for (std::size_t frame = 0; frame < results.frameCoordinates.size(); ++frame)
        model.frameCoordinates(static_cast<int>(frame), std::move(results.frameCoordinates[frame]));
    for (Field& field : results.fields) model.field(std::move(field));
    addFailures(model, results.failFrames);
    return model.model();
}

ModelStr& readGmshModel(const std::filesystem::path& path, ReadNotes& notes, const ReadOptions& options) {
    checkModelFile(path);
    const std::string file = path.string();
    const GmshCleared clearedAfterwards;
    try {
        const GmshReport loaded = runGmsh([&] {
            gmsh::clear();
            // Not gmsh::open: after an error it keeps Gmsh locked, and every later open does nothing.
            gmsh::merge(file);
        });
        const bool partitionsLost = loaded.failed() && onlyPartitionErrors(loaded);
        if (loaded.failed() && !partitionsLost) throw ModelReadError("Gmsh cannot read it: " + loaded.summary());
        if (partitionsLost)
            notes.lines.push_back("Gmsh: " + loaded.errors.front() + "; read the mesh without its partitions");
        for (const std::string& warning : loaded.warnings) notes.lines.push_back("Gmsh: " + warning);

        GmshMesh mesh;
        std::vector<int> elementTypes;
        const GmshReport meshRead = runGmsh([&] {
            mesh = readGmshMesh(notes, options.reservedNames);
            gmsh::model::mesh::getElementTypes(elementTypes);
        });
        if (meshRead.failed()) throw ModelReadError("Gmsh cannot give its mesh: " + meshRead.summary());
        // A file without elements is not a model (Gmsh also reads some damaged files as nothing at
        // all). One whose elements make no part is: the host loads it, the notes say what was left
        // out, and an export finds no parts.
        if (elementTypes.empty()) throw ModelReadError("holds no elements");
        replaceNonFiniteCoordinates(mesh, notes);
        GmshResults results = readGmshViews(mesh, options, notes);
        replaceNonFiniteResults(mesh, results, notes);
        return buildModel(path.filename().string(), mesh, std::move(results));
    } catch (const ModelReadError& error) {
        throw ModelReadError(file + ": " + error.what());
    } catch (const std::bad_alloc&) {
        // A damaged count or tag can make Gmsh reserve room for far more than the file holds.
        throw ModelReadError(file + ": Gmsh cannot read it: out of memory");
    }
}

}  // namespace host::io
