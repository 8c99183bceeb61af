#include "scene.h"

#include "mesh_types.h"
#include "text_buffers.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <stdexcept>
#include <string>

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
            *static_cast<int*>(out) = shownElementCount();
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

int Part::shownElementCount() const {
    // The mesh record of a part shown as its skin counts its faces (refreshMeshData).
    if (!shownAsSkin || dimensionality() != 3) return totalElementCount();
    return meshElementCounts[FE_MESH_TRIA3] + meshElementCounts[FE_MESH_QUAD4];
}

int Part::valuePosition(ElementRef element) const {
    int position = element.index;
    for (int type = 0; type < element.meshType; ++type) position += elementCount(type);
    return position;
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
    if (shownAsSkin && solidPart) {
        // The skin's triangles and quadrilaterals take the shell types' slots, which a 3D part's
        // solid lists never use, so the plug-in finds each face's value where the window has it.
        const Skin& faces = outerSkin();
        meshElementCounts.fill(0);
        meshElementCounts[FE_MESH_TRIA3] = static_cast<int>(faces.triangleOwner.size());
        meshElementCounts[FE_MESH_QUAD4] = static_cast<int>(faces.quadOwner.size());
    }
}

namespace {

// The distinct corners of a face in its own cyclic order: a degenerate face (a collapsed
// solid) loses its repeated nodes and may become a triangle or vanish. The last corner kept and
// the first stay in registers: this runs for every face, more than once.
int distinctCorners(const int* element, const mesh_faces::Face& face, std::array<int, 4>& out) {
    const int first = element[face.positions[0]];
    int previous = first;
    int count = 1;
    out[0] = first;
    for (int k = 1; k < face.nodeCount; ++k) {
        const int node = element[face.positions[k]];
        if (node == previous) continue;
        out[count++] = previous = node;
    }
    while (count > 1 && out[count - 1] == first) --count;
    return count;
}

// A face's distinct corners in ascending order, -1 before them when there are fewer than four.
struct FaceKey {
    std::array<int, 4> sorted;
    // Spelt out: the library's comparison of arrays calls out of line, and this one has a single
    // branch, which runs for every pair of faces in a bucket.
    bool operator==(const FaceKey& other) const {
        return ((sorted[0] ^ other.sorted[0]) | (sorted[1] ^ other.sorted[1]) | (sorted[2] ^ other.sorted[2]) |
                (sorted[3] ^ other.sorted[3])) == 0;
    }
    bool operator<(const FaceKey& other) const {
        for (int k = 0; k < 4; ++k)
            if (sorted[k] != other.sorted[k]) return sorted[k] < other.sorted[k];
        return false;
    }
};

FaceKey keyOf(const std::array<int, 4>& corners, int count) {
    // Locals rather than an array indexed by the count, so that the sort stays in registers.
    std::array<int, 4> ascending{corners[0], count > 1 ? corners[1] : -1, count > 2 ? corners[2] : -1,
                                 count > 3 ? corners[3] : -1};
    // A sorting network of min and max: no branch on the node numbers, which no predictor guesses.
    auto order = [&ascending](int low, int high) {
        const int smaller = std::min(ascending[low], ascending[high]);
        ascending[high] = std::max(ascending[low], ascending[high]);
        ascending[low] = smaller;
    };
    order(0, 1), order(2, 3), order(0, 2), order(1, 3), order(1, 2);
    return FaceKey{ascending};
}

// Solid faces get 32-bit numbers in skin order: mesh type, element, face. The search keeps one
// number per face where a copy of the face's type, element and face index would take three.
class SolidFaceNumbers {
public:
    explicit SolidFaceNumbers(const Part& part) {
        uint64_t next = 0;
        for (int type = FE_MESH_FIRST_SOLID; type < FE_MESH_TYPE_COUNT; ++type) {
            m_first[type] = next;
            next += static_cast<uint64_t>(part.elementCount(type)) * kSolidFaces[type].size();
        }
        m_first[FE_MESH_TYPE_COUNT] = next;
        if (next > UINT32_MAX)
            throw std::length_error("part \"" + part.name + "\": its " + std::to_string(next) +
                                    " solid faces are more than the skin search can number");
    }

    uint32_t total() const { return static_cast<uint32_t>(m_first[FE_MESH_TYPE_COUNT]); }

