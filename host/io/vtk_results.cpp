// Every step of a series as the host's frames: times, fields, coordinates and failures.
#include "field_roles.h"
#include "gmsh_part_names.h"
#include "gmsh_view_data.h"
#include "vtk_model.h"

#include <vtkCellData.h>
#include <vtkDataArray.h>
#include <vtkDataSetAttributes.h>
#include <vtkPointData.h>

#include <algorithm>
#include <array>
#include <map>

namespace host::io {
namespace {

// Arrays VTK's readers add for their own bookkeeping, which are no results.
constexpr std::array<std::string_view, 10> kBookkeeping{
    "vtkGhostType", "vtkOriginalCellIds", "vtkOriginalPointIds", "vtkValidPointMask", "vtkCompositeIndex",
    "GlobalNodeId", "GlobalElementId", "PedigreeNodeId", "PedigreeElementId", "ObjectId"};

constexpr int kMostComponents = 9;

struct ResultArray {
    std::string name;  // the array's
    bool atNodes;
    int components;
    FieldRole role;
};

vtkDataSetAttributes* attributesOf(vtkDataSet* data, bool atNodes) {
    return atNodes ? static_cast<vtkDataSetAttributes*>(data->GetPointData()) : data->GetCellData();
}

bool isBookkeeping(std::string_view name) {
    return std::find(kBookkeeping.begin(), kBookkeeping.end(), name) != kBookkeeping.end() ||
           std::find(kPartIdArrays.begin(), kPartIdArrays.end(), name) != kPartIdArrays.end();
}

// The arrays of the first step, each name once per location, in the order met; roles by the one
// rule of field_roles.h (the first deformation, the first failure).
std::vector<ResultArray> resultArrays(const std::vector<VtkBlock>& blocks, const ReadOptions& options, bool deformedCoordinates) {
    std::vector<ResultArray> arrays;
    bool deformation = false, failure = false;
    for (const bool atNodes : {true, false})
        for (const VtkBlock& block : blocks) {
            vtkDataSetAttributes* attributes = attributesOf(block.data, atNodes);
            for (int i = 0; i < attributes->GetNumberOfArrays(); ++i) {
                vtkDataArray* array = attributes->GetArray(i);
                if (array == nullptr || array->GetName() == nullptr || isBookkeeping(array->GetName()) ||
                    array == attributes->GetGlobalIds())
                    continue;
                const std::string name = array->GetName();
                if (std::any_of(arrays.begin(), arrays.end(), [&](const ResultArray& r) { return r.name == name && r.atNodes == atNodes; }))
                    continue;
                const int components = array->GetNumberOfComponents();
                if (components > kMostComponents) continue;
                FieldRole role = roleOf({name, components, atNodes}, options);
                // A file whose coordinates are already deformed is not moved again; elements fail by
                // element values alone (a node field of the name stays a field).
                if ((role == FieldRole::Deformation && (deformation || deformedCoordinates)) ||
                    (role == FieldRole::Failure && (failure || atNodes)))
                    role = FieldRole::Field;
                deformation = deformation || role == FieldRole::Deformation;
                failure = failure || role == FieldRole::Failure;
                arrays.push_back({name, atNodes, components, role});
            }
        }
    return arrays;
}

// One step's values of a field at `sources` (nodes or elements); sources in blocks without the
// array count as missing and take 0.
std::vector<float> valuesAt(const std::vector<VtkBlock>& blocks, const ResultArray& result,
                            const std::vector<VtkSource>& sources, std::size_t& missing) {
    std::vector<vtkDataArray*> inBlock(blocks.size());
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        vtkDataArray* array = attributesOf(blocks[b].data, result.atNodes)->GetArray(result.name.c_str());
        inBlock[b] = array != nullptr && array->GetNumberOfComponents() == result.components ? array : nullptr;
    }
    std::vector<float> values(sources.size(), 0.0f);
    std::array<double, kMostComponents> tuple{};
    for (std::size_t i = 0; i < sources.size(); ++i) {
        vtkDataArray* array = inBlock[sources[i].block];
        if (array == nullptr || sources[i].index >= array->GetNumberOfTuples()) {
            ++missing;
            continue;
        }
        array->GetTuple(sources[i].index, tuple.data());
        values[i] = fieldValue(std::span<const double>(tuple.data(), static_cast<std::size_t>(result.components)));
    }
    return values;
}

// Each model node's position in one step (parts one after another, as the host holds them),
// moved by the deformation's values when there is one.
std::vector<float> frameCoordinates(const std::vector<VtkBlock>& blocks, const VtkMesh& mesh,
                                    const ResultArray* deformation, std::size_t& missing) {
    std::vector<vtkDataArray*> displacements(blocks.size(), nullptr);
    if (deformation != nullptr)
        for (std::size_t b = 0; b < blocks.size(); ++b)
            displacements[b] = blocks[b].data->GetPointData()->GetArray(deformation->name.c_str());
    std::vector<float> xyz;
    for (const MeshPart& part : mesh.mesh.parts)
        for (const int node : part.nodes) {
            const VtkSource source = mesh.nodeSources[static_cast<std::size_t>(node)];
            double position[3], displacement[3] = {0, 0, 0};
            blocks[source.block].data->GetPoint(source.index, position);
            if (vtkDataArray* array = displacements[source.block]; array != nullptr && array->GetNumberOfComponents() == 3)
                array->GetTuple(source.index, displacement);
            else if (deformation != nullptr)
                ++missing;
            for (int axis = 0; axis < 3; ++axis) xyz.push_back(toFloat(position[axis] + displacement[axis]));
        }
    return xyz;
}

std::vector<VtkSource> modelNodeSources(const VtkMesh& mesh) {
    std::vector<VtkSource> sources;
    for (const MeshPart& part : mesh.mesh.parts)
        for (const int node : part.nodes) sources.push_back(mesh.nodeSources[static_cast<std::size_t>(node)]);
    return sources;
}

// The steps after the first must hold the same blocks with as many points and cells.
void checkSameMesh(const std::vector<VtkBlock>& blocks, const VtkMesh& mesh, std::size_t step) {
    bool same = blocks.size() == mesh.blockSizes.size();
    for (std::size_t b = 0; same && b < blocks.size(); ++b)
        same = mesh.blockSizes[b] == std::array{blocks[b].data->GetNumberOfPoints(), blocks[b].data->GetNumberOfCells()};
    if (!same)
        throw ModelReadError("step " + std::to_string(step + 1) +
                             " holds other blocks, points or cells than the first: the host needs one mesh for every frame");
}

// Failed from the first frame a failure value is non-zero; a value that returns to 0 is noted.
void markFailures(const std::vector<float>& flags, std::size_t frame, std::vector<int>& failFrames, std::vector<bool>& returned) {
    if (failFrames.empty()) failFrames.assign(flags.size(), kNever), returned.assign(flags.size(), false);
    for (std::size_t e = 0; e < flags.size(); ++e) {
        if (flags[e] != 0.0f && failFrames[e] == kNever) failFrames[e] = static_cast<int>(frame);
        else if (flags[e] == 0.0f && failFrames[e] != kNever) returned[e] = true;
    }
}

}  // namespace

