// The first step's blocks as the host's parts.
#include "gmsh_part_names.h"
#include "vtk_cell_types.h"
#include "vtk_model.h"

#include <vtkCellData.h>
#include <vtkDataArray.h>
#include <vtkDataObjectTree.h>
#include <vtkDataObjectTreeIterator.h>
#include <vtkIdList.h>
#include <vtkInformation.h>
#include <vtkPointData.h>

#include <map>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace host::io {
namespace {

int dimensionOf(int hostType) { return hostType == kLineElement ? 1 : kMeshTypes[hostType].dimension; }

// The cell array that numbers parts, when a lone grid has one.
vtkDataArray* partIdArray(const std::vector<VtkBlock>& blocks) {
    if (blocks.size() != 1) return nullptr;
    for (const std::string_view name : kPartIdArrays)
        if (vtkDataArray* array = blocks[0].data->GetCellData()->GetArray(std::string(name).c_str());
            array != nullptr && array->GetNumberOfComponents() == 1)
            return array;
    return nullptr;
}

// The global node ids of a block's points, when the file has them. Not LS-DYNA's node ids
// ("UserID"): VTK 9.1's reader hands them over unfilled for some d3plot files, and ids that
// change from read to read would join points that are not the same.
vtkDataArray* globalIds(vtkDataSet* data) {
    vtkDataArray* ids = data->GetPointData()->GetGlobalIds();
    if (ids != nullptr && ids->GetName() != nullptr && std::string_view(ids->GetName()) == "UserID") return nullptr;
    return ids != nullptr ? ids : data->GetPointData()->GetArray("GlobalNodeId");
}

// Whether `ids` numbers each point of its block differently. Some readers hand over ids that do
// not (LS-DYNA's user ids of a d3plot can repeat): the block's own point numbers serve then.
bool uniqueIds(vtkDataArray* ids) {
    if (ids == nullptr || ids->GetNumberOfComponents() != 1) return false;
    std::unordered_set<long long> seen;
    for (vtkIdType i = 0; i < ids->GetNumberOfTuples(); ++i)
        if (!seen.insert(static_cast<long long>(ids->GetTuple1(i))).second) return false;
    return true;
}

// Builds the parts cell by cell. A part is a group (a block, or the cells of one id in a lone
// grid) in one dimension.
class PartAssembler {
public:
    PartAssembler(const std::vector<VtkBlock>& blocks, VtkMesh& out) : m_blocks(blocks), m_out(out) {
        m_byGlobalId = blocks.size() > 1 && std::all_of(blocks.begin(), blocks.end(), [](const VtkBlock& block) {
            return block.data->GetNumberOfPoints() == 0 || uniqueIds(globalIds(block.data));
        });
    }

    void addBlock(std::uint32_t block, vtkDataArray* partIds) {
        vtkDataSet* data = m_blocks[block].data;
        const std::size_t elementsBefore = m_cellSources.size();
        const auto list = vtkSmartPointer<vtkIdList>::New();
        std::vector<vtkIdType> points;
        for (vtkIdType cell = 0; cell < data->GetNumberOfCells(); ++cell) {
            const int vtkType = data->GetCellType(cell);
            const VtkCellType* row = findVtkCellType(vtkType);
            if (row == nullptr || row->fate == CellFate::LeftOut) {
                ++m_leftOut[row ? std::string(row->name) : "type " + std::to_string(vtkType)];
                continue;
            }
            data->GetCellPoints(cell, list);
            points.assign(list->begin(), list->end());
            const std::string group = partIds ? std::string(partIds->GetName()) + " " +
                                                    std::to_string(static_cast<long long>(partIds->GetTuple1(cell)))
                                              : m_blocks[block].name;
            addCell(*row, points, {block, cell}, group);
        }
        if (m_cellSources.size() == elementsBefore && data->GetNumberOfCells() > 0) m_emptyBlocks.push_back(m_blocks[block].name);
    }

    // Blocks with cells none of which became an element (a block of vertices).
    const std::vector<std::string>& emptyBlocks() const { return m_emptyBlocks; }

    // The parts in the order their groups came, with the names they had.
    void finish(std::vector<GroupName>& names) {
        for (Pending& pending : m_parts) {
            names.push_back({pending.group, pending.dimension});
            m_out.mesh.parts.push_back(std::move(pending.part));
        }
    }

