// Writing one part into the open file: every element type it holds as one shape (or, for the
// skin of a solid part, its outer triangles and quadrilaterals), each with its appearance, its
// contour colours and without the elements that have failed at the frame. Every face set refers
// to the model's one coordinate list; node numbers are written as the host gives them.
#include "ZVRMLAdapter.h"
#include "ZVRMLElementKinds.h"
#include "ZVRMLWriter.h"

#include "hostmath.h"

#include <algorithm>
#include <cstddef>

namespace {

// The one coordinate list of a file, shared by every face set of every part.
constexpr const char* kSharedCoordinates = "global_coords";

// After a shape is written, an export that had written nothing ("nothing but one-dimensional
// parts so far") has written something.
void noteShapeWritten(int& exportStatus) {
    if (exportStatus == 3) exportStatus = 2;
}

}  // namespace

// What writing one part at one frame needs, and the steps that plain parts and skins share.
class ZVRMLPartWriter {
public:
    ZVRMLPartWriter(ZVRMLAdapter& adapter, FePartStr* part, int frameIndex, float* nodeCoords,
                    int nodeCount, bool hasModelCenter, int contourOffset)
        : m_adapter(adapter),
          m_part(part),
          m_frameIndex(frameIndex),
          m_nodeCoords(nodeCoords),
          m_nodeCount(nodeCount),
          m_hasModelCenter(hasModelCenter),
          m_record(adapter.contourInfo) {
        // A frame whose contour record could not be filled has no values: its parts are written
        // without contour colouring, whatever the request asked for.
        const float* values = m_record != nullptr ? m_record->values : nullptr;
        m_contours = adapter.partHasContours && values != nullptr;
        m_colorBase = m_contours && contourOffset >= 0 ? values + contourOffset : nullptr;
    }

    // The camera placement of the frame, split into scale, rotation and translation.
    void placeCamera() {
        double matrix[4][4];
        ZglInitMatrix(matrix);
        ResultObjGetCameraMatrix(m_adapter.params.model, m_frameIndex, 1.0, matrix);
        m_adapter.getIndividualTransformationsFromMatrix(matrix, m_scale, m_rotation, m_translation);
    }

    // The file's global model transform (only the first part of a file writes it) and the
    // part's own named transform.
    void openPart(float* modelCenter) {
        float noCenter[3] = {0.0f, 0.0f, 0.0f};
        globalVRMLWriter.beginGlobalModel(modelCenter != nullptr ? modelCenter : noCenter, m_scale,
                                          m_rotation, m_translation);
        char name[256] = {};
        FePartGetNameWithoutId(m_part, name);
        globalVRMLWriter.beginTransform(name);
    }

    // Where the part's contour values start, or null when it is written without them.
    const float* colorBase() const { return m_colorBase; }
    bool needsElementColors() const {
        return m_colorBase != nullptr && m_record->valuesPerElement != 0;
    }

    // One shape: the elements of `meshType` in `connectivity`, coloured from `colorValues` (the
    // values of its first element) when the contours are per element.
    void writeShape(_FePartMeshType meshType, int elementCount, const int* connectivity,
                    const float* colorValues) {
        globalVRMLWriter.beginShape();
        m_adapter.exportAppearances(m_part);

        const bool elementColors = needsElementColors() && colorValues != nullptr;
        if (elementColors) {
            const int faces = facesPerElementOfMeshType(meshType);
            // The signature takes the values writable; they are only read.
            m_record->elementColors = m_adapter.getPerElementColors(
                const_cast<float*>(colorValues), valuedElements(colorValues, elementCount), 0,
                faces);
            m_record->elementColors.resize(3 * static_cast<std::size_t>(elementCount) * faces,
                                           kVRMLNeutralGrey);
        }
        const std::set<int> skipped =
            m_adapter.getDeletedElements(m_part, meshType, m_frameIndex, elementCount);

        static const std::vector<int> noColors;
        const bool perElement = m_record != nullptr && m_record->valuesPerElement == 1;
        // Per-element contours without colours of their own (no value offset) are left out
        // rather than drawn in the colours of an earlier shape.
        const bool contours = m_contours && (!perElement || elementColors);
        globalVRMLWriter.writeIndexedFaceSet(
            kVRMLKindOfMeshType[meshType], m_nodeCount, m_nodeCoords, elementCount, connectivity,
            kSharedCoordinates, m_record != nullptr ? m_record->values : nullptr,
            m_record != nullptr ? m_record->elementColors : noColors, skipped, perElement,
            m_hasModelCenter, contours);
        globalVRMLWriter.closeBrace();
    }

private:
    // How many of `count` elements, their values starting at `first`, have a value. A skin takes
    // one value per face from the part's first, and can have more faces than the part has
    // elements: for the model's last part the array would end before the faces do. Those faces
    // get the neutral colour instead of a read past the host's array.
    int valuedElements(const float* first, int count) const {
        const ContourInfoStr* shown =
            WindowGetContourInfo(m_adapter.params.window, m_adapter.params.model);
        // Values that are not the window's belong to whoever put them in the record, and only
        // they know the length.
        if (shown->values != m_record->values) return count;
        const std::ptrdiff_t available = shown->values + shown->valueCount - first;
        return static_cast<int>(std::clamp<std::ptrdiff_t>(available, 0, count));
    }