std::vector<bool> deletedCells(vtkUnsignedCharArray* ghosts) {
    std::vector<bool> deleted(ghosts != nullptr ? static_cast<std::size_t>(ghosts->GetNumberOfTuples()) : 0);
    for (std::size_t cell = 0; cell < deleted.size(); ++cell)
        deleted[cell] = (ghosts->GetValue(static_cast<vtkIdType>(cell)) & vtkDataSetAttributes::HIDDENCELL) != 0;
    return deleted;
}

namespace {

// Per host element, 1 where the step's ghost array marks its cell deleted.
std::vector<float> deletedElements(const std::vector<VtkBlock>& blocks, const VtkMesh& mesh) {
    std::vector<std::vector<bool>> deletedInBlock;
    for (const VtkBlock& block : blocks)
        deletedInBlock.push_back(deletedCells(vtkUnsignedCharArray::SafeDownCast(
            block.data->GetCellData()->GetArray(vtkDataSetAttributes::GhostArrayName()))));
    std::vector<float> deleted(mesh.elementSources.size(), 0.0f);
    for (std::size_t e = 0; e < deleted.size(); ++e) {
        const auto [block, cell] = mesh.elementSources[e];
        const std::vector<bool>& flags = deletedInBlock[block];
        deleted[e] = static_cast<std::size_t>(cell) < flags.size() && flags[static_cast<std::size_t>(cell)] ? 1.0f : 0.0f;
    }
    return deleted;
}

}  // namespace

