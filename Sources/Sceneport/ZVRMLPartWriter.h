// What writing one part at one frame needs, and the steps that plain parts and skins share: the
// camera placement of the frame, the file's global model, the part's transform and its shapes.
#pragma once

#include "ZVRMLAdapter.h"

#include "hostmodel.h"

// The one coordinate list of a file, shared by every face set of every part.
inline constexpr const char* kVRMLSharedCoordinates = "global_coords";

class ZVRMLPartWriter {
public:
    // `part` may be null for a writer that only opens the global model.
    ZVRMLPartWriter(ZVRMLAdapter& adapter, FePartStr* part, int frameIndex, float* nodeCoords,
                    int nodeCount, bool hasModelCenter, int contourOffset);

    // The camera placement of the frame, split into scale, rotation and translation.
    void placeCamera();
    // The file's global model transform with that placement; only the first call in a file
    // writes it.
    void openGlobalModel(float* modelCenter);
    // The global model, then the part's own named transform.
    void openPart(float* modelCenter);

    // Where the part's contour values start, or null when it is written without them.
    const float* colorBase() const { return m_colorBase; }
    bool needsElementColors() const;

    // One shape: the elements of `meshType` in `connectivity`, coloured from `colorValues` (the
    // values of its first element) when the contours are per element.
    void writeShape(_FePartMeshType meshType, int elementCount, const int* connectivity,
                    const float* colorValues);

private:
    // How many of `count` elements, their values starting at `first`, have a value. A skin takes
    // one value per face from the part's first, and can have more faces than the part has
    // elements: for the model's last part the array would end before the faces do. Those faces
    // get the neutral colour instead of a read past the host's array.
    int valuedElements(const float* first, int count) const;

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
