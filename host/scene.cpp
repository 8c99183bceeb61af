#include "scene.h"

#include "mesh_types.h"
#include "text_buffers.h"

#include <algorithm>
#include <cmath>
#include <span>

namespace host {

Matrix4 identityMatrix() {
    Matrix4 matrix{};
    for (int i = 0; i < 4; ++i) matrix[i][i] = 1.0;
    return matrix;
}

// ---------------------------------------------------------------------------------------------
// Part

Part::Part() {
    state = 1;  // parts start flagged, as a freshly loaded model shows every part selected
    color = 0;
}

bool Part::ReadValue(int key, void* out) const {
    switch (key) {
        case DBS_PART_ELEMENT_COUNT:
        case DBS_PART_RESULT_ELEMENT_COUNT:
            *static_cast<int*>(out) = totalElementCount();
            return true;
        default: return false;
    }
}

int Part::elementCount(int meshType) const {
    return static_cast<int>(connectivity[meshType].size()) / kNodesPerElement[meshType];
}

int Part::totalElementCount() const {
    int total = lineElementCount();
    for (int type = 0; type < FE_MESH_TYPE_COUNT; ++type) total += elementCount(type);
    return total;
}

int Part::dimensionality() const {
    if (declaredDimensionality != 0) return declaredDimensionality;
    int dimension = lineConnectivity.empty() ? 0 : 1;
    for (const MeshTypeInfo& info : kMeshTypes)
        if (!connectivity[info.type].empty()) dimension = std::max(dimension, info.dimension);
    return dimension;
}

bool Part::hasFailed(ElementRef element, int frameIndex) const {
    const std::vector<int>& frames = failFrame[element.meshType];
    if (element.index < 0 || element.index >= static_cast<int>(frames.size())) return false;
    return frames[element.index] <= frameIndex;
}

void Part::refreshMeshData() {
    const bool solidPart = dimensionality() == 3;
    meshLists.fill(nullptr);
    for (int type = 0; type < FE_MESH_TYPE_COUNT; ++type) {
        meshElementCounts[type] = elementCount(type);
        int* list = connectivity[type].empty() ? nullptr : connectivity[type].data();
        // A solid part's list array starts with the first solid type.
        if (!solidPart)
            meshLists[type] = list;
        else if (isSolid(type))
            meshLists[type - FE_MESH_FIRST_SOLID] = list;
    }
    skin.reset();
}

namespace {

// The distinct corners of a face in its own cyclic order: a degenerate face (a collapsed
// solid) loses its repeated nodes and may become a triangle or vanish.
int distinctCorners(const int* element, const ZVRMLFace& face, std::array<int, 4>& out) {
    int count = 0;
    for (int k = 0; k < face.nodeCount; ++k) {
        const int node = element[face.positions[k]];
        if (count > 0 && out[count - 1] == node) continue;
        out[count++] = node;
    }
    while (count > 1 && out[count - 1] == out[0]) --count;
    return count;
}

struct FaceKey {
    std::array<int, 4> sorted{-1, -1, -1, -1};
    bool operator==(const FaceKey&) const = default;
};

FaceKey keyOf(const std::array<int, 4>& corners, int count) {
    FaceKey key;
    // Insertion sort: at most four entries, and no call into the general sort per face.
    for (int i = 0; i < count; ++i) {
        int j = i;
        for (; j > 0 && key.sorted[j - 1] > corners[i]; --j) key.sorted[j] = key.sorted[j - 1];
        key.sorted[j] = corners[i];
    }
    return key;
}

uint64_t hashOf(const FaceKey& key) {
    uint64_t hash = 0x9E3779B97F4A7C15ull;
    for (int node : key.sorted) {
        hash ^= static_cast<uint32_t>(node);
        hash *= 0xFF51AFD7ED558CCDull;
        hash ^= hash >> 29;
    }
    return hash;
}

}  // namespace

// The skin is the set of solid faces that no other solid of the part shares. Faces are matched
// by their sorted corner nodes in one open-addressing table, so the work is linear in the number
// of faces; skin faces keep element order, and each remembers the solid it bounds.
Part::Skin& Part::outerSkin() {
    if (skin) return *skin;
    skin.emplace();

    struct FaceRef {
        int meshType, element, face;
    };
    std::vector<FaceRef> faces;
    size_t faceTotal = 0;
    for (int type = FE_MESH_FIRST_SOLID; type < FE_MESH_TYPE_COUNT; ++type)
        faceTotal += static_cast<size_t>(elementCount(type)) * kSolidFaces[type].size();
    faces.reserve(faceTotal);

    auto elementNodes = [this](const FaceRef& ref) {
        return connectivity[ref.meshType].data() +
               static_cast<size_t>(ref.element) * kNodesPerElement[ref.meshType];
    };

    size_t capacity = 16;
    while (capacity < 2 * faceTotal) capacity *= 2;
    std::vector<int32_t> slots(capacity, -1);
    std::vector<uint8_t> inner;  // 1: shared with another solid, or degenerate
    inner.reserve(faceTotal);

    std::array<int, 4> corners{};
    for (int type = FE_MESH_FIRST_SOLID; type < FE_MESH_TYPE_COUNT; ++type) {
        const auto& faceTable = kSolidFaces[type];
        for (int element = 0, count = elementCount(type); element < count; ++element) {
            for (int f = 0; f < static_cast<int>(faceTable.size()); ++f) {
                const FaceRef ref{type, element, f};
                const int id = static_cast<int>(faces.size());
                faces.push_back(ref);
                const int cornerCount = distinctCorners(elementNodes(ref), faceTable[f], corners);
                if (cornerCount < 3) {
                    inner.push_back(1);
                    continue;
                }
                inner.push_back(0);
                const FaceKey key = keyOf(corners, cornerCount);
                size_t slot = hashOf(key) & (capacity - 1);
                while (slots[slot] >= 0) {
                    const FaceRef& other = faces[slots[slot]];
                    std::array<int, 4> otherCorners{};
                    const int otherCount = distinctCorners(
                        elementNodes(other), kSolidFaces[other.meshType][other.face], otherCorners);
                    if (otherCount == cornerCount && keyOf(otherCorners, otherCount) == key) {
                        inner[slots[slot]] = 1;
                        inner[id] = 1;
                        break;
                    }
                    slot = (slot + 1) & (capacity - 1);
                }
                if (slots[slot] < 0) slots[slot] = id;
            }
        }
    }

    for (size_t id = 0; id < faces.size(); ++id) {
        if (inner[id]) continue;
        const FaceRef& ref = faces[id];
        const int count = distinctCorners(elementNodes(ref), kSolidFaces[ref.meshType][ref.face], corners);
        auto& list = count == 3 ? skin->triangles : skin->quads;
        list.insert(list.end(), corners.begin(), corners.begin() + count);
        (count == 3 ? skin->triangleOwner : skin->quadOwner).push_back({ref.meshType, ref.element});
    }
    return *skin;
}

}  // namespace host

