// Writing parts: one shape per element type in mesh-type order, from the right connectivity
// list, with the part's share of the contour values and without failed elements; solid parts as
// their skin; one global model and one coordinate list per file. Files are read back.
#include "ZVRMLElementKinds.h"
#include "adapter_probe.h"

#include <array>
#include <vector>

namespace {

using namespace testing_support;
using Faces = std::vector<std::vector<int>>;
using Values = std::vector<int>;

const std::initializer_list<std::array<float, 3>> kCube = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
const std::initializer_list<std::array<float, 3>> kTriangle = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
const std::initializer_list<int> kHexahedron = {0, 1, 2, 3, 4, 5, 6, 7};

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
    // Frame `frame` of the part as an export writes it, whole or its skin.
    void write(FePartStr* part, int frame = 0, int contourOffset = -1, bool skin = false) {
        host::showFrame(frame);
        FePostResultStr* result = MdbGetManagerObject(model, 0);
        (adapter.*(skin ? &AdapterProbe::filterSkinOnly : &AdapterProbe::filterParts))(
            part, frame, result->nodeCoords, result->nodeCount, center, true, status, contourOffset);
    }
    // Element e has the value e, and its colour in a file names that value.
    void elementContours() {
        model.elementField("index", [](int, int element) { return static_cast<float>(element); });
        host::WindowBuilder window(model);
        window.contour("index").colors(countingColors()).range(0.0f, 16.0f);
        adapter.params.window = window;
        host::showFrame(0);
        ASSERT_TRUE(adapter.GetContourData(&record, 1));
        adapter.partHasContours = true;
    }
    host::ModelBuilder model{"Model"};  // built again once the session is fresh
    int status = 3;
    float center[3] = {5, 0, 0};
    ZVRMLAdapter::_ContourExportInfoStr record;
};

TEST_F(AdapterParts, Shells) {
    model.part("Lead").nodes(kTriangle).elements(FE_MESH_TRIA3, {0, 1, 2});  // nodes 0-2, element 0
    FePartStr* shells = model.part("Shells")
        .nodes({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 1, 0}, {0, 2, 0}, {1, 2, 0}})
        .elements(FE_MESH_QUAD8, {0, 1, 2, 5, 7, 6, 4, 3}).elements(FE_MESH_QUAD4, {0, 1, 4, 3, 1, 2, 5, 4})
        .elements(FE_MESH_TRIA6, {3, 4, 5, 7, 6, 0}).elements(FE_MESH_TRIA3, {0, 1, 3, 1, 4, 3}).handle();
    elementContours();
    status = 1;
    write(shells, 0, 1);
    const auto shapes = shapesIn(body(true));
    ASSERT_EQ(shapes.size(), 4u);
    EXPECT_EQ(shapes[0].faces, (Faces{{3, 4, 6}, {4, 7, 6}})) << "node numbers follow the lead part's";
    EXPECT_EQ(shapes[1].faces, (Faces{{6, 7, 8, 10, 9, 3}}));
    EXPECT_EQ(shapes[3].faces, (Faces{{3, 4, 5, 8, 10, 9, 7, 6}}));
    const Values values[] = {{1, 2}, {3}, {4, 5}, {6}};
    for (int shape = 0; shape < 4; ++shape) EXPECT_EQ(valuesOf(shapes[shape]), values[shape]);
    EXPECT_EQ(status, 1) << "only a status of 3 becomes 2";
}

TEST_F(AdapterParts, Solids) {
    model.frames({0.0f, 1.0f});
    FePartStr* blocks = model.part("Blocks").nodes(kCube).elements(FE_MESH_QUAD4, {0, 1, 2, 3})
        .elements(FE_MESH_HEXA8, {0, 1, 2, 3, 4, 5, 6, 7, 0, 1, 2, 3, 4, 5, 6, 7}).failsAt(FE_MESH_HEXA8, 0, 1)
        .elements(FE_MESH_TETRA4, {0, 1, 3, 4}).elements(FE_MESH_PENTA6, {0, 1, 2, 3, 4, 7}).handle();
    FePartStr* gone = model.part("Gone").nodes(kTriangle).elements(FE_MESH_TRIA3, {0, 1, 2}).failsAt(FE_MESH_TRIA3, 0, 1).handle();
    elementContours();
    write(blocks, 1, 0);
    write(gone, 1, 5);
    const auto shapes = shapesIn(body(true));
    ASSERT_EQ(shapes.size(), 4u) << "shell elements of a solid part are left out";
    EXPECT_EQ(shapes[0].faces, tableFaces(FE_MESH_TETRA4, {0, 1, 3, 4}));
    EXPECT_EQ(shapes[1].faces, tableFaces(FE_MESH_PENTA6, {0, 1, 2, 3, 4, 7}));
    EXPECT_EQ(shapes[2].faces, tableFaces(FE_MESH_HEXA8, kHexahedron)) << "the second hexahedron, the first failed";
    EXPECT_EQ(valuesOf(shapes[0]), Values(4, 0));
    EXPECT_EQ(valuesOf(shapes[2]), Values(6, 3)) << "solid values run from the part's first, shells aside";
    EXPECT_TRUE(shapes[3].faces.empty()) << "a shape whose elements all failed stays, empty";
    EXPECT_EQ(status, 2);
}

