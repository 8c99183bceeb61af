// The host's scene as the plug-in sees it through hostapi: parts, meshes, frames and failures.
#include "host_log.h"
#include "hostgen.h"
#include "hostmath.h"
#include "hostmodel.h"
#include "hostwin.h"
#include "scene_builder.h"
#include "session.h"
#include "test_support.h"


namespace {

using Scene = testing_support::HostTest;

std::vector<FePartStr*> partsOf(ModelStr* model) {
    MngrObjectListStr* list = nullptr;
    MngrGetObjectList(model, fePartClass_p, &list);
    std::vector<FePartStr*> parts;
    for (int i = 0; i < list->count; ++i) parts.push_back(static_cast<FePartStr*>(list->objects[i]));
    ZGuFree(list, __FILE__, __LINE__);
    return parts;
}

TEST_F(Scene, PartsNumberNodesInPartOrder) {
    host::ModelBuilder model("plates");
    auto first = model.part("First").nodes({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}});
    auto second = model.part("Second").nodes({{5, 0, 0}, {6, 0, 0}, {6, 1, 0}, {5, 1, 0}});
    second.elements(FE_MESH_QUAD4, {0, 1, 2, 3});
    first.nodes({{0, 2, 0}}).elements(FE_MESH_TRIA3, {0, 1, 3});  // pushes the second part's nodes along
    auto block = model.part("Block").nodes({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}})
                     .elements(FE_MESH_HEXA8, {0, 1, 2, 3, 4, 5, 6, 7});

    const std::vector<FePartStr*> parts = partsOf(model);
    ASSERT_EQ(parts.size(), 3u);
    FePartMeshDataStr mesh{};
    ASSERT_EQ(FePartGetMeshData(parts[1], &mesh), 1);
    ASSERT_EQ(mesh.elementCounts[FE_MESH_QUAD4], 1);
    EXPECT_EQ(std::vector<int>(mesh.connectivityLists[FE_MESH_QUAD4], mesh.connectivityLists[FE_MESH_QUAD4] + 4),
              (std::vector<int>{4, 5, 6, 7}));
    // A solid part's lists start with its first solid type.
    FePartGetMeshData(block.handle(), &mesh);
    EXPECT_EQ(mesh.connectivityLists[FE_MESH_HEXA8 - 4][7], 15);

    const FePostResultStr* result = MdbGetManagerObject(model, 0);
    ASSERT_EQ(result->nodeCount, 16);
    EXPECT_EQ(std::vector<float>(result->nodeCoords + 9, result->nodeCoords + 13), (std::vector<float>{0, 2, 0, 5}));

    int* nodes = nullptr;
    EXPECT_EQ(FePartGetUniquePartNodes(parts[1], &nodes), 4);
    EXPECT_EQ(std::vector<int>(nodes, nodes + 4), (std::vector<int>{4, 5, 6, 7}));
    EXPECT_EQ(host::hostLog().outstandingAllocations(), 1);
    ZGuFree(nodes, __FILE__, __LINE__);
    EXPECT_EQ(host::hostLog().outstandingAllocations(), 0);
}

TEST_F(Scene, FramesMoveNodesAndCameras) {
    host::ModelBuilder model("moving");
    model.part("P").nodes({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}).elements(FE_MESH_TRIA3, {0, 1, 2});
    model.frames({0.0f, 0.5f, 1.0f}).motion([](int frame, int node, float* xyz) { xyz[2] += frame * 10.0f + node; });
    host::Matrix4 turned = host::identityMatrix();
    turned[0] = {0, 1, 0, 0};
    turned[3] = {2, 4, 6, 1};
    model.camera(1, turned);

    float* times = nullptr;
    ASSERT_EQ(SimVidCommonGetTimeArray(model, &times), 3);
    EXPECT_EQ(std::vector<float>(times, times + 3), (std::vector<float>{0.0f, 0.5f, 1.0f}));
    ZGuFree(times, __FILE__, __LINE__);

    FePostResultStr* result = MdbGetManagerObject(model, 0);
    ASSERT_EQ(SimVideoCommonUpdateModelForGivenFrame(model, 1.0f, 3, 1.0, 1.0, 1.0), 1);
    EXPECT_EQ(result->currentState, 3);
    EXPECT_FLOAT_EQ(result->nodeCoords[2], 20.0f);
    EXPECT_FLOAT_EQ(result->nodeCoords[5], 21.0f);
    SimVideoCommonUpdateModelForGivenFrame(model, 0.5f, 2, 1.0, 1.0, 0.5);
    EXPECT_FLOAT_EQ(result->nodeCoords[5], 5.5f) << "the scale multiplies the displacement, not the position";
    EXPECT_EQ(SimVideoCommonUpdateModelForGivenFrame(model, 0.0f, 4, 1.0, 1.0, 1.0), 0) << "no such frame";
    host::showFrame(2);
    EXPECT_EQ(DrawGetCurrentFrameIndex(), 2);
    EXPECT_FLOAT_EQ(result->nodeCoords[5], 21.0f);

    double matrix[4][4];
    EXPECT_EQ(ResultObjGetCameraMatrix(model, 1, 0.5, matrix), 1);
    EXPECT_EQ(matrix[0][1], 1.0);
    EXPECT_EQ(matrix[3][0], 1.0) << "the translation is scaled";
    EXPECT_EQ(matrix[3][2], 3.0);
    EXPECT_EQ(ResultObjGetCameraMatrix(model, 3, 1.0, matrix), 0);

    host::ModelBuilder still("geometry only");
    still.part("P").nodes({{0, 0, 0}});
    still.withoutResult();
    EXPECT_EQ(MdbGetManagerObject(still, 0), nullptr);
    EXPECT_EQ(SimVidCommonGetTimeArray(still, &times), 0);
}

}  // namespace