    const std::map<std::string, std::size_t>& leftOut() const { return m_leftOut; }
    const std::map<std::string, std::size_t>& reduced() const { return m_reduced; }
    const std::map<std::string, std::size_t>& malformed() const { return m_malformed; }
    std::size_t fanned() const { return m_fanned; }
    // The cell an element came from, by the number ElementSource::tag holds.
    VtkSource cellOf(const ElementSource& element) const { return m_cellSources[element.tag]; }

private:
    struct Pending {
        std::string group;
        int dimension;
        MeshPart part;
        std::unordered_map<int, int> localOf;  // mesh node -> part node
    };

    void addCell(const VtkCellType& row, const std::vector<vtkIdType>& points, VtkSource source, const std::string& group) {
        const auto count = static_cast<int>(points.size());
        switch (row.fate) {
        case CellFate::Element: {
            int highest = 0;
            for (int p = 0; p < hostNodesOf(row); ++p) highest = std::max(highest, row.vtkPosition[p]);
            if ((row.vtkNodes != 0 && count != row.vtkNodes) || highest >= count) {
                ++m_malformed[std::string(row.name)];
                return;
            }
            if (row.reduced) ++m_reduced[std::string(row.name)];
            std::array<vtkIdType, kMaxHostNodes> nodes{};
            for (int p = 0; p < hostNodesOf(row); ++p) nodes[p] = points[row.vtkPosition[p]];
            addElement(row.hostType, std::span(nodes.data(), hostNodesOf(row)), source, group);
            return;
        }
        case CellFate::Fan:
            if (count > 3) ++m_fanned;
            for (int k = 1; k + 1 < count; ++k)
                addElement(row.hostType, std::array{points[0], points[k], points[k + 1]}, source, group);
            return;
        case CellFate::Strip:
            for (int k = 0; k + 2 < count; ++k)
                addElement(row.hostType,
                           k % 2 == 0 ? std::array{points[k], points[k + 1], points[k + 2]}
                                      : std::array{points[k + 1], points[k], points[k + 2]},
                           source, group);
            return;
        case CellFate::PolyLine:
            for (int k = 0; k + 1 < count; ++k) addElement(kLineElement, std::array{points[k], points[k + 1]}, source, group);
            return;
        case CellFate::LeftOut:
            return;
        }
    }

    void addElement(int hostType, std::span<const vtkIdType> points, VtkSource source, const std::string& group) {
        Pending& pending = partFor(group, dimensionOf(hostType));
        ElementList& list = pending.part.elements[hostType == kLineElement ? kLineList : hostType];
        for (const vtkIdType point : points) list.nodes.push_back(localNode(pending, {source.block, point}));
        list.sources.push_back({m_cellSources.size(), nullptr});
        m_cellSources.push_back(source);
    }

    Pending& partFor(const std::string& group, int dimension) {
        const auto [found, added] = m_partOf.try_emplace({group, dimension}, m_parts.size());
        if (added) m_parts.push_back({group, dimension, {}, {}});
        return m_parts[found->second];
    }

    int meshNode(VtkSource point) {
        vtkDataSet* data = m_blocks[point.block].data;
        const long long key = m_byGlobalId ? static_cast<long long>(globalIds(data)->GetTuple1(point.index))
                                           : (static_cast<long long>(point.block) << 40) + point.index;
        const auto [found, added] = m_nodeOf.try_emplace(key, static_cast<int>(m_out.nodeSources.size()));
        if (added) {
            m_out.nodeSources.push_back(point);
            double xyz[3];
            data->GetPoint(point.index, xyz);
            m_out.mesh.coordinates.insert(m_out.mesh.coordinates.end(), xyz, xyz + 3);
            m_out.mesh.nodeTags.push_back(m_out.mesh.nodeTags.size() + 1);
        }
        return found->second;
    }

    int localNode(Pending& pending, VtkSource point) {
        const int node = meshNode(point);
        const auto [found, added] = pending.localOf.try_emplace(node, static_cast<int>(pending.part.nodes.size()));
        if (added) pending.part.nodes.push_back(node);
        return found->second;
    }