TEST_F(AdapterParts, SharedModel) {
    model.camera(0, {{{2, 0, 0, 0}, {0, 2, 0, 0}, {0, 0, 2, 0}, {1, 2, 3, 1}}});
    FePartStr* empty = model.part("Empty Part").dimensionality(2).handle();
    FePartStr* first = model.part("First").nodes(kTriangle).elements(FE_MESH_TRIA3, {0, 1, 2}).handle();
    FePartStr* second = model.part("Second").nodes(kCube).elements(FE_MESH_HEXA8, kHexahedron).handle();
    write(empty);
    EXPECT_EQ(status, 3) << "a part without elements writes no shape";
    write(first);
    write(second);
    const std::string text = body(true);
    EXPECT_EQ(partText(text, "Empty_Part").find("Shape"), std::string::npos);
    EXPECT_EQ(occurrences(text, "DEF Global_model Transform"), 1);
    EXPECT_NE(text.find("scale\t2.000000 2.000000 2.000000 "), std::string::npos) << "the frame's camera";
    EXPECT_NE(text.find("translation\t1.000000 2.000000 3.000000 "), std::string::npos);
    EXPECT_EQ(center[0], 0.0f) << "the global model places the model; the centre is cleared";
    EXPECT_EQ(occurrences(text, "DEF global_coords Coordinate"), 1);
    EXPECT_EQ(occurrences(text, "coord USE global_coords"), 1);
    EXPECT_LT(text.find("DEF Empty_Part Transform"), text.find("DEF Second Transform"));
}

TEST_F(AdapterParts, NoContours) {
    FePartStr* plate = model.part("Plate").nodes(kTriangle).elements(FE_MESH_TRIA3, {0, 1, 2}).handle();
    record.valuesPerElement = 1;
    record.elementColors = {255, 0, 0};  // left from an earlier shape
    adapter.contourInfo = &record;
    adapter.partHasContours = true;
    write(plate, 0, 0);  // a record that could not be filled
    elementContours();
    write(plate, 0, -1);  // element values without an offset of their own
    EXPECT_EQ(body(true).find("Color {"), std::string::npos);
}

// After the export has closed its file, the animation of the shared coordinates goes to its end.
TEST_F(AdapterParts, Animation) {
    write(model.part("Plate").nodes(kTriangle).elements(FE_MESH_TRIA3, {0, 1, 2}).handle());
    const std::string scene = (body(true), readFile(file));
    float start[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0}, end[9] = {0, 0, 1, 1, 0, 1, 0, 1, 1};
    adapter.exportAnimations({{0.0, start}, {1.0, end}}, 3);
    EXPECT_FALSE(globalVRMLWriter.stream.is_open()) << "the file is closed again";
    const std::string text = readFile(file);
    EXPECT_TRUE(text.starts_with(scene + "\nDEF ts TimeSensor") && text.ends_with("ROUTE ci.value_changed TO global_coords.set_point"));
    keepVrmlSample(text);
}

// Triangles first, then quadrilaterals, whose values follow all the part's triangles; one value
// per face from the part's first; grey past the model's last value.
TEST_F(AdapterParts, Skins) {
    model.frames({0.0f, 1.0f});
    FePartStr* hollow = model.part("Hollow").nodes(kTriangle).elements(FE_MESH_TRIA3, {0, 1, 2}).dimensionality(3).handle();
    FePartStr* tet = model.part("Tet").nodes(kCube).elements(FE_MESH_TETRA4, {0, 1, 3, 4}).handle();                // element 1
    FePartStr* wedge = model.part("Wedge").nodes(kCube).elements(FE_MESH_PENTA6, {0, 1, 2, 3, 4, 7}).handle();      // 2
    FePartStr* capped = model.part("Capped").nodes(kCube).elements(FE_MESH_TRIA3, {0, 1, 2})                       // 3
        .elements(FE_MESH_TRIA6, {0, 1, 2, 3, 4, 5}).elements(FE_MESH_HEXA8, kHexahedron).failsAt(FE_MESH_HEXA8, 0, 1).handle();
    model.part("After").nodes(kTriangle).elements(FE_MESH_TRIA3, std::vector<int>(27, 0));  // 6-14
    FePartStr* last = model.part("Last").nodes(kCube).elements(FE_MESH_HEXA8, kHexahedron).handle();  // 15
    elementContours();
    write(hollow, 0, 0, true);
    EXPECT_FALSE(globalVRMLWriter.globalModelWritten) << "a part without skin leaves no trace";
    EXPECT_EQ(status, 3);
    for (const auto& [part, offset] : {std::pair{tet, 1}, {wedge, 2}, {capped, 3}, {last, 15}}) write(part, 0, offset, true);
    adapter.partHasContours = false;
    const long asked = hostCalls("FePartIsElementFailingGivenPart");
    write(capped, 1, 3, true);
    EXPECT_EQ(hostCalls("FePartIsElementFailingGivenPart") - asked, 6) << "once per skin face";
    const std::string text = body(true);
    EXPECT_EQ(partText(text, "Hollow"), "");
    const auto shapes = shapesIn(text);
    ASSERT_EQ(shapes.size(), 6u);
    EXPECT_EQ(valuesOf(shapes[0]), (Values{1, 2, 3, 4}));
    EXPECT_TRUE(shapes[1].faces.size() == 2 && shapes[2].faces.size() == 3) << "the tetrahedron's and the wedge's skin";
    EXPECT_EQ(valuesOf(shapes[3]), (Values{5, 6, 7, 8, 9, 10})) << "after the 3- and 6-node triangles";
    EXPECT_EQ(valuesOf(shapes[4]), (Values{15, 7, 7, 7, 7, 7})) << "7 is the neutral grey, 128";
    EXPECT_TRUE(shapes[5].faces.empty()) << "every skin face of the failed cube is left out";
    EXPECT_EQ(status, 2);
}

}  // namespace
