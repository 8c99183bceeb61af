// Writing parts: one shape per element type in mesh-type order, with the right connectivity
// list, kind, contour values and failed elements; solid parts as their outer skin; the file's
// one global model and one coordinate list. Scenes are read back and compared with the model.
#include "ZVRMLElementKinds.h"
#include "adapter_probe.h"

#include <array>
#include <vector>

namespace {

using testing_support::occurrences;
using testing_support::shapesIn;
using testing_support::valuesOf;
using Faces = std::vector<std::vector<int>>;
using Values = std::vector<int>;

// The unit cube's corners in the host's hexahedron order.
const std::initializer_list<std::array<float, 3>> kCube = {
    {0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
const std::initializer_list<std::array<float, 3>> kTriangle = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};

// The faces the element table gives an element of host type `type` with nodes `nodes`.
Faces tableFaces(_FePartMeshType type, const std::vector<int>& nodes) {
    Faces faces;
    for (const ZVRMLFace& face : kVRMLElementKinds[kVRMLKindOfMeshType[type]].faces) {
        faces.emplace_back();
        for (int corner = 0; corner < face.nodeCount; ++corner) faces.back().push_back(nodes[face.positions[corner]]);
    }
    return faces;
}

class AdapterParts : public AdapterSceneTest {
protected:
    void SetUp() override {
        AdapterSceneTest::SetUp();
        model = host::ModelBuilder("Model");
        adapter.params.model = model;
    }
    // Frame `frame` of the part, as an export writes it (whole, or its skin).
    void write(FePartStr* part, int frame = 0, int contourOffset = -1, bool skin = false) {
        host::showFrame(frame);
        FePostResultStr* result = MdbGetManagerObject(model, 0);
        (adapter.*(skin ? &AdapterProbe::filterSkinOnly : &AdapterProbe::filterParts))(
            part, frame, result->nodeCoords, result->nodeCount, center, true, status, contourOffset);
    }
    // Element e has the value e; its colour in a file names that value.
    void elementContours() {
        model.elementField("index", [](int, int element) { return static_cast<float>(element); });
        host::WindowBuilder window(model);
        window.contour("index").colors(testing_support::countingColors()).range(0.0f, 16.0f);
        adapter.params.window = window;
        host::showFrame(0);
        ASSERT_TRUE(adapter.GetContourData(&record, 1));
        adapter.partHasContours = true;
    }
    std::vector<testing_support::ShapeText> shapes() { return shapesIn(completeFile()); }

    host::ModelBuilder model{"Model"};  // built again once the session is fresh
    int status = 3;
    float center[3] = {5, 0, 0};
    ZVRMLAdapter::_ContourExportInfoStr record;
};

TEST_F(AdapterParts, EachMeshTypeIsOneShapeInMeshTypeOrder) {
    model.part("Lead").nodes(kTriangle).elements(FE_MESH_TRIA3, {0, 1, 2});
    FePartStr* panel = model.part("Panel").nodes({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 1, 0},
                                                  {0, 2, 0}, {1, 2, 0}, {2, 2, 0}})
                           .elements(FE_MESH_QUAD8, {0, 1, 2, 5, 8, 7, 6, 3})
                           .elements(FE_MESH_QUAD4, {0, 1, 4, 3})
                           .elements(FE_MESH_TRIA3, {4, 5, 8}).handle();
    status = 1;
    write(panel);
    const auto written = shapes();
    ASSERT_EQ(written.size(), 3u);
    EXPECT_EQ(written[0].faces, (Faces{{7, 8, 11}})) << "node numbers follow the lead part's three";
    EXPECT_EQ(written[1].faces, (Faces{{3, 4, 7, 6}}));
    EXPECT_EQ(written[2].faces, (Faces{{3, 4, 5, 8, 11, 10, 9, 6}}));
    EXPECT_EQ(status, 1) << "only a status of 3 becomes 2";
}

TEST_F(AdapterParts, ASolidPartReadsEachTypeFromItsSolidOnlyListsAndLeavesShellsOut) {
    FePartStr* blocks = model.part("Blocks").nodes(kCube)
                            .elements(FE_MESH_QUAD4, {0, 1, 2, 3})
                            .elements(FE_MESH_HEXA8, {0, 1, 2, 3, 4, 5, 6, 7})
                            .elements(FE_MESH_TETRA4, {0, 1, 3, 4})
                            .elements(FE_MESH_PENTA6, {0, 1, 2, 3, 4, 7}).handle();
    write(blocks);
    const auto written = shapes();
    ASSERT_EQ(written.size(), 3u);
    EXPECT_EQ(written[0].faces, tableFaces(FE_MESH_TETRA4, {0, 1, 3, 4}));
    EXPECT_EQ(written[1].faces, tableFaces(FE_MESH_PENTA6, {0, 1, 2, 3, 4, 7}));
    EXPECT_EQ(written[2].faces, tableFaces(FE_MESH_HEXA8, {0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(status, 2);
}

TEST_F(AdapterParts, ShellColoursReadTheValuesOfTheirOwnType) {
    model.part("Lead").nodes(kTriangle).elements(FE_MESH_TRIA3, {0, 1, 2});
    // 2 triangles, one 6-node triangle, 2 quadrilaterals: element values 1-2, 3 and 4-5.
    FePartStr* shells = model.part("Shells")
                            .nodes({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 1, 0}, {0, 2, 0}, {1, 2, 0}})
                            .elements(FE_MESH_QUAD4, {0, 1, 4, 3, 1, 2, 5, 4})
                            .elements(FE_MESH_TRIA6, {3, 4, 5, 7, 6, 0})
                            .elements(FE_MESH_TRIA3, {0, 1, 3, 1, 4, 3}).handle();
    elementContours();
    write(shells, 0, 1);
    const auto written = shapes();
    ASSERT_EQ(written.size(), 3u);
    EXPECT_EQ(valuesOf(written[0]), (Values{1, 2}));
    EXPECT_EQ(valuesOf(written[1]), (Values{3}));
    EXPECT_EQ(valuesOf(written[2]), (Values{4, 5}));
}

TEST_F(AdapterParts, SolidColoursRepeatForEveryFaceAndFailedElementsLeaveNothing) {
    model.frames({0.0f, 1.0f});
    FePartStr* bar = model.part("Bar").nodes({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1},
                                              {1, 1, 1}, {0, 1, 1}, {0, 0, 2}, {1, 0, 2}, {1, 1, 2}, {0, 1, 2}})
                         .elements(FE_MESH_HEXA8, {0, 1, 2, 3, 4, 5, 6, 7, 4, 5, 6, 7, 8, 9, 10, 11})
                         .failsAt(FE_MESH_HEXA8, 0, 1).handle();
    FePartStr* gone = model.part("Gone").nodes(kTriangle).elements(FE_MESH_TRIA3, {0, 1, 2})
                          .failsAt(FE_MESH_TRIA3, 0, 1).handle();
    elementContours();
    write(bar, 1, 0);
    EXPECT_EQ(hostCalls("FePartIsElementFailingGivenPart"), 2);
    write(gone, 1, 2);
    const auto written = shapes();
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(written[0].faces, tableFaces(FE_MESH_HEXA8, {4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(valuesOf(written[0]), Values(6, 1)) << "six faces of the second element";
    EXPECT_TRUE(written[1].faces.empty()) << "a shape whose elements all failed stays, empty";
    EXPECT_EQ(status, 2);
}

TEST_F(AdapterParts, PartsShareOneGlobalModelAndOneCoordinateList) {
    model.camera(0, {{{2, 0, 0, 0}, {0, 2, 0, 0}, {0, 0, 2, 0}, {1, 2, 3, 1}}});
    FePartStr* empty = model.part("Empty Part").dimensionality(2).handle();
    FePartStr* first = model.part("First").nodes(kTriangle).elements(FE_MESH_TRIA3, {0, 1, 2}).handle();
    FePartStr* second = model.part("Second").nodes(kCube).elements(FE_MESH_HEXA8, {0, 1, 2, 3, 4, 5, 6, 7}).handle();
    write(empty);
    EXPECT_EQ(status, 3) << "a part without elements writes no shape";
    write(first);
    write(second);
    const std::string text = completeFile();
    ASSERT_NE(text.find("DEF Empty_Part Transform {"), std::string::npos);
    EXPECT_EQ(testing_support::partText(text, "Empty_Part").find("Shape"), std::string::npos);
    EXPECT_EQ(occurrences(text, "DEF Global_model Transform"), 1);
    EXPECT_NE(text.find("scale\t2.000000 2.000000 2.000000 "), std::string::npos) << "the frame's camera";
    EXPECT_NE(text.find("translation\t1.000000 2.000000 3.000000 "), std::string::npos);
    EXPECT_EQ(center[0], 0.0f) << "the global model places the model; the centre is cleared";
    EXPECT_EQ(occurrences(text, "DEF global_coords Coordinate"), 1);
    EXPECT_EQ(occurrences(text, "coord USE global_coords"), 1);
    EXPECT_LT(text.find("DEF First Transform"), text.find("DEF Second Transform"));
}

TEST_F(AdapterParts, NodeContoursTextureEveryShapeFromOneImage) {
    FePartStr* plate = model.part("Plate").nodes({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}})
                           .elements(FE_MESH_TRIA3, {0, 1, 2}).elements(FE_MESH_QUAD4, {0, 1, 3, 2}).handle();
    FePartStr* block = model.part("Block").nodes(kCube).elements(FE_MESH_HEXA8, {0, 1, 2, 3, 4, 5, 6, 7}).handle();
    model.nodeField("temperature", [](int, int node) { return 20.0f + node; });
    host::WindowBuilder window(model);
    window.contour("temperature").bands(6);
    adapter.params.window = window;
    host::showFrame(0);
    ASSERT_TRUE(adapter.GetContourData(&record, 1));
    adapter.partHasContours = true;
    write(plate, 0, 0);
    write(block, 0, 4);
    const std::string text = completeFile();
    EXPECT_EQ(occurrences(text, "texture DEF pixmap PixelTexture"), 1);
    EXPECT_EQ(occurrences(text, "texture USE pixmap"), 2);
    EXPECT_EQ(occurrences(text, "texCoord DEF texVals"), 1);
    EXPECT_EQ(text.find("Color {"), std::string::npos) << "no per-face colours";
}

TEST_F(AdapterParts, ARecordThatCouldNotBeFilledColoursNothing) {
    FePartStr* plate = model.part("Plate").nodes(kTriangle).elements(FE_MESH_TRIA3, {0, 1, 2}).handle();
    record.valuesPerElement = 1;
    record.elementColors = {255, 0, 0};  // left from an earlier shape
    adapter.contourInfo = &record;
    adapter.partHasContours = true;
    write(plate, 0, 0);
    const std::string text = completeFile();
    EXPECT_EQ(text.find("Color {"), std::string::npos) << text;
    EXPECT_EQ(text.find("texture"), std::string::npos);
}

TEST_F(AdapterParts, TheAnimationDrivesTheSharedCoordinatesAfterTheGlobalModel) {
    write(model.part("Plate").nodes(kTriangle).elements(FE_MESH_TRIA3, {0, 1, 2}).handle());
    globalVRMLWriter.endGlobalModel();
    float start[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    float end[9] = {0, 0, 1, 1, 0, 1, 0, 1, 1};
    adapter.exportAnimations({{0.0, start}, {1.0, end}}, 3);
    const std::string text = body();
    testing_support::keepVrmlSample(testing_support::readFile(file));
    EXPECT_LT(text.find("DEF global_coords"), text.find("ROUTE ci.value_changed TO global_coords.set_point"));
}

// Skins: triangles first, then quadrilaterals, whose values follow the part's triangles; one
// value per face from the part's first; grey past the last value of the model.
TEST_F(AdapterParts, Skins) {
    model.frames({0.0f, 1.0f});
    FePartStr* hollow = model.part("Hollow").nodes(kTriangle).elements(FE_MESH_TRIA3, {0, 1, 2}).dimensionality(3).handle();
    FePartStr* tet = model.part("Tet").nodes({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}})
                         .elements(FE_MESH_TETRA4, {0, 1, 2, 3}).handle();               // element 1
    FePartStr* wedge = model.part("Wedge").nodes(kCube).elements(FE_MESH_PENTA6, {0, 1, 2, 3, 4, 7}).handle();  // 2
    FePartStr* capped = model.part("Capped").nodes(kCube).elements(FE_MESH_TRIA3, {0, 1, 2, 0, 2, 3})
                            .elements(FE_MESH_HEXA8, {0, 1, 2, 3, 4, 5, 6, 7}).failsAt(FE_MESH_HEXA8, 0, 1).handle();  // 3-5
    model.part("After").nodes(kTriangle).elements(FE_MESH_TRIA3, std::vector<int>(30, 0));  // 6-15
    elementContours();
    write(hollow, 0, 0, true);
    EXPECT_EQ(status, 3) << "a part without skin leaves no trace";
    EXPECT_FALSE(globalVRMLWriter.globalModelWritten);
    write(tet, 0, 1, true);
    write(wedge, 0, 2, true);
    write(capped, 0, 3, true);
    adapter.partHasContours = false;
    const long asked = hostCalls("FePartIsElementFailingGivenPart");
    write(capped, 1, 3, true);
    EXPECT_EQ(hostCalls("FePartIsElementFailingGivenPart") - asked, 6) << "once per skin face";
    const std::string text = completeFile();
    EXPECT_EQ(testing_support::partText(text, "Hollow"), "");
    EXPECT_EQ(occurrences(text, "DEF Global_model"), 1);
    const auto written = shapesIn(text);
    ASSERT_EQ(written.size(), 5u);
    EXPECT_EQ(valuesOf(written[0]), (Values{1, 2, 3, 4}));
    EXPECT_EQ(written[1].faces.size(), 2u);
    EXPECT_EQ(written[2].faces.size(), 3u);
    EXPECT_EQ(valuesOf(written[3]), (Values{5, 6, 7, 8, 9, 10})) << "after the part's two triangles";
    EXPECT_TRUE(written[4].faces.empty()) << "every skin face of the failed cube is left out";
    EXPECT_EQ(status, 2);
}

TEST_F(AdapterParts, SkinFacesPastTheLastValueAreGrey) {
    model.part("Plate").nodes(kTriangle).elements(FE_MESH_TRIA3, {0, 1, 2});
    FePartStr* cube = model.part("Cube").nodes(kCube).elements(FE_MESH_HEXA8, {0, 1, 2, 3, 4, 5, 6, 7}).handle();
    elementContours();
    write(cube, 0, 1, true);
    const auto written = shapes();
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(valuesOf(written[0]), (Values{1, 7, 7, 7, 7, 7})) << "7 stands for the neutral grey, 128";
    EXPECT_EQ(written[0].colors[5], (std::array<int, 3>{128, 128, 128}));
}

}  // namespace