GmshResults convertResults(VtkSeries& series, const std::vector<VtkBlock>& firstStep, const VtkMesh& mesh,
                           const ReadOptions& options, ReadNotes& notes) {
    const std::vector<ResultArray> arrays = resultArrays(firstStep, options, series.deformedCoordinates);
    const auto roleFound = [&](FieldRole role) {
        const auto found = std::find_if(arrays.begin(), arrays.end(), [role](const ResultArray& r) { return r.role == role; });
        return found == arrays.end() ? nullptr : &*found;
    };
    const ResultArray* deformation = roleFound(FieldRole::Deformation);
    const ResultArray* failure = roleFound(FieldRole::Failure);
    if (deformation != nullptr) notes.deformedBy = deformation->name;
    if (series.deformedCoordinates) notes.deformedBy = "the coordinates of each state";
    if (failure != nullptr) notes.failuresFrom = failure->name;
    if (series.deletionsAsGhosts) notes.failuresFrom = "the elements each state deletes";

    const std::vector<VtkSource> nodeSources = modelNodeSources(mesh);
    GmshResults results;
    std::vector<std::string> names;
    for (const ResultArray& result : arrays)
        if (result.role == FieldRole::Field) {
            results.fields.push_back({result.name, result.atNodes ? ValueLocation::Node : ValueLocation::Element, {}, {}});
            names.push_back(result.name);
        }
    numberRepeatedNames(names);
    for (std::size_t i = 0; i < names.size(); ++i) results.fields[i].name = names[i];
    for (const ResultArray& result : arrays)
        if (result.role != FieldRole::Field) notes.fieldComponents[result.name] = result.components;
    for (std::size_t i = 0, field = 0; i < arrays.size(); ++i)
        if (arrays[i].role == FieldRole::Field) notes.fieldComponents[names[field++]] = arrays[i].components;

    std::map<std::string, std::size_t> missing;
    std::vector<bool> returned;  // per element: a failure value went back to 0
    std::size_t positionsMissing = 0;
    bool moving = deformation != nullptr;
    std::vector<float> reference;
    for (std::size_t step = 0; step < series.times.size(); ++step) {
        const std::vector<VtkBlock> blocks = step == 0 ? firstStep : leafBlocks(series.read(step), "");
        if (step > 0) checkSameMesh(blocks, mesh, step);
        results.times.push_back(toFloat(series.times[step]));
        std::size_t field = 0;
        for (const ResultArray& result : arrays) {
            if (result.role == FieldRole::Deformation) continue;
            std::vector<float> values =
                valuesAt(blocks, result, result.atNodes ? nodeSources : mesh.elementSources, missing[result.name]);
            if (result.role == FieldRole::Failure) markFailures(values, step, results.failFrames, returned);
            else results.fields[field++].frames.push_back(std::move(values));
        }
        if (series.deletionsAsGhosts) markFailures(deletedElements(blocks, mesh), step, results.failFrames, returned);
        std::vector<float> xyz = frameCoordinates(blocks, mesh, deformation, positionsMissing);
        if (step == 0) reference = xyz;
        else moving = moving || xyz != reference;
        results.frameCoordinates.push_back(std::move(xyz));
    }
    if (!moving) results.frameCoordinates.clear();
    if (std::all_of(results.failFrames.begin(), results.failFrames.end(), [](int f) { return f == kNever; }))
        results.failFrames.clear();

    for (const auto& [name, count] : missing)
        if (count > 0)
            notes.lines.push_back("field " + inQuotes(name) + ": " + countText(count, "value is", "values are") +
                                  " missing where a block lacks it; each is 0 instead");
    if (positionsMissing > 0)
        notes.lines.push_back(countText(positionsMissing, "node position", "node positions") + " lack the displacement " +
                              inQuotes(deformation->name) + "; those nodes stay where the mesh has them");
    if (const auto count = static_cast<std::size_t>(std::count(returned.begin(), returned.end(), true)); count > 0)
        notes.lines.push_back(inQuotes(notes.failuresFrom) + " returns to 0 in " + countText(count, "element", "elements") +
                              " after failing it; the host keeps an element failed from the first frame it fails in");
    return results;
}

}  // namespace host::io