    struct Face {
        ElementRef element;
        int face;
    };
    Face faceOf(uint32_t number) const {
        int type = FE_MESH_FIRST_SOLID;
        while (number >= m_first[type + 1]) ++type;
        const auto local = static_cast<uint32_t>(number - m_first[type]);
        const auto faceCount = static_cast<uint32_t>(kSolidFaces[type].size());
        return {{type, static_cast<int>(local / faceCount)}, static_cast<int>(local % faceCount)};
    }

private:
    std::array<uint64_t, FE_MESH_TYPE_COUNT + 1> m_first{};
};

// Calls visit(number, owner, element's nodes, face) for every solid face, in number order.
template <typename Visit>
void forEachSolidFace(const Part& part, Visit&& visit) {
    uint32_t number = 0;
    for (int type = FE_MESH_FIRST_SOLID; type < FE_MESH_TYPE_COUNT; ++type) {
        const int* nodes = part.connectivity[type].data();
        for (int element = 0, count = part.elementCount(type); element < count; ++element) {
            for (const mesh_faces::Face& face : kSolidFaces[type]) visit(number++, ElementRef{type, element}, nodes, face);
            nodes += kNodesPerElement[type];
        }
    }
}

// Which solid faces another solid of the part has too. Faces with one corner set have one
// smallest corner, so bucketing the faces by it, counting sort style, puts every face beside all
// the faces it can match: a handful in a real mesh. The buckets sit in one array of face
// numbers, one bucket per node of the part.
class SharedFaceSearch {
public:
    explicit SharedFaceSearch(const Part& part) : m_part(part), m_numbers(part), m_shared(m_numbers.total(), false) {}

    std::vector<bool> run() && {
        if (m_numbers.total() == 0) return {};  // no solids: no bucket per node either
        countFacesPerBucket();
        placeFacesInBuckets();
        markFacesSharedWithinBuckets();
        return std::move(m_shared);
    }

private:
    // The smallest corner, repeated corners or not: a degenerate face goes into a bucket like
    // any other, and its key (two corners or fewer) matches no face of the skin.
    size_t bucketOf(const int* element, const mesh_faces::Face& face) const {
        int smallest = element[face.positions[0]];
        for (int k = 1; k < face.nodeCount; ++k) smallest = std::min(smallest, element[face.positions[k]]);
        const uint32_t bucket = static_cast<uint32_t>(smallest) - static_cast<uint32_t>(m_part.firstNode);
        if (bucket >= static_cast<uint32_t>(m_part.nodeCount)) throwNodeOutsidePart(smallest);
        return bucket;
    }

    [[noreturn]] void throwNodeOutsidePart(int node) const {
        throw std::out_of_range("part \"" + m_part.name + "\": a solid names node " + std::to_string(node) +
                                ", outside the part's own nodes");
    }

    // m_bucketEnd[b + 1] counts bucket b's faces, then the running sum makes it where bucket b
    // starts; placing the faces moves it on to where bucket b ends.
    void countFacesPerBucket() {
        m_bucketEnd.assign(static_cast<size_t>(m_part.nodeCount) + 1, 0);
        forEachSolidFace(m_part, [&](uint32_t, ElementRef, const int* nodes, const mesh_faces::Face& face) {
            ++m_bucketEnd[bucketOf(nodes, face) + 1];
        });
        for (size_t b = 1; b < m_bucketEnd.size(); ++b) m_bucketEnd[b] += m_bucketEnd[b - 1];
    }

    void placeFacesInBuckets() {
        m_bucketed.resize(m_numbers.total());
        forEachSolidFace(m_part, [&](uint32_t number, ElementRef, const int* nodes, const mesh_faces::Face& face) {
            m_bucketed[m_bucketEnd[bucketOf(nodes, face)]++] = number;
        });
    }

    void markFacesSharedWithinBuckets() {
        std::vector<std::pair<FaceKey, uint32_t>> keyed;  // for the rare bucket too big for pairs
        uint32_t begin = 0;
        for (size_t b = 0; b + 1 < m_bucketEnd.size(); ++b) {
            const uint32_t end = m_bucketEnd[b];
            const auto bucket = std::span(m_bucketed).subspan(begin, end - begin);
            if (bucket.size() > kPairwiseBucket)
                markSharedFacesBySorting(bucket, keyed);
            else if (bucket.size() > 1)
                markSharedFacesPairwise(bucket);
            begin = end;
        }
    }

