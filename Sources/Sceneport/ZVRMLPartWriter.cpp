#include "ZVRMLPartWriter.h"

#include "ZVRMLElementKinds.h"
#include "ZVRMLWriter.h"

#include "hostmath.h"

#include <algorithm>
#include <cstddef>

ZVRMLPartWriter::ZVRMLPartWriter(ZVRMLAdapter& adapter, FePartStr* part, int frameIndex,
                                 float* nodeCoords, int nodeCount, bool hasModelCenter,
                                 int contourOffset)
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

void ZVRMLPartWriter::placeCamera() {
    double matrix[4][4];
    ZglInitMatrix(matrix);
    ResultObjGetCameraMatrix(m_adapter.params.model, m_frameIndex, 1.0, matrix);
    m_adapter.getIndividualTransformationsFromMatrix(matrix, m_scale, m_rotation, m_translation);
}

void ZVRMLPartWriter::openGlobalModel(float* modelCenter) {
    float noCenter[3] = {0.0f, 0.0f, 0.0f};
    globalVRMLWriter.beginGlobalModel(modelCenter != nullptr ? modelCenter : noCenter, m_scale,
                                      m_rotation, m_translation);
}

void ZVRMLPartWriter::openPart(float* modelCenter) {
    openGlobalModel(modelCenter);
    char name[256] = {};
    FePartGetNameWithoutId(m_part, name);
    globalVRMLWriter.beginTransform(name);
}

bool ZVRMLPartWriter::needsElementColors() const {
    return m_colorBase != nullptr && m_record->valuesPerElement != 0;
}

void ZVRMLPartWriter::writeShape(_FePartMeshType meshType, int elementCount,
                                 const int* connectivity, const float* colorValues) {
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
        kVRMLSharedCoordinates, m_record != nullptr ? m_record->values : nullptr,
        m_record != nullptr ? m_record->elementColors : noColors, skipped, perElement,
        m_hasModelCenter, contours);
    globalVRMLWriter.closeBrace();
}

int ZVRMLPartWriter::valuedElements(const float* first, int count) const {
    const ContourInfoStr* shown =
        WindowGetContourInfo(m_adapter.params.window, m_adapter.params.model);
    // Values that are not the window's belong to whoever put them in the record, and only
    // they know the length.
    if (shown->values != m_record->values) return count;
    const std::ptrdiff_t available = shown->values + shown->valueCount - first;
    return static_cast<int>(std::clamp<std::ptrdiff_t>(available, 0, count));
}
