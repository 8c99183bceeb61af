// hostmodel: attribute databases, parts and meshes.
#include "host_calls.h"
#include "mesh_types.h"
#include "scene.h"
#include "session_state.h"
#include "handed_memory.h"
#include "text_buffers.h"

#include <cstdarg>

ZDbs::~ZDbs() = default;

int DbsVaGetValues(const ZDbs* object, int key, ...) {
    HOST_CALL();
    va_list arguments;
    va_start(arguments, key);
    int read = 0;
    for (; key != 0; key = va_arg(arguments, int)) {
        void* out = va_arg(arguments, void*);
        if (object != nullptr && out != nullptr && object->ReadValue(key, out)) ++read;
    }
    va_end(arguments);
    return read;
}

namespace {

host::Part* partOf(FePartStr* part) { return static_cast<host::Part*>(part); }

// The element a mesh type and index name: for a solid part the shell types name skin faces,
// which stand for the solid they bound.
host::ElementRef resolveElement(host::Part& part, _FePartMeshType meshType, int index) {
    if (part.dimensionality() == 3 && !host::isSolid(meshType)) {
        const host::Part::Skin& skin = part.outerSkin();
        const auto& owners = meshType == FE_MESH_TRIA3 ? skin.triangleOwner : skin.quadOwner;
        if (index >= 0 && index < static_cast<int>(owners.size())) return owners[index];
        return {meshType, -1};
    }
    return {meshType, index};
}

}  // namespace

ZObjectCreator* fePartClass_p = reinterpret_cast<ZObjectCreator*>(&fePartClass_p);

int FePartGetMeshData(FePartStr* part, FePartMeshDataStr* mesh) {
    HOST_CALL();
    if (part == nullptr || mesh == nullptr) return 0;
    host::Part& source = *partOf(part);
    *mesh = FePartMeshDataStr{};
    mesh->nodesPerElement = host::kNodesPerElement.data();
    mesh->dimensionality = source.dimensionality();
    mesh->totalElementCount = source.totalElementCount();
    mesh->part = part;
    mesh->firstNode = source.firstNode;
    mesh->nodeCount = source.nodeCount;
    mesh->elementCounts = source.meshElementCounts.data();
    mesh->connectivityLists = source.meshLists.data();
    return 1;
}

void FePartGetNameWithoutId(FePartStr* part, char* name) {
    HOST_CALL();
    if (name == nullptr) return;
    host::copyToBuffer(part != nullptr ? partOf(part)->name : std::string_view{}, name, 256);
}

int FePartIsPart1d2d3d(FePartStr* part) {
    HOST_CALL();
    return part != nullptr ? partOf(part)->dimensionality() : 0;
}

int FePartGetUniquePartNodes(FePartStr* part, int** nodeList) {
    HOST_CALL();
    if (part == nullptr) return 0;
    const host::Part& source = *partOf(part);
    if (nodeList != nullptr) {
        *nodeList = host::handOverArray<int>(source.nodeCount);
        for (int i = 0; i < source.nodeCount; ++i) (*nodeList)[i] = source.firstNode + i;
    }
    return source.nodeCount;
}

int FePartIsContourOnOff(FePartStr* part) {
    HOST_CALL();
    return part != nullptr && partOf(part)->contoursShown ? 1 : 0;
}

int FePartGetSkinElementConnectivity(FePartStr* part, int* triCount, int** triConnectivity, int* quadCount,
                                     int** quadConnectivity) {
    HOST_CALL();
    int triangles = 0, quads = 0;
    int* triangleList = nullptr;
    int* quadList = nullptr;
    if (part != nullptr && partOf(part)->dimensionality() == 3) {
        host::Part::Skin& skin = partOf(part)->outerSkin();
        triangles = static_cast<int>(skin.triangles.size() / 3);
        quads = static_cast<int>(skin.quads.size() / 4);
        triangleList = triangles > 0 ? skin.triangles.data() : nullptr;
        quadList = quads > 0 ? skin.quads.data() : nullptr;
    }
    if (triCount) *triCount = triangles;
    if (triConnectivity) *triConnectivity = triangleList;
    if (quadCount) *quadCount = quads;
    if (quadConnectivity) *quadConnectivity = quadList;
    return 1;
}

int FePartIsElementFailingGivenPart(FePartStr* part, _FePartMeshType meshType, int elementIndex, int frameIndex) {
    HOST_CALL();
    if (part == nullptr || meshType < 0 || meshType >= FE_MESH_TYPE_COUNT) return 0;
    host::Part& source = *partOf(part);
    return source.hasFailed(resolveElement(source, meshType, elementIndex), frameIndex) ? 1 : 0;
}

int FePartIsElementOff(FePartStr* part, _FePartMeshType meshType, int elementIndex, int /*frameIndex*/) {
    HOST_CALL();
    if (part == nullptr || meshType < 0 || meshType >= FE_MESH_TYPE_COUNT) return 0;
    host::Part& source = *partOf(part);
    const host::ElementRef element = resolveElement(source, meshType, elementIndex);
    return source.switchedOff.count({element.meshType, element.index}) ? 1 : 0;
}

int DrawGetTransparency(FePartStr* part) {
    HOST_CALL();
    return part != nullptr ? partOf(part)->opacity : 255;
}

int MngrGetObjectList(ModelStr* model, ZObjectCreator* objectClass, MngrObjectListStr** list) {
    HOST_CALL();
    if (list == nullptr) return 0;
    *list = nullptr;
    if (model == nullptr) return 0;
    *list = host::handOverArray<MngrObjectListStr>(1);
    if (objectClass == fePartClass_p && !model->partObjects.empty()) {
        (*list)->count = static_cast<int>(model->partObjects.size());
        (*list)->objects = model->partObjects.data();
    }
    return (*list)->count;
}
