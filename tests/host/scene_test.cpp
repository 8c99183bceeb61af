// The host's scene as the plug-in sees it through hostapi: parts, meshes, frames, failures.
#include "host_log.h"
#include "hostgen.h"
#include "hostmath.h"
#include "hostmodel.h"
#include "mesh_types.h"
#include "scene_builder.h"
#include "session.h"
#include "test_support.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

namespace {

using testing_support::HostTest;

const std::initializer_list<std::array<float, 3>> kUnitCube = {
    {0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};

std::vector<FePartStr*> partsOf(ModelStr* model) {
    MngrObjectListStr* list = nullptr;
    MngrGetObjectList(model, fePartClass_p, &list);
    std::vector<FePartStr*> parts;
    for (int i = 0; i < list->count; ++i) parts.push_back(static_cast<FePartStr*>(list->objects[i]));
    ZGuFree(list, __FILE__, __LINE__);
    return parts;
}

using Scene = HostTest;

TEST_F(Scene, PartsNumberTheirNodesContiguouslyInPartOrder) {
    host::ModelBuilder model("two plates");
    auto first = model.part("First").nodes({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}});
    auto second = model.part("Second").nodes({{5, 0, 0}, {6, 0, 0}, {6, 1, 0}, {5, 1, 0}});
    second.elements(FE_MESH_QUAD4, {0, 1, 2, 3});
    // Nodes added to the first part afterwards push the second part's nodes along.
    first.nodes({{0, 2, 0}}).elements(FE_MESH_TRIA3, {0, 1, 3});

    const std::vector<FePartStr*> parts = partsOf(model);
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(FePartGetUniquePartNodes(parts[0], nullptr), 4);
    EXPECT_EQ(FePartGetUniquePartNodes(parts[1], nullptr), 4);

    FePartMeshDataStr mesh{};
    ASSERT_EQ(FePartGetMeshData(parts[1], &mesh), 1);
    ASSERT_EQ(mesh.elementCounts[FE_MESH_QUAD4], 1);
    const int* quad = mesh.connectivityLists[FE_MESH_QUAD4];
    EXPECT_EQ(std::vector<int>(quad, quad + 4), (std::vector<int>{4, 5, 6, 7}));

    FePostResultStr* result = MdbGetManagerObject(model, 0);
    ASSERT_NE(result, nullptr);
    ASSERT_EQ(result->nodeCount, 8);
    EXPECT_FLOAT_EQ(result->nodeCoords[3 * 3 + 1], 2.0f);  // the first part's added node
    EXPECT_FLOAT_EQ(result->nodeCoords[3 * 4 + 0], 5.0f);  // the second part's first node

    int* nodes = nullptr;
    EXPECT_EQ(FePartGetUniquePartNodes(parts[1], &nodes), 4);
    EXPECT_EQ(std::vector<int>(nodes, nodes + 4), (std::vector<int>{4, 5, 6, 7}));
    EXPECT_EQ(host::hostLog().outstandingAllocations(), 1);
    ZGuFree(nodes, __FILE__, __LINE__);
    EXPECT_EQ(host::hostLog().outstandingAllocations(), 0);
}

TEST_F(Scene, MeshDataOfASolidPartStartsItsListsWithTheFirstSolidType) {
    host::ModelBuilder model("block");
    auto block = model.part("Block").nodes(kUnitCube).elements(FE_MESH_HEXA8, {0, 1, 2, 3, 4, 5, 6, 7});
    auto plate = model.part("Plate").nodes({{0, 0, 2}, {1, 0, 2}, {1, 1, 2}}).elements(FE_MESH_TRIA3, {0, 1, 2});

    FePartMeshDataStr mesh{};
    FePartGetMeshData(block.handle(), &mesh);
    EXPECT_EQ(FePartIsPart1d2d3d(block.handle()), 3);
    EXPECT_EQ(mesh.elementCounts[FE_MESH_HEXA8], 1);
    EXPECT_EQ(mesh.connectivityLists[FE_MESH_HEXA8 - 4][7], 7);

    FePartGetMeshData(plate.handle(), &mesh);
    EXPECT_EQ(FePartIsPart1d2d3d(plate.handle()), 2);
    EXPECT_EQ(mesh.connectivityLists[FE_MESH_TRIA3][0], 8);
}

TEST_F(Scene, ElementCountsAndDimensionalityCoverLineParts) {
    host::ModelBuilder model("frame");
    auto beams = model.part("Beams").nodes({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}).lines({0, 1, 1, 2});
    auto empty = model.part("Empty");

    int count = -1, resultCount = -1;
    EXPECT_EQ(DbsVaGetValues(beams.handle(), DBS_PART_ELEMENT_COUNT, &count, DBS_PART_RESULT_ELEMENT_COUNT,
                             &resultCount, 0),
              2);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(resultCount, 2);
    EXPECT_EQ(FePartIsPart1d2d3d(beams.handle()), 1);
    EXPECT_EQ(FePartIsPart1d2d3d(empty.handle()), 0);

    int unknown = 42;
    EXPECT_EQ(DbsVaGetValues(beams.handle(), 9999, &unknown, 0), 0);
    EXPECT_EQ(unknown, 42) << "an attribute the object does not have leaves the output alone";
}

TEST_F(Scene, PartNamesAreCutAtACharacterBoundary) {
    host::ModelBuilder model("names");
    std::string longName(254, 'a');
    longName += "\xC3\xA9\xC3\xA9";  // two two-byte characters, crossing the 255-byte limit
    auto part = model.part(longName);

    char name[256];
    std::memset(name, 'x', sizeof name);
    FePartGetNameWithoutId(part.handle(), name);
    EXPECT_EQ(std::strlen(name), 254u) << "half a character is never left at the end";

    auto plain = model.part("Door Panel");
    FePartGetNameWithoutId(plain.handle(), name);
    EXPECT_STREQ(name, "Door Panel");
}

TEST_F(Scene, FramesMoveTheNodesAndTheResultFollowsTheFrameSet) {
    host::ModelBuilder model("moving");
    model.part("P").nodes({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}).elements(FE_MESH_TRIA3, {0, 1, 2});
    model.frames({0.0f, 0.5f, 1.0f}).motion([](int frame, int node, float* xyz) { xyz[2] += frame * 10.0f + node; });

    float* times = nullptr;
    ASSERT_EQ(SimVidCommonGetTimeArray(model, &times), 3);
    EXPECT_EQ(std::vector<float>(times, times + 3), (std::vector<float>{0.0f, 0.5f, 1.0f}));
    ZGuFree(times, __FILE__, __LINE__);

    FePostResultStr* result = MdbGetManagerObject(model, 0);
    ASSERT_EQ(SimVideoCommonUpdateModelForGivenFrame(model, 1.0f, 3, 1.0, 1.0, 1.0), 1);
    EXPECT_EQ(result->currentState, 3);
    EXPECT_FLOAT_EQ(result->nodeCoords[2], 20.0f);
    EXPECT_FLOAT_EQ(result->nodeCoords[5], 21.0f);

    // Scale factors multiply the displacement, not the position.
    SimVideoCommonUpdateModelForGivenFrame(model, 0.5f, 2, 1.0, 1.0, 0.5);
    EXPECT_FLOAT_EQ(result->nodeCoords[5], 5.5f);

    EXPECT_EQ(SimVideoCommonUpdateModelForGivenFrame(model, 0.0f, 4, 1.0, 1.0, 1.0), 0);
    EXPECT_FLOAT_EQ(result->nodeCoords[5], 5.5f) << "a frame that does not exist changes nothing";
}

TEST_F(Scene, AModelWithoutResultHasNoResultObjectAndNoFrames) {
    host::ModelBuilder model("geometry only");
    model.part("P").nodes({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}).elements(FE_MESH_TRIA3, {0, 1, 2});
    model.withoutResult();

    EXPECT_EQ(MdbGetManagerObject(model, 0), nullptr);
    float* times = reinterpret_cast<float*>(&times);
    EXPECT_EQ(SimVidCommonGetTimeArray(model, &times), 0);
    EXPECT_EQ(times, nullptr);
}

TEST_F(Scene, TitleAndListsAreHandedOverAndReleasedWithZGuFree) {
    host::ModelBuilder model("Crash box");
    model.part("P");
    char* title = SimVidCommonGetModelTitle(model);
    EXPECT_STREQ(title, "Crash box");
    MngrObjectListStr* list = nullptr;
    EXPECT_EQ(MngrGetObjectList(model, fePartClass_p, &list), 1);
    EXPECT_EQ(host::hostLog().outstandingAllocations(), 2);

    ZGuFree(title, "ZVRMLAdapter", 10);
    ZGuFree(list, "ZVRMLAdapter", 11);
    int stranger = 0;
    ZGuFree(&stranger, "elsewhere", 12);

    const auto& frees = host::hostLog().frees;
    ASSERT_EQ(frees.size(), 3u);
    EXPECT_EQ(frees[0].sourceFile, "ZVRMLAdapter");
    EXPECT_EQ(frees[0].line, 10);
    EXPECT_TRUE(frees[0].handedOut);
    EXPECT_TRUE(frees[1].handedOut);
    EXPECT_FALSE(frees[2].handedOut) << "memory the host never handed out is reported, not freed";
    EXPECT_EQ(host::hostLog().outstandingAllocations(), 0);
    EXPECT_EQ(host::hostLog().calls("ZGuFree"), 3);
}

TEST_F(Scene, TheFreeLoopCountAsksForPassesAndAlwaysRunsOut) {
    __ZxFreeLoopCount__ = 3;
    char* title = SimVidCommonGetModelTitle(nullptr);
    int passes = 0;
    do {
        ZGuFree(title, __FILE__, __LINE__);
        title = nullptr;
        ++passes;
    } while (__ZxFreeLoopCount__ != 0 && passes < 10);
    EXPECT_EQ(passes, 3);
    EXPECT_EQ(host::hostLog().outstandingAllocations(), 0);
    EXPECT_EQ(host::hostLog().frees[1].pointer, nullptr) << "later passes hand in the cleared pointer";
}

TEST_F(Scene, CameraMatricesArePerFrameWithTheTranslationScaled) {
    host::ModelBuilder model("camera");
    model.part("P");
    model.frames({0.0f, 1.0f});
    host::Matrix4 turned = host::identityMatrix();
    turned[0] = {0, 1, 0, 0};
    turned[1] = {-1, 0, 0, 0};
    turned[3] = {2, 4, 6, 1};
    model.camera(1, turned);

    double matrix[4][4];
    ZglInitMatrix(matrix);
    EXPECT_EQ(ResultObjGetCameraMatrix(model, 0, 1.0, matrix), 1);
    EXPECT_EQ(matrix[0][0], 1.0) << "a frame without its own camera gets the identity";
    EXPECT_EQ(ResultObjGetCameraMatrix(model, 1, 0.5, matrix), 1);
    EXPECT_EQ(matrix[0][1], 1.0);
    EXPECT_EQ(matrix[1][0], -1.0);
    EXPECT_EQ(matrix[3][0], 1.0);
    EXPECT_EQ(matrix[3][2], 3.0);
    matrix[0][0] = 7.0;
    EXPECT_EQ(ResultObjGetCameraMatrix(model, 2, 1.0, matrix), 0);
    EXPECT_EQ(matrix[0][0], 7.0);
}

TEST_F(Scene, ShowingAFrameSetsTheCurrentFrameAndTheModels) {
    host::ModelBuilder model("shown");
    model.part("P").nodes({{0, 0, 0}});
    model.frames({0.0f, 1.0f, 2.0f}).motion([](int frame, int, float* xyz) { xyz[0] = static_cast<float>(frame); });
    host::showFrame(2);
    EXPECT_EQ(DrawGetCurrentFrameIndex(), 2);
    EXPECT_FLOAT_EQ(MdbGetManagerObject(model, 0)->nodeCoords[0], 2.0f);
    EXPECT_EQ(host::hostLog().calls("DrawGetCurrentFrameIndex"), 1);
}

// ---------------------------------------------------------------------------------------------
// Failed and switched-off elements

TEST_F(Scene, FailedElementsStayFailedFromTheirFrameOn) {
    host::ModelBuilder model("erosion");
    model.frames({0, 1, 2, 3});
    auto plate = model.part("Plate")
                     .nodes({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {2, 0, 0}, {2, 1, 0}})
                     .elements(FE_MESH_QUAD4, {0, 1, 2, 3, 1, 4, 5, 2})
                     .failsAt(FE_MESH_QUAD4, 1, 2)
                     .switchedOff(FE_MESH_QUAD4, 0);

    auto failing = [&](int index, int frame) {
        return FePartIsElementFailingGivenPart(plate.handle(), FE_MESH_QUAD4, index, frame);
    };
    EXPECT_EQ(failing(1, 1), 0);
    EXPECT_NE(failing(1, 2), 0);
    EXPECT_NE(failing(1, 3), 0);
    EXPECT_EQ(failing(0, 3), 0);
    EXPECT_EQ(FePartIsElementFailingGivenPart(plate.handle(), FE_MESH_TRIA3, 1, 3), 0);
    EXPECT_EQ(failing(7, 3), 0) << "an index past the list is not an element";

    EXPECT_NE(FePartIsElementOff(plate.handle(), FE_MESH_QUAD4, 0, 0), 0);
    EXPECT_EQ(FePartIsElementOff(plate.handle(), FE_MESH_QUAD4, 1, 0), 0);
}

// ---------------------------------------------------------------------------------------------
// Skin

struct Skin {
    std::vector<std::vector<int>> triangles, quads;
};

Skin skinOf(FePartStr* part) {
    int triCount = -1, quadCount = -1;
    int* tri = nullptr;
    int* quad = nullptr;
    FePartGetSkinElementConnectivity(part, &triCount, &tri, &quadCount, &quad);
    Skin skin;
    for (int i = 0; i < triCount; ++i) skin.triangles.emplace_back(tri + 3 * i, tri + 3 * i + 3);
    for (int i = 0; i < quadCount; ++i) skin.quads.emplace_back(quad + 4 * i, quad + 4 * i + 4);
    return skin;
}

std::array<float, 3> point(ModelStr* model, int node) {
    const float* xyz = &MdbGetManagerObject(model, 0)->nodeCoords[3 * node];
    return {xyz[0], xyz[1], xyz[2]};
}

// The normal of a face (Newell's method), not normalised.
std::array<double, 3> normalOf(ModelStr* model, const std::vector<int>& face) {
    std::array<double, 3> n{0, 0, 0};
    for (size_t i = 0; i < face.size(); ++i) {
        const auto a = point(model, face[i]);
        const auto b = point(model, face[(i + 1) % face.size()]);
        n[0] += (a[1] - b[1]) * (a[2] + b[2]);
        n[1] += (a[2] - b[2]) * (a[0] + b[0]);
        n[2] += (a[0] - b[0]) * (a[1] + b[1]);
    }
    return n;
}

std::array<double, 3> centroidOf(ModelStr* model, const std::vector<int>& nodes) {
    std::array<double, 3> c{0, 0, 0};
    for (int node : nodes)
        for (int axis = 0; axis < 3; ++axis) c[axis] += point(model, node)[axis] / nodes.size();
    return c;
}

// Every skin face points away from the centre of the (convex) body.
void expectOutward(ModelStr* model, const Skin& skin, const std::vector<int>& bodyNodes) {
    const auto centre = centroidOf(model, bodyNodes);
    for (const auto* list : {&skin.triangles, &skin.quads})
        for (const auto& face : *list) {
            const auto n = normalOf(model, face);
            const auto c = centroidOf(model, face);
            const double dot = n[0] * (c[0] - centre[0]) + n[1] * (c[1] - centre[1]) + n[2] * (c[2] - centre[2]);
            EXPECT_GT(dot, 0.0) << "face " << ::testing::PrintToString(face) << " points inwards";
        }
}

TEST_F(Scene, SkinOfOneElementIsAllItsFacesPointingOut) {
    host::ModelBuilder model("solids");
    auto hexa = model.part("Hexa").nodes(kUnitCube).elements(FE_MESH_HEXA8, {0, 1, 2, 3, 4, 5, 6, 7});
    auto tetra = model.part("Tetra")
                     .nodes({{0, 0, 3}, {1, 0, 3}, {0, 1, 3}, {0, 0, 4}})
                     .elements(FE_MESH_TETRA4, {0, 1, 2, 3});
    // A wedge lying on its rectangular face: 0-1-2-3 the base, 4 over the 0-1 edge, 5 over 3-2.
    auto penta = model.part("Penta")
                     .nodes({{0, 0, 6}, {1, 0, 6}, {1, 2, 6}, {0, 2, 6}, {0.5f, 0, 7}, {0.5f, 2, 7}})
                     .elements(FE_MESH_PENTA6, {0, 1, 2, 3, 4, 5});

    const Skin hexaSkin = skinOf(hexa.handle());
    EXPECT_EQ(hexaSkin.triangles.size(), 0u);
    EXPECT_EQ(hexaSkin.quads.size(), 6u);
    expectOutward(model, hexaSkin, {0, 1, 2, 3, 4, 5, 6, 7});

    const Skin tetraSkin = skinOf(tetra.handle());
    EXPECT_EQ(tetraSkin.triangles.size(), 4u);
    EXPECT_EQ(tetraSkin.quads.size(), 0u);
    expectOutward(model, tetraSkin, {8, 9, 10, 11});

    const Skin pentaSkin = skinOf(penta.handle());
    EXPECT_EQ(pentaSkin.triangles.size(), 2u);
    EXPECT_EQ(pentaSkin.quads.size(), 3u);
    expectOutward(model, pentaSkin, {12, 13, 14, 15, 16, 17});
}

TEST_F(Scene, SkinLeavesOutSharedFacesAndFollowsFailuresOfItsSolids) {
    host::ModelBuilder model("bar");
    model.frames({0, 1});
    // Two cubes side by side along x share the face x = 1.
    auto bar = model.part("Bar")
                   .nodes({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1},
                           {2, 0, 0}, {2, 1, 0}, {2, 0, 1}, {2, 1, 1}})
                   .elements(FE_MESH_HEXA8, {0, 1, 2, 3, 4, 5, 6, 7, 1, 8, 9, 2, 5, 10, 11, 6})
                   .failsAt(FE_MESH_HEXA8, 1, 1);

