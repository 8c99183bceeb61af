// The host's scene as the plug-in sees it through hostapi: parts, meshes, frames, failures, the
// memory it hands out, and models built in one batch.
#include "host_log.h"
#include "hostgen.h"
#include "hostmath.h"
#include "hostmodel.h"
#include "hostwin.h"
#include "scene_builder.h"
#include "session.h"
#include "test_support.h"

#include <cstring>

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

TEST_F(Scene, PartAttributes) {
    host::ModelBuilder model("frame");
    auto beams = model.part("Beams").nodes({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}).lines({0, 1, 1, 2});
    auto plate = model.part("Door Panel").nodes({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}).elements(FE_MESH_TRIA3, {0, 1, 2});
    auto empty = model.part(std::string(254, 'a') + "\xC3\xA9\xC3\xA9");  // crosses 255 bytes mid-character

    int count = -1, resultCount = -1, unknown = 42;
    EXPECT_EQ(DbsVaGetValues(beams.handle(), DBS_PART_ELEMENT_COUNT, &count, DBS_PART_RESULT_ELEMENT_COUNT, &resultCount, 0), 2);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(resultCount, 2);
    EXPECT_EQ(DbsVaGetValues(beams.handle(), 9999, &unknown, 0), 0);
    EXPECT_EQ(unknown, 42) << "an attribute the object does not have leaves the output alone";
    const std::pair<FePartStr*, int> dimensions[] = {{beams.handle(), 1}, {plate.handle(), 2}, {empty.handle(), 0}};
    for (const auto& [part, dimension] : dimensions) EXPECT_EQ(FePartIsPart1d2d3d(part), dimension);

    char name[256];
    FePartGetNameWithoutId(empty.handle(), name);
    EXPECT_EQ(std::strlen(name), 254u) << "half a character is never left at the end";
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

TEST_F(Scene, HandedMemoryIsFreedAndLogged) {
    host::ModelBuilder model("Crash box");
    model.part("P");
    char* title = SimVidCommonGetModelTitle(model);
    EXPECT_STREQ(title, "Crash box");
    MngrObjectListStr* list = nullptr;
    EXPECT_EQ(MngrGetObjectList(model, fePartClass_p, &list), 1);
    ZGuFree(title, "ZVRMLAdapter", 10);
    ZGuFree(list, "ZVRMLAdapter", 11);
    int stranger = 0;
    ZGuFree(&stranger, "elsewhere", 12);
    const auto& frees = host::hostLog().frees;
    ASSERT_EQ(frees.size(), 3u);
    EXPECT_TRUE(frees[0].sourceFile == "ZVRMLAdapter" && frees[0].line == 10 && frees[1].handedOut);
    EXPECT_FALSE(frees[2].handedOut) << "memory the host never handed out is reported, not freed";
    EXPECT_EQ(host::hostLog().outstandingAllocations(), 0);

    // The free loop count asks for passes and always runs out.
    __ZxFreeLoopCount__ = 3;
    title = SimVidCommonGetModelTitle(nullptr);
    int passes = 0;
    do {
        ZGuFree(title, __FILE__, __LINE__);
        title = nullptr;
    } while (++passes < 10 && __ZxFreeLoopCount__ != 0);
    EXPECT_EQ(passes, 3);
    EXPECT_EQ(host::hostLog().frees[4].pointer, nullptr) << "later passes hand in the cleared pointer";
}

TEST_F(Scene, FailedElementsStayFailed) {
    host::ModelBuilder model("erosion");
    model.frames({0, 1, 2, 3});
    auto plate = model.part("Plate").nodes({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {2, 0, 0}, {2, 1, 0}})
                     .elements(FE_MESH_QUAD4, {0, 1, 2, 3, 1, 4, 5, 2})
                     .failsAt(FE_MESH_QUAD4, 1, 2)
                     .switchedOff(FE_MESH_QUAD4, 0);
    const struct { _FePartMeshType type; int index, frame; bool failed; } cases[] = {
        {FE_MESH_QUAD4, 1, 1, false}, {FE_MESH_QUAD4, 1, 2, true}, {FE_MESH_QUAD4, 1, 3, true},
        {FE_MESH_QUAD4, 0, 3, false}, {FE_MESH_TRIA3, 1, 3, false}, {FE_MESH_QUAD4, 7, 3, false}};
    for (const auto& c : cases)
        EXPECT_EQ(FePartIsElementFailingGivenPart(plate.handle(), c.type, c.index, c.frame) != 0, c.failed)
            << c.type << " #" << c.index << " at frame " << c.frame;
    EXPECT_NE(FePartIsElementOff(plate.handle(), FE_MESH_QUAD4, 0, 0), 0);
    EXPECT_EQ(FePartIsElementOff(plate.handle(), FE_MESH_QUAD4, 1, 0), 0);
}

// A model built within one BatchedChanges (batches nest) must look to the plug-in like one built
// step by step: parts, meshes, failures, coordinates and contours in every frame.
TEST_F(Scene, BatchedChangesLookLikeStepByStep) {
    const auto build = [](host::ModelBuilder& model) {
        for (int plate = 0; plate < 3; ++plate)
            model.part("Plate " + std::to_string(plate))
                .nodes({{2.0f * plate, 0, 0}, {2.0f * plate + 1, 0, 0}, {2.0f * plate + 1, 1, 0}, {2.0f * plate, 1, 0}, {2.0f * plate, 2, 0}})
                .elements(FE_MESH_QUAD4, {0, 1, 2, 3})
                .elements(FE_MESH_TRIA3, {3, 2, 4});
        model.frames({0.0f, 1.0f}).frameCoordinates(1, std::vector<float>(3 * 15, 0.5f));
        model.nodeField("temperature", [](int frame, int node) { return static_cast<float>(frame * 100 + node); });
        host::PartBuilder(model.model(), *model.model().parts[1]).failsAt(FE_MESH_TRIA3, 0, 1);
    };
    const auto seen = [](ModelStr& model, WindowStr* window) {
        std::vector<float> seen;
        for (FePartStr* part : partsOf(&model)) {
            FePartMeshDataStr mesh{};
            FePartGetMeshData(part, &mesh);
            for (int type = 0; type < FE_MESH_TYPE_COUNT; ++type)
                for (int e = 0; e < mesh.elementCounts[type]; ++e) {
                    seen.insert(seen.end(), mesh.connectivityLists[type] + e * mesh.nodesPerElement[type], mesh.connectivityLists[type] + (e + 1) * mesh.nodesPerElement[type]);
                    seen.push_back(static_cast<float>(FePartIsElementFailingGivenPart(part, static_cast<_FePartMeshType>(type), e, 1)));
                }
        }
        const FePostResultStr* result = MdbGetManagerObject(&model, 0);
        const ContourInfoStr* contours = WindowGetContourInfo(window, &model);
        seen.insert(seen.end(), result->nodeCoords, result->nodeCoords + 3 * result->nodeCount);
        seen.insert(seen.end(), contours->values, contours->values + contours->valueCount);
        return seen;
    };
    host::ModelBuilder stepByStep("plates"), batched("plates");
    build(stepByStep);
    {
        const host::BatchedChanges outer(batched.model()), inner(batched.model());
        build(batched);
    }
    host::WindowBuilder stepWindow(stepByStep), batchedWindow(batched);
    stepWindow.contour("temperature");
    batchedWindow.contour("temperature");
    for (const int frame : {0, 1}) {
        host::showFrame(frame);
        EXPECT_EQ(seen(batched.model(), batchedWindow), seen(stepByStep.model(), stepWindow)) << frame;
    }
    {  // a window already showing the model follows what a later batch adds
        const host::BatchedChanges batch(batched.model());
        batched.part("Late").nodes({{9, 0, 0}, {9, 1, 0}, {8, 1, 0}}).elements(FE_MESH_TRIA3, {0, 1, 2});
    }
    const ContourInfoStr* contours = WindowGetContourInfo(batchedWindow, batched);
    ASSERT_EQ(contours->valueCount, 18);
    EXPECT_EQ(contours->values[17], 117.0f);
}

}  // namespace