    const std::vector<VtkBlock>& m_blocks;
    VtkMesh& m_out;
    bool m_byGlobalId = false;
    std::unordered_map<long long, int> m_nodeOf;
    std::vector<Pending> m_parts;
    std::map<std::pair<std::string, int>, std::size_t> m_partOf;
    std::map<std::string, std::size_t> m_leftOut, m_reduced, m_malformed;
    std::size_t m_fanned = 0;
    std::vector<VtkSource> m_cellSources;  // per element made, in the order made
    std::vector<std::string> m_emptyBlocks;
};

// One line for all cell types of a kind: "left out: 2 "vertex", 1 "polyhedron"".
void noteCounts(const std::map<std::string, std::size_t>& counts, const std::string& what, ReadNotes& notes) {
    std::string line;
    for (const auto& [name, count] : counts) line += (line.empty() ? "" : ", ") + std::to_string(count) + " " + inQuotes(name);
    if (!line.empty()) notes.lines.push_back(what + ": " + line);
}

}  // namespace

std::vector<VtkBlock> leafBlocks(vtkDataObject* object, const std::string& fallbackName) {
    std::vector<VtkBlock> blocks;
    if (auto* data = vtkDataSet::SafeDownCast(object)) return {{fallbackName, data}};
    auto* tree = vtkDataObjectTree::SafeDownCast(object);
    if (tree == nullptr) return blocks;
    const auto leaves = vtkSmartPointer<vtkDataObjectTreeIterator>::Take(tree->NewTreeIterator());
    leaves->VisitOnlyLeavesOn();
    leaves->SkipEmptyNodesOn();
    for (leaves->InitTraversal(); !leaves->IsDoneWithTraversal(); leaves->GoToNextItem()) {
        auto* data = vtkDataSet::SafeDownCast(leaves->GetCurrentDataObject());
        if (data == nullptr) continue;
        vtkInformation* meta = leaves->HasCurrentMetaData() ? leaves->GetCurrentMetaData() : nullptr;
        const char* name = meta && meta->Has(vtkCompositeDataSet::NAME()) ? meta->Get(vtkCompositeDataSet::NAME()) : nullptr;
        blocks.push_back({name && *name ? name : fallbackName + " " + std::to_string(blocks.size() + 1), data});
    }
    return blocks;
}

VtkMesh convertMesh(const std::vector<VtkBlock>& blocks, ReadNotes& notes, std::span<const std::string_view> reservedNames) {
    VtkMesh out;
    PartAssembler assembler(blocks, out);
    vtkDataArray* partIds = partIdArray(blocks);
    for (std::uint32_t block = 0; block < blocks.size(); ++block) {
        out.blockSizes.push_back({blocks[block].data->GetNumberOfPoints(), blocks[block].data->GetNumberOfCells()});
        assembler.addBlock(block, partIds);
    }
    std::vector<GroupName> names;
    assembler.finish(names);
    if (out.mesh.parts.empty()) throw ModelReadError("holds no cells the host can show (no surfaces, solids or lines)");

    noteCounts(assembler.leftOut(), "left out cells the host has no type for", notes);
    noteCounts(assembler.malformed(), "left out cells whose node count does not fit their type", notes);
    noteCounts(assembler.reduced(), "reduced cells to the nearest host type, by their corner and mid-side nodes", notes);
    for (const std::string& name : assembler.emptyBlocks())
        notes.lines.push_back("left out the block " + inQuotes(name) + ": none of its cells is a surface, solid or line");
    if (assembler.fanned() > 0)
        notes.lines.push_back("split " + countText(assembler.fanned(), "polygon", "polygons") +
                              " into triangles fanned from their first corner");
    if (partIds != nullptr)
        notes.lines.push_back(std::string("parts from the cell array ") + inQuotes(partIds->GetName()));

    // Per host element in the host's order: part by part, each host type's list, then the lines.
    for (const MeshPart& part : out.mesh.parts)
        for (const ElementList& list : part.elements)
            for (const ElementSource& source : list.sources) out.elementSources.push_back(assembler.cellOf(source));

    const std::vector<PartName> partNames = scenePartNames(names, reservedNames);
    std::vector<std::string> renamed;
    for (std::size_t i = 0; i < out.mesh.parts.size(); ++i) {
        out.mesh.parts[i].name = partNames[i].name;
        out.mesh.parts[i].sourceName = partNames[i].sourceName;
        if (!partNames[i].sourceName.empty()) renamed.push_back(partNames[i].sourceName);
    }
    if (!renamed.empty())
        notes.lines.push_back("renamed " + countText(renamed.size(), "part", "parts") + " (" + inQuotes(renamed.front()) +
                              (renamed.size() > 1 ? ", ..." : "") +
                              ") to fit scenes as node names (sceneport info lists each with its name in the file)");
    return out;
}

}  // namespace host::io