// ---------------------------------------------------------------------------------------------
// Model

ModelStr::ModelStr() { appObject.model = this; }

int ModelStr::totalElementCount() const {
    int total = 0;
    for (const auto& part : parts) total += part->totalElementCount();
    return total;
}

void ModelStr::refreshPartLists() {
    partObjects.clear();
    resultParts.clear();
    for (const auto& part : parts) {
        FePartStr* object = part.get();
        partObjects.push_back(object);
        resultParts.push_back(object);
        part->refreshMeshData();
    }
    result.partCount = hasResult ? static_cast<int>(resultParts.size()) : 0;
    result.parts = resultParts.empty() ? nullptr : resultParts.data();
    result.nodeCount = nodeCount();
    if (currentCoords.size() != referenceCoords.size()) {
        currentCoords = referenceCoords;
        shownFrame = -1;
    }
    result.nodeCoords = currentCoords.empty() ? nullptr : currentCoords.data();
    m_generatedKey = {-1, -1};
}

bool ModelStr::setFrame(int frameIndex, const std::array<double, 3>& scale) {
    if (!hasResult || frameIndex < 0 || frameIndex >= frameCount()) return false;
    const int nodes = nodeCount();
    std::array<double, 3> factor{};
    for (int axis = 0; axis < 3; ++axis) factor[axis] = deformationScale[axis] * scale[axis];
    currentCoords.resize(referenceCoords.size());
    const std::vector<float>* given =
        frameIndex < static_cast<int>(frameCoords.size()) && frameCoords[frameIndex].size() == referenceCoords.size()
            ? &frameCoords[frameIndex]
            : nullptr;
    for (int node = 0; node < nodes; ++node) {
        const float* reference = &referenceCoords[3 * static_cast<size_t>(node)];
        float xyz[3] = {reference[0], reference[1], reference[2]};
        if (given != nullptr)
            std::copy_n(&(*given)[3 * static_cast<size_t>(node)], 3, xyz);
        else if (motion)
            motion(frameIndex, node, xyz);
        float* out = &currentCoords[3 * static_cast<size_t>(node)];
        for (int axis = 0; axis < 3; ++axis)
            out[axis] = static_cast<float>(reference[axis] + factor[axis] * (xyz[axis] - reference[axis]));
    }
    result.nodeCount = nodes;
    result.nodeCoords = currentCoords.empty() ? nullptr : currentCoords.data();
    result.currentState = frameIndex + 1;
    shownFrame = frameIndex;
    return true;
}

const std::vector<float>& ModelStr::fieldValues(int field, int frameIndex) {
    host::Field& source = fields.at(field);
    if (frameIndex >= 0 && frameIndex < static_cast<int>(source.frames.size()) && !source.frames[frameIndex].empty())
        return source.frames[frameIndex];
    if (m_generatedKey != std::make_pair(field, frameIndex)) {
        const int count = source.location == host::ValueLocation::Node ? nodeCount() : totalElementCount();
        m_generated.assign(count, 0.0f);
        if (source.generator)
            for (int i = 0; i < count; ++i) m_generated[i] = source.generator(frameIndex, i);
        m_generatedKey = {field, frameIndex};
    }
    return m_generated;
}

int ModelStr::findField(const std::string& name) const {
    for (size_t i = 0; i < fields.size(); ++i)
        if (fields[i].name == name) return static_cast<int>(i);
    return -1;
}