    const Skin skin = skinOf(bar.handle());
    ASSERT_EQ(skin.quads.size(), 10u);
    std::set<std::set<int>> faces;
    for (const auto& quad : skin.quads) faces.insert(std::set<int>(quad.begin(), quad.end()));
    EXPECT_EQ(faces.size(), 10u) << "no face repeats";
    EXPECT_FALSE(faces.count({1, 2, 5, 6})) << "the shared face is inside the bar";
    expectOutward(model, skin, {0, 3, 4, 7, 8, 9, 10, 11});

    // Skin quadrilateral i stands for the cube it bounds: the first five belong to cube 0.
    int failedAtFrame1 = 0;
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(FePartIsElementFailingGivenPart(bar.handle(), FE_MESH_QUAD4, i, 0), 0);
        failedAtFrame1 += FePartIsElementFailingGivenPart(bar.handle(), FE_MESH_QUAD4, i, 1) != 0;
    }
    EXPECT_EQ(failedAtFrame1, 5);
}

TEST_F(Scene, SkinOfQuadraticAndDegenerateSolidsUsesTheirCorners) {
    host::ModelBuilder model("mixed");
    // A pyramid stored as a 6-node pentahedron whose ridge has collapsed into the apex.
    auto pyramid = model.part("Pyramid")
                       .nodes({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0.5f, 0.5f, 1}})
                       .elements(FE_MESH_PENTA6, {0, 1, 2, 3, 4, 4});
    const Skin skin = skinOf(pyramid.handle());
    EXPECT_EQ(skin.quads.size(), 1u);
    EXPECT_EQ(skin.triangles.size(), 4u);
    expectOutward(model, skin, {0, 1, 2, 3, 4});

    std::vector<float> tetra10 = {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1};
    for (auto [a, b] : std::initializer_list<std::pair<int, int>>{{0, 1}, {1, 2}, {2, 0}, {0, 3}, {1, 3}, {2, 3}})
        for (int axis = 0; axis < 3; ++axis) tetra10.push_back((tetra10[3 * a + axis] + tetra10[3 * b + axis]) / 2);
    for (size_t i = 0; i < tetra10.size(); i += 3) tetra10[i] += 5.0f;
    auto quadratic = model.part("Quadratic").nodes(tetra10);
    std::vector<int> nodes(10);
    for (int i = 0; i < 10; ++i) nodes[i] = i;
    quadratic.elements(FE_MESH_TETRA10, nodes);
    const Skin quadraticSkin = skinOf(quadratic.handle());
    ASSERT_EQ(quadraticSkin.triangles.size(), 4u);
    for (const auto& face : quadraticSkin.triangles)
        for (int node : face) EXPECT_LT(node, 5 + 4) << "skin faces run through corner nodes only";
}

TEST_F(Scene, SkinOfAShellPartIsEmpty) {
    host::ModelBuilder model("shell");
    auto shell = model.part("Shell").nodes({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}).elements(FE_MESH_TRIA3, {0, 1, 2});
    int triCount = -1, quadCount = -1;
    int* tri = reinterpret_cast<int*>(&tri);
    int* quad = reinterpret_cast<int*>(&quad);
    FePartGetSkinElementConnectivity(shell.handle(), &triCount, &tri, &quadCount, &quad);
    EXPECT_EQ(triCount, 0);
    EXPECT_EQ(quadCount, 0);
    EXPECT_EQ(tri, nullptr);
    EXPECT_EQ(quad, nullptr);
}

TEST_F(Scene, BuilderRejectsConnectivityThatNamesMissingNodes) {
    host::ModelBuilder model("bad");
    auto part = model.part("Plate").nodes({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    EXPECT_THROW(part.elements(FE_MESH_TRIA3, {0, 1, 3}), std::out_of_range);
    EXPECT_THROW(part.elements(FE_MESH_QUAD4, {0, 1, 2}), std::invalid_argument);
}

}  // namespace