    ZVRMLAdapter& m_adapter;
    FePartStr* m_part;
    int m_frameIndex;
    float* m_nodeCoords;
    int m_nodeCount;
    bool m_hasModelCenter;
    ZVRMLAdapter::_ContourExportInfoStr* m_record;
    bool m_contours = false;
    const float* m_colorBase = nullptr;
    float m_scale[3] = {1.0f, 1.0f, 1.0f};
    float m_rotation[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    float m_translation[3] = {0.0f, 0.0f, 0.0f};
};

void ZVRMLAdapter::filterParts(FePartStr* part, int frameIndex, float* nodeCoords, int nodeCount,
                               float* modelCenter, bool hasModelCenter, int& exportStatus,
                               int contourOffset) {
    FePartMeshDataStr mesh{};
    FePartGetMeshData(part, &mesh);
    ZVRMLPartWriter writer(*this, part, frameIndex, nodeCoords, nodeCount, hasModelCenter,
                           contourOffset);
    writer.placeCamera();
    writer.openPart(modelCenter);
    const bool solidPart = FePartIsPart1d2d3d(part) == 3;

    // A part's element values run shell types first, each type after the one before; the solid
    // types run the same way from the part's first value.
    int shellValuesBefore = 0;
    int solidValuesBefore = 0;
    for (int type = 0; type < FE_MESH_TYPE_COUNT; ++type) {
        const int count = mesh.elementCounts != nullptr ? mesh.elementCounts[type] : 0;
        if (count <= 0) continue;
        const bool shell = isVRMLShellMeshType(type);
        int& valuesBefore = shell ? shellValuesBefore : solidValuesBefore;
        const int firstValue = valuesBefore;
        valuesBefore += count;

        // A solid part's list array holds the solid types alone, so shell elements reported for
        // one have no list to be read from: they are left out.
        if (solidPart && shell) continue;
        const int list = solidPart ? type - kVRMLFirstSolidMeshType : type;
        const int* connectivity =
            mesh.connectivityLists != nullptr ? mesh.connectivityLists[list] : nullptr;
        if (connectivity == nullptr) continue;

        const float* base = writer.colorBase();
        writer.writeShape(static_cast<_FePartMeshType>(type), count, connectivity,
                          base != nullptr ? base + firstValue : nullptr);
        noteShapeWritten(exportStatus);
    }
    globalVRMLWriter.closeGroup();
}

void ZVRMLAdapter::filterSkinOnly(FePartStr* part, int frameIndex, float* nodeCoords,
                                  int nodeCount, float* modelCenter, bool hasModelCenter,
                                  int& exportStatus, int contourOffset) {
    ZVRMLPartWriter writer(*this, part, frameIndex, nodeCoords, nodeCount, hasModelCenter,
                           contourOffset);
    writer.placeCamera();

    int triangleCount = 0;
    int* triangles = nullptr;
    int quadCount = 0;
    int* quads = nullptr;
    FePartGetSkinElementConnectivity(part, &triangleCount, &triangles, &quadCount, &quads);
    const bool hasSkin =
        (triangleCount != 0 && triangles != nullptr) || (quadCount != 0 && quads != nullptr);
    // A part without skin leaves no trace, not even its transform: the next part with one
    // opens the global model.
    if (!hasSkin) return;

    writer.openPart(modelCenter);
    if (triangleCount > 0 && triangles != nullptr)
        writer.writeShape(FE_MESH_TRIA3, triangleCount, triangles, writer.colorBase());
    if (quadCount > 0 && quads != nullptr) {
        // The quadrilaterals' values follow those of the part's 3- and 6-node triangles.
        const float* quadValues = nullptr;
        if (writer.needsElementColors()) {
            FePartMeshDataStr mesh{};
            FePartGetMeshData(part, &mesh);
            const int* counts = mesh.elementCounts;
            quadValues = writer.colorBase() +
                         (counts != nullptr ? counts[FE_MESH_TRIA3] + counts[FE_MESH_TRIA6] : 0);
        }
        writer.writeShape(FE_MESH_QUAD4, quadCount, quads, quadValues);
    }
    noteShapeWritten(exportStatus);
    globalVRMLWriter.closeGroup();
}

void ZVRMLAdapter::exportAnimations(const std::map<double, float*>& frames, int nodeCount) {
    // The animation drives the file's shared coordinate list, so it must be written after the
    // global model that defines it (after endGlobalModel): VRML routes may only name nodes that
    // stand earlier in the file.
    globalVRMLWriter.writeCoordinateAnimation(frames, nodeCount, kSharedCoordinates);
}
