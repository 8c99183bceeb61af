// Writing one part into the open file: every element type it holds as one shape (or, for the
// skin of a solid part, its outer triangles and quadrilaterals), each with its appearance, its
// contour colours and without the elements that have failed at the frame. Every face set refers
// to the model's one coordinate list; node numbers are written as the host gives them.
#include "ZVRMLAdapter.h"
#include "ZVRMLElementKinds.h"
#include "ZVRMLExportResult.h"
#include "ZVRMLPartWriter.h"
#include "ZVRMLWriter.h"

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
        noteVRMLShapeWritten(exportStatus);
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
    noteVRMLShapeWritten(exportStatus);
    globalVRMLWriter.closeGroup();
}

void ZVRMLAdapter::exportAnimations(const std::map<double, float*>& frames, int nodeCount) {
    // The animation drives the file's shared coordinate list, so it must be written after the
    // global model that defines it (after endGlobalModel): VRML routes may only name nodes that
    // stand earlier in the file.
    globalVRMLWriter.writeCoordinateAnimation(frames, nodeCount, kVRMLSharedCoordinates);
}
