// Writing parts: one shape per element type in mesh-type order, with the right connectivity
// list, kind, contour colours and failed elements; solid parts as their outer skin; the file's
// one global model and one coordinate list. Scenes are read back and compared with the model.
#include "ZVRMLElementKinds.h"
#include "adapter_probe.h"
#include "host_log.h"
#include "scene_builder.h"
#include "scene_text.h"
#include "session.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using testing_support::countingColors;
using testing_support::occurrences;
using testing_support::partText;
using testing_support::shapesIn;
using testing_support::ShapeText;
using testing_support::valueOfRed;
using testing_support::valuesOf;
using Faces = std::vector<std::vector<int>>;

// The unit cube's corners in the host's hexahedron order, and a wedge and a tetrahedron in it.
const std::initializer_list<std::array<float, 3>> kCube = {
    {0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};

// The faces the element table gives element `nodes` of writer kind `kind`.
Faces tableFaces(int kind, const std::vector<int>& nodes) {
    Faces faces;
    for (const ZVRMLFace& face : kVRMLElementKinds[kind].faces) {
        std::vector<int> polygon;
        for (int corner = 0; corner < face.nodeCount; ++corner) polygon.push_back(nodes[face.positions[corner]]);
        faces.push_back(polygon);
    }
    return faces;
}

class AdapterParts : public AdapterSceneTest {
protected:
    // The model's frame `frame`, written part by part as an export writes it.
    void write(FePartStr* part, int frame = 0, int contourOffset = -1) {
        placeFrame(frame);
        adapter.filterParts(part, frame, coords, nodeCount, center, true, status, contourOffset);
    }
    void writeSkin(FePartStr* part, int frame = 0, int contourOffset = -1) {
        placeFrame(frame);
        adapter.filterSkinOnly(part, frame, coords, nodeCount, center, true, status, contourOffset);
    }
    // Contours of element field `field` (element e has the value e), in the window of the model.
    void elementContours(host::ModelBuilder& model) {
        model.elementField("index", [](int, int element) { return static_cast<float>(element); });
        host::WindowBuilder window(model);
        window.contour("index").colors(countingColors()).range(0.0f, 16.0f);
        adapter.params.window = window;
        host::showFrame(0);
        ASSERT_TRUE(adapter.GetContourData(&record, 1));
        ASSERT_EQ(record.valuesPerElement, 1);
        adapter.partHasContours = true;
    }

    int status = 3;
    float center[3] = {0, 0, 0};
    ZVRMLAdapter::_ContourExportInfoStr record;

private:
    void placeFrame(int frame) {
        host::showFrame(frame);
        FePostResultStr* result = MdbGetManagerObject(adapter.params.model, 0);
        coords = result != nullptr ? result->nodeCoords : nullptr;
        nodeCount = result != nullptr ? result->nodeCount : 0;
    }
    float* coords = nullptr;
    int nodeCount = 0;
};

TEST_F(AdapterParts, EachMeshTypeIsOneShapeInMeshTypeOrderWithItsKind) {
    host::ModelBuilder model("Panel");
    adapter.params.model = model;
    FePartStr* panel = model.part("Panel")
                           .nodes({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 1, 0},
                                   {0, 2, 0}, {1, 2, 0}, {2, 2, 0}})
                           .elements(FE_MESH_QUAD8, {0, 1, 2, 5, 8, 7, 6, 3})
                           .elements(FE_MESH_QUAD4, {0, 1, 4, 3})
                           .elements(FE_MESH_TRIA3, {4, 5, 8})
                           .handle();
    write(panel);
    const std::vector<ShapeText> shapes = shapesIn(completeFile());
    ASSERT_EQ(shapes.size(), 3u);
    EXPECT_EQ(shapes[0].faces, (Faces{{4, 5, 8}}));
    EXPECT_EQ(shapes[1].faces, (Faces{{0, 1, 4, 3}}));
    EXPECT_EQ(shapes[2].faces, (Faces{{0, 1, 2, 5, 8, 7, 6, 3}}));
    EXPECT_EQ(status, 2);
}