    // A real mesh's bucket holds a few faces (a hexahedral mesh's six, a tetrahedral mesh's about
    // two dozen), whose keys fit on the stack; comparing every pair asks mostly "different?",
    // which the processor guesses right, where sorting does not. A face of three solids
    // (non-manifold input) matches both others and is inside all three.
    static constexpr size_t kPairwiseBucket = 32;

    void markSharedFacesPairwise(std::span<const uint32_t> bucket) {
        std::array<FaceKey, kPairwiseBucket> keys;
        for (size_t i = 0; i < bucket.size(); ++i) keys[i] = keyOfFace(bucket[i]);
        for (size_t i = 0; i < bucket.size(); ++i)
            for (size_t j = i + 1; j < bucket.size(); ++j)
                if (keys[i] == keys[j]) m_shared[bucket[i]] = m_shared[bucket[j]] = true;
    }

    // A node that many solids meet at (a fan): sorting the keys keeps the work n log n, and each
    // run of equal keys is one face shared by all its solids.
    void markSharedFacesBySorting(std::span<const uint32_t> bucket, std::vector<std::pair<FaceKey, uint32_t>>& keyed) {
        keyed.clear();
        for (uint32_t number : bucket) keyed.emplace_back(keyOfFace(number), number);
        std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        for (size_t first = 0; first < keyed.size();) {
            size_t last = first + 1;
            while (last < keyed.size() && keyed[last].first == keyed[first].first) ++last;
            if (last - first > 1)
                for (size_t i = first; i < last; ++i) m_shared[keyed[i].second] = true;
            first = last;
        }
    }

    FaceKey keyOfFace(uint32_t number) const {
        const SolidFaceNumbers::Face face = m_numbers.faceOf(number);
        const int* nodes = m_part.connectivity[face.element.meshType].data() +
                           static_cast<size_t>(face.element.index) * kNodesPerElement[face.element.meshType];
        std::array<int, 4> corners{};
        const int count = distinctCorners(nodes, kSolidFaces[face.element.meshType][face.face], corners);
        return keyOf(corners, count);
    }

    const Part& m_part;
    SolidFaceNumbers m_numbers;
    std::vector<bool> m_shared;         // per face number
    std::vector<uint32_t> m_bucketEnd;  // per bucket, one more at the front
    std::vector<uint32_t> m_bucketed;   // face numbers, bucket after bucket
};

}  // namespace

// The skin is the set of solid faces that no other solid of the part shares, matched by their
// sorted distinct corners. The search is linear in the number of faces (for any mesh whose
// nodes each meet a bounded number of solids) and keeps one 32-bit number per face and one per
// node while it runs; skin faces keep element order, and each remembers the solid it bounds.
Part::Skin& Part::outerSkin() {
    if (skin) return *skin;
    const std::vector<bool> shared = SharedFaceSearch(*this).run();
    Skin found;
    forEachSolidFace(*this, [&](uint32_t number, ElementRef owner, const int* nodes, const mesh_faces::Face& face) {
        if (shared[number]) return;
        std::array<int, 4> corners{};
        const int count = distinctCorners(nodes, face, corners);
        if (count < 3) return;  // a collapsed solid's face that has become an edge or a point
        auto& list = count == 3 ? found.triangles : found.quads;
        list.insert(list.end(), corners.begin(), corners.begin() + count);
        (count == 3 ? found.triangleOwner : found.quadOwner).push_back(owner);
    });
    return skin.emplace(std::move(found));
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
    const double unit = placement.unit;
    const std::array<double, 3>& offset = placement.offset;
    for (int node = 0; node < nodes; ++node) {
        const float* reference = &referenceCoords[3 * static_cast<size_t>(node)];
        float xyz[3] = {reference[0], reference[1], reference[2]};
        if (given != nullptr)
            std::copy_n(&(*given)[3 * static_cast<size_t>(node)], 3, xyz);
        else if (motion)
            motion(frameIndex, node, xyz);
        float* out = &currentCoords[3 * static_cast<size_t>(node)];
        for (int axis = 0; axis < 3; ++axis)
            out[axis] = static_cast<float>(
                (reference[axis] + factor[axis] * (xyz[axis] - reference[axis]) - offset[axis]) * unit);
    }
    if (placement.framesView) {
        if (static_cast<int>(cameras.size()) <= frameIndex) cameras.resize(frameIndex + 1, host::identityMatrix());
        cameras[frameIndex] = host::framingCamera(placement, currentCoords);
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
