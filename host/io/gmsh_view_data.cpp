#include "gmsh_view_data.h"

#include <cmath>
#include <unordered_map>

namespace host::io {
namespace {

// Whether host node `position` takes a Gmsh node an earlier one already took (a pyramid's apex).
bool repeatsNode(const GmshElementType& type, int position) {
    for (int earlier = 0; earlier < position; ++earlier)
        if (type.gmshPosition[earlier] == type.gmshPosition[position]) return true;
    return false;
}

}  // namespace

std::vector<std::ptrdiff_t> nodeValuePositions(const GmshMesh& mesh, const ViewStep& step) {
    std::vector<std::ptrdiff_t> byGmshNode(mesh.nodeTags.size(), kNoValue);
    for (std::size_t k = 0; k < step.tags.size(); ++k)
        if (const auto found = mesh.nodeIndex.find(step.tags[k]); found != mesh.nodeIndex.end())
            byGmshNode[found->second] = static_cast<std::ptrdiff_t>(k);
    std::vector<std::ptrdiff_t> positions;
    for (const MeshPart& part : mesh.parts)
        for (const int node : part.nodes) positions.push_back(byGmshNode[node]);
    return positions;
}

std::vector<std::ptrdiff_t> elementValuePositions(const GmshMesh& mesh, const ViewStep& step) {
    std::unordered_map<std::size_t, std::ptrdiff_t> positionOf;
    positionOf.reserve(step.tags.size());
    for (std::size_t k = 0; k < step.tags.size(); ++k) positionOf.emplace(step.tags[k], static_cast<std::ptrdiff_t>(k));
    std::vector<std::ptrdiff_t> positions;
    for (const MeshPart& part : mesh.parts)
        for (const ElementList& list : part.elements)
            for (const ElementSource& source : list.sources) {
                const auto found = positionOf.find(source.tag);
                positions.push_back(found == positionOf.end() ? kNoValue : found->second);
            }
    return positions;
}

float fieldValue(std::span<const double> c) {
    if (c.size() == 1) return toFloat(c[0]);
    if (c.size() == 9) {
        const double xy = (c[1] + c[3]) / 2, yz = (c[5] + c[7]) / 2, zx = (c[2] + c[6]) / 2;
        const double normal = (c[0] - c[4]) * (c[0] - c[4]) + (c[4] - c[8]) * (c[4] - c[8]) + (c[8] - c[0]) * (c[8] - c[0]);
        return toFloat(std::sqrt(normal / 2 + 3 * (xy * xy + yz * yz + zx * zx)));
    }
    double squares = 0;
    for (const double component : c) squares += component * component;
    return toFloat(std::sqrt(squares));
}

NodeAverages averageAtNodes(const GmshMesh& mesh, const ViewStep& step) {
    const std::vector<std::ptrdiff_t> positions = elementValuePositions(mesh, step);
    std::size_t modelNodes = 0;
    for (const MeshPart& part : mesh.parts) modelNodes += part.nodes.size();
    std::vector<double> sums(modelNodes, 0.0);
    std::vector<int> counts(modelNodes, 0);

    const auto components = static_cast<std::size_t>(step.components);
    std::size_t element = 0, firstNode = 0;
    for (const MeshPart& part : mesh.parts) {
        for (const ElementList& list : part.elements)
            for (std::size_t index = 0; index < list.sources.size(); ++index) {
                const std::ptrdiff_t position = positions[element++];
                if (position == kNoValue) continue;
                const GmshElementType& type = *list.sources[index].type;
                const std::span<const double> values = step.value(position);
                if (values.size() < type.gmshNodes * components) continue;  // not values at this element's nodes
                const int* nodes = list.nodes.data() + index * type.hostNodes();
                for (int p = 0; p < type.hostNodes(); ++p) {
                    if (repeatsNode(type, p)) continue;
                    const std::size_t node = firstNode + nodes[p];
                    sums[node] += fieldValue(values.subspan(type.gmshPosition[p] * components, components));
                    ++counts[node];
                }
            }
        firstNode += part.nodes.size();
    }

    NodeAverages averages;
    averages.values.resize(modelNodes, 0.0f);
    for (std::size_t node = 0; node < modelNodes; ++node) {
        if (counts[node] == 0) ++averages.missing;
        else averages.values[node] = toFloat(sums[node] / counts[node]);
    }
    return averages;
}

}  // namespace host::io