TEST_F(AdapterParts, ASolidPartReadsEachTypesListFromItsSolidOnlyArray) {
    host::ModelBuilder model("Blocks");
    adapter.params.model = model;
    model.part("Lead").nodes({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}).elements(FE_MESH_TRIA3, {0, 1, 2});
    FePartStr* blocks = model.part("Blocks")
                            .nodes(kCube)
                            .elements(FE_MESH_HEXA8, {0, 1, 2, 3, 4, 5, 6, 7})
                            .elements(FE_MESH_TETRA4, {0, 1, 3, 4})
                            .elements(FE_MESH_PENTA6, {0, 1, 2, 3, 4, 7})
                            .handle();
    write(blocks);
    const std::vector<ShapeText> shapes = shapesIn(completeFile());
    ASSERT_EQ(shapes.size(), 3u);
    // The part's nodes follow the three of the lead part.
    EXPECT_EQ(shapes[0].faces, tableFaces(kVRMLKindOfMeshType[FE_MESH_TETRA4], {3, 4, 6, 7}));
    EXPECT_EQ(shapes[1].faces, tableFaces(kVRMLKindOfMeshType[FE_MESH_PENTA6], {3, 4, 5, 6, 7, 10}));
    EXPECT_EQ(shapes[2].faces, tableFaces(kVRMLKindOfMeshType[FE_MESH_HEXA8], {3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(shapes[2].faces.size(), 6u);
}

TEST_F(AdapterParts, ShellElementsReportedForASolidPartAreLeftOut) {
    host::ModelBuilder model("Mixed");
    adapter.params.model = model;
    FePartStr* mixed = model.part("Mixed")
                           .nodes(kCube)
                           .elements(FE_MESH_QUAD4, {0, 1, 2, 3})
                           .elements(FE_MESH_HEXA8, {0, 1, 2, 3, 4, 5, 6, 7})
                           .handle();
    ASSERT_EQ(FePartIsPart1d2d3d(mixed), 3);
    write(mixed);
    const std::vector<ShapeText> shapes = shapesIn(completeFile());
    ASSERT_EQ(shapes.size(), 1u);
    EXPECT_EQ(shapes[0].faces, tableFaces(kVRMLKindOfMeshType[FE_MESH_HEXA8], {0, 1, 2, 3, 4, 5, 6, 7}));
}

TEST_F(AdapterParts, ShellColoursReadTheValuesOfTheirOwnType) {
    host::ModelBuilder model("Shells");
    adapter.params.model = model;
    model.part("Lead").nodes({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}).elements(FE_MESH_TRIA3, {0, 1, 2});
    // 2 triangles, one 6-node triangle, 2 quadrilaterals: element values 1-2, 3 and 4-5.
    FePartStr* shells =
        model.part("Shells")
            .nodes({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 1, 0}, {0, 2, 0}, {1, 2, 0}})
            .elements(FE_MESH_QUAD4, {0, 1, 4, 3, 1, 2, 5, 4})
            .elements(FE_MESH_TRIA6, {3, 4, 5, 7, 6, 0})
            .elements(FE_MESH_TRIA3, {0, 1, 3, 1, 4, 3})
            .handle();
    elementContours(model);
    write(shells, 0, 1);
    const std::vector<ShapeText> shapes = shapesIn(completeFile());
    ASSERT_EQ(shapes.size(), 3u);
    EXPECT_EQ(valuesOf(shapes[0]), (std::vector<int>{1, 2}));
    EXPECT_EQ(valuesOf(shapes[1]), (std::vector<int>{3}));
    EXPECT_EQ(valuesOf(shapes[2]), (std::vector<int>{4, 5}));
}

TEST_F(AdapterParts, SolidColoursRepeatForEveryFaceAndSkipFailedElements) {
    host::ModelBuilder model("Bar");
    adapter.params.model = model;
    model.frames({0.0f, 1.0f});
    FePartStr* bar = model.part("Bar")
                         .nodes({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1},
                                 {1, 1, 1}, {0, 1, 1}, {0, 0, 2}, {1, 0, 2}, {1, 1, 2}, {0, 1, 2}})
                         .elements(FE_MESH_HEXA8, {0, 1, 2, 3, 4, 5, 6, 7, 4, 5, 6, 7, 8, 9, 10, 11})
                         .failsAt(FE_MESH_HEXA8, 0, 1)
                         .handle();
    elementContours(model);
    write(bar, 1, 0);
    const std::vector<ShapeText> shapes = shapesIn(completeFile());
    ASSERT_EQ(shapes.size(), 1u);
    EXPECT_EQ(shapes[0].faces, tableFaces(kVRMLKindOfMeshType[FE_MESH_HEXA8], {4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(valuesOf(shapes[0]), std::vector<int>(6, 1)) << "six faces of the second element";
    EXPECT_EQ(host::hostLog().calls("FePartIsElementFailingGivenPart"), 2);
}

TEST_F(AdapterParts, APartWhoseElementsAllFailedKeepsItsShapesWithoutFaces) {
    host::ModelBuilder model("Gone");
    adapter.params.model = model;
    model.frames({0.0f, 1.0f});
    FePartStr* gone = model.part("Gone")
                          .nodes({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}})
                          .elements(FE_MESH_TRIA3, {0, 1, 2, 1, 3, 2})
                          .failsAt(FE_MESH_TRIA3, 0, 1)
                          .failsAt(FE_MESH_TRIA3, 1, 1)
                          .handle();
    write(gone, 1);
    const std::vector<ShapeText> shapes = shapesIn(completeFile());
    ASSERT_EQ(shapes.size(), 1u);
    EXPECT_TRUE(shapes[0].faces.empty());
    EXPECT_EQ(status, 2) << "the shape is written all the same";
}

TEST_F(AdapterParts, APartWithoutElementsIsAnEmptyTransformAndChangesNoStatus) {
    host::ModelBuilder model("Empty");
    adapter.params.model = model;
    FePartStr* empty = model.part("Empty Part").dimensionality(2).handle();
    write(empty);
    const std::string text = completeFile();
    EXPECT_NE(text.find("DEF Empty_Part Transform {"), std::string::npos) << text;
    EXPECT_EQ(text.find("Shape"), std::string::npos);
    EXPECT_EQ(status, 3);
}

TEST_F(AdapterParts, OnlyAStatusOf3Becomes2) {
    host::ModelBuilder model("Plate");
    adapter.params.model = model;
    FePartStr* plate = model.part("Plate").nodes({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}).elements(FE_MESH_TRIA3, {0, 1, 2}).handle();
    status = 1;
    write(plate);
    EXPECT_EQ(status, 1);
}

TEST_F(AdapterParts, PartsShareOneGlobalModelAndOneCoordinateList) {
    host::ModelBuilder model("Pair");
    adapter.params.model = model;
    model.camera(0, {{{2, 0, 0, 0}, {0, 2, 0, 0}, {0, 0, 2, 0}, {1, 2, 3, 1}}});
    FePartStr* first = model.part("First").nodes({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}).elements(FE_MESH_TRIA3, {0, 1, 2}).handle();
    FePartStr* second = model.part("Second").nodes(kCube).elements(FE_MESH_HEXA8, {0, 1, 2, 3, 4, 5, 6, 7}).handle();
    center[0] = 5;
    write(first);
    write(second);
    const std::string text = completeFile();
    EXPECT_EQ(occurrences(text, "DEF Global_model Transform"), 1);
    EXPECT_NE(text.find("scale\t2.000000 2.000000 2.000000 "), std::string::npos) << "the frame's camera";
    EXPECT_NE(text.find("translation\t1.000000 2.000000 3.000000 "), std::string::npos);
    EXPECT_EQ(center[0], 0.0f) << "the global model places the model; the centre is cleared";
    EXPECT_EQ(occurrences(text, "DEF global_coords Coordinate"), 1);
    EXPECT_EQ(occurrences(text, "coord USE global_coords"), 1);
    EXPECT_LT(text.find("DEF First Transform"), text.find("DEF Second Transform"));
}

TEST_F(AdapterParts, NodeContoursTextureEveryShapeFromOneImage) {
    host::ModelBuilder model("Heat");
    adapter.params.model = model;
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
    host::ModelBuilder model("Plate");
    adapter.params.model = model;
    FePartStr* plate = model.part("Plate").nodes({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}).elements(FE_MESH_TRIA3, {0, 1, 2}).handle();
    record.valuesPerElement = 1;
    record.elementColors = {255, 0, 0};  // left from an earlier shape
    adapter.contourInfo = &record;
    adapter.partHasContours = true;
    write(plate, 0, 0);
    const std::string text = completeFile();
    EXPECT_EQ(text.find("Color {"), std::string::npos) << text;
    EXPECT_EQ(text.find("texture"), std::string::npos);
    EXPECT_EQ(shapesIn(text).size(), 1u);
}

TEST_F(AdapterParts, TheAnimationDrivesTheSharedCoordinatesAfterTheGlobalModel) {
    host::ModelBuilder model("Swing");
    adapter.params.model = model;
    FePartStr* plate = model.part("Plate").nodes({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}).elements(FE_MESH_TRIA3, {0, 1, 2}).handle();
    write(plate);
    globalVRMLWriter.endGlobalModel();
    float start[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    float end[9] = {0, 0, 1, 1, 0, 1, 0, 1, 1};
    adapter.exportAnimations({{0.0, start}, {1.0, end}}, 3);
    const std::string text = body();
    testing_support::keepVrmlSample(testing_support::readFile(file));
    EXPECT_NE(text.find("ROUTE ci.value_changed TO global_coords.set_point"), std::string::npos) << text;
    EXPECT_LT(text.find("DEF global_coords"), text.find("ROUTE"));
}

// ---------------------------------------------------------------------------------------------
// Skins

TEST_F(AdapterParts, ASkinOfTrianglesOnlyIsOneTriangleShape) {
    host::ModelBuilder model("Tet");
    adapter.params.model = model;
    FePartStr* tet = model.part("Tet").nodes({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}})
                         .elements(FE_MESH_TETRA4, {0, 1, 2, 3}).handle();
    model.part("After").nodes({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}})
        .elements(FE_MESH_TRIA3, {0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2});
    elementContours(model);
    writeSkin(tet, 0, 0);
    const std::vector<ShapeText> shapes = shapesIn(completeFile());
    ASSERT_EQ(shapes.size(), 1u);
    EXPECT_EQ(shapes[0].faces.size(), 4u);
    for (const auto& face : shapes[0].faces) EXPECT_EQ(face.size(), 3u);
    EXPECT_EQ(valuesOf(shapes[0]), (std::vector<int>{0, 1, 2, 3})) << "one value per skin face from the part's first";
    EXPECT_EQ(status, 2);
}

TEST_F(AdapterParts, ASkinOfQuadrilateralsAsksForFailuresAsQuadrilaterals) {
    host::ModelBuilder model("Cube");
    adapter.params.model = model;
    model.frames({0.0f, 1.0f});
    FePartStr* cube = model.part("Cube").nodes(kCube).elements(FE_MESH_HEXA8, {0, 1, 2, 3, 4, 5, 6, 7})
                          .failsAt(FE_MESH_HEXA8, 0, 1).handle();
    writeSkin(cube, 0);
    writeSkin(cube, 1);
    const std::vector<ShapeText> shapes = shapesIn(completeFile());
    ASSERT_EQ(shapes.size(), 2u);
    EXPECT_EQ(shapes[0].faces.size(), 6u);
    for (const auto& face : shapes[0].faces) EXPECT_EQ(face.size(), 4u);
    EXPECT_TRUE(shapes[1].faces.empty()) << "every skin face of the failed cube is left out";
    EXPECT_EQ(host::hostLog().calls("FePartIsElementFailingGivenPart"), 12);
}

TEST_F(AdapterParts, ASkinWithBothListsWritesTrianglesFirst) {
    host::ModelBuilder model("Wedge");
    adapter.params.model = model;
    FePartStr* wedge = model.part("Wedge").nodes(kCube).elements(FE_MESH_PENTA6, {0, 1, 2, 3, 4, 7}).handle();
    writeSkin(wedge);
    const std::vector<ShapeText> shapes = shapesIn(completeFile());
    ASSERT_EQ(shapes.size(), 2u);
    EXPECT_EQ(shapes[0].faces.size(), 2u);
    EXPECT_EQ(shapes[1].faces.size(), 3u);
    EXPECT_EQ(occurrences(shapes[0].text + shapes[1].text, "appearance Appearance"), 2);
    EXPECT_EQ(status, 2);
}

TEST_F(AdapterParts, SkinQuadrilateralColoursFollowThePartsTriangleValues) {
    host::ModelBuilder model("Capped");
    adapter.params.model = model;
    // Two shell triangles (values 0, 1) and a hexahedron (value 2); the skin's six quadrilaterals
    // read six values from the part's first value plus its two triangles.
    FePartStr* capped = model.part("Capped").nodes(kCube)
                            .elements(FE_MESH_TRIA3, {0, 1, 2, 0, 2, 3})
                            .elements(FE_MESH_HEXA8, {0, 1, 2, 3, 4, 5, 6, 7}).handle();
    model.part("After").nodes({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}})
        .elements(FE_MESH_TRIA3, {0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2});
    elementContours(model);
    writeSkin(capped, 0, 0);
    const std::vector<ShapeText> shapes = shapesIn(completeFile());
    ASSERT_EQ(shapes.size(), 1u);
    EXPECT_EQ(valuesOf(shapes[0]), (std::vector<int>{2, 3, 4, 5, 6, 7}));
}

TEST_F(AdapterParts, SkinFacesBeyondTheLastValueAreGreyNotReadPastTheArray) {
    host::ModelBuilder model("Last");
    adapter.params.model = model;
    model.part("Plate").nodes({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}).elements(FE_MESH_TRIA3, {0, 1, 2});
    // The model's last part: one hexahedron, one value, six skin faces.
    FePartStr* cube = model.part("Cube").nodes(kCube).elements(FE_MESH_HEXA8, {0, 1, 2, 3, 4, 5, 6, 7}).handle();
    elementContours(model);
    writeSkin(cube, 0, 1);
    const std::vector<ShapeText> shapes = shapesIn(completeFile());
    ASSERT_EQ(shapes.size(), 1u);
    ASSERT_EQ(shapes[0].colors.size(), 6u);
    EXPECT_EQ(valueOfRed(shapes[0].colors[0][0]), 1);
    for (size_t face = 1; face < 6; ++face)
        EXPECT_EQ(shapes[0].colors[face], (std::array<int, 3>{128, 128, 128})) << "face " << face;
}

TEST_F(AdapterParts, ASolidPartWithoutSkinWritesNothingAndTheNextPartOpensTheModel) {
    host::ModelBuilder model("Hollow");
    adapter.params.model = model;
    FePartStr* hollow = model.part("Hollow").nodes({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}})
                            .elements(FE_MESH_TRIA3, {0, 1, 2}).dimensionality(3).handle();
    FePartStr* cube = model.part("Cube").nodes(kCube).elements(FE_MESH_HEXA8, {0, 1, 2, 3, 4, 5, 6, 7}).handle();
    writeSkin(hollow);
    EXPECT_EQ(status, 3);
    EXPECT_FALSE(globalVRMLWriter.globalModelWritten);
    writeSkin(cube);
    const std::string text = completeFile();
    EXPECT_EQ(partText(text, "Hollow"), "");
    EXPECT_NE(partText(text, "Cube"), "");
    EXPECT_EQ(occurrences(text, "DEF Global_model"), 1);
    EXPECT_EQ(status, 2);
}

}  // namespace
