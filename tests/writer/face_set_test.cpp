// Indexed face sets: the face lists of each element kind, the coordinate list and its reuse,
// skipped elements, per-face colours and texture coordinates.
#include "ZVRMLElementKinds.h"
#include "heap_counter.h"
#include "writer_fixture.h"

#include <array>
#include <numeric>
#include <set>
#include <vector>

namespace {

using testing_support::occurrences;
using testing_support::shapesIn;
using Faces = std::vector<std::vector<int>>;
using Colors = std::vector<std::array<int, 3>>;

// Node n at a spot of its own, so no two nodes coincide.
std::vector<float> nodeGrid(int nodeCount) {
    std::vector<float> coords;
    for (int node = 0; node < nodeCount; ++node)
        coords.insert(coords.end(), {float(node % 5), float(node / 5 % 5), float(node / 25)});
    return coords;
}

std::vector<int> identity(int count) {
    std::vector<int> nodes(count);
    std::iota(nodes.begin(), nodes.end(), 0);
    return nodes;
}

using WriterFaceSet = WriterTest;

TEST_F(WriterFaceSet, LayoutOfEachKind) {
    const int tetrahedron[] = {10, 11, 12, 13};
    const std::vector<int> nodes = identity(20);
    struct Row {
        const char* name;
        int kind, level, elements;
        const int* connectivity;
        const char* text;
    } rows[] = {
        {"tetrahedron", 7, 0, 1, tetrahedron,
         "\n\tcoordIndex [\t10, 12, 11, -1,\n\t11, 12, 13, -1,\n\t10, 11, 13, -1,\n\t10, 13, 12, -1,\n\t\n]"},
        {"two wedges", 5, 1, 2, nodes.data(),
         "\n\t\tcoordIndex [\t\t0, 1, 4, -1,\n\t\t2, 3, 5, -1,\n\t\t0, 4, 5, 3, -1,\n\t\t1, 2, 5, 4, -1,"
         "\n\t\t0, 3, 2, 1, -1,\n\t\t\t\t6, 7, 10, -1,\n\t\t8, 9, 11, -1,\n\t\t6, 10, 11, 9, -1,"
         "\n\t\t7, 8, 11, 10, -1,\n\t\t6, 9, 8, 7, -1,\n\t\t\n\t]"},
        {"hexahedron", 3, 1, 1, nodes.data(),
         "\n\t\tcoordIndex [0, 3, 2, 1, -1,\n\t\t4, 5, 6, 7, -1,\n\t\t2, 3, 7, 6, -1,\n\t\t0, 1, 5, 4, -1,"
         "\n\t\t1, 2, 6, 5, -1,\n\t\t0, 4, 7, 3, -1,\n\t\t\n\t]"},
        {"6-node triangles", 9, 1, 2, nodes.data(),
         "\n\t\tcoordIndex [\n\t\t0, 1, 2, 3, 4, 5, -1,\n\t\t6, 7, 8, 9, 10, 11, -1,\n\t]"},
        {"kind past the table", 10, 0, 1, nodes.data(), "\n\tcoordIndex [\n]"},
        {"negative kind", -1, 0, 1, nodes.data(), "\n\tcoordIndex [\n]"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(textOf([&](ZVRMLWriter& w) { w.level = row.level; w.writeCoordIndex(row.kind, row.connectivity, row.elements, {}); },
                         row.kind >= 0 && row.kind < 10 ? &kInFaceSet : nullptr),
                  row.text);
    }
}

// Node numbers unlike positions, so a face that wrote positions would show.
TEST_F(WriterFaceSet, EveryKindWritesConnectivityNodesAtTheTablePositions) {
    for (int kind = 0; kind < kVRMLElementKindCount; ++kind) {
        const ZVRMLElementKind& info = kVRMLElementKinds[kind];
        SCOPED_TRACE(info.name);
        std::vector<int> nodes;
        for (int position = 0; position < 2 * info.nodesPerElement; ++position) nodes.push_back(100 + 7 * position);
        Faces expected;
        for (int element = 0; element < 2; ++element)
            for (const ZVRMLFace& face : info.faces) {
                expected.emplace_back();
                for (int corner = 0; corner < face.nodeCount; ++corner)
                    expected.back().push_back(nodes[element * info.nodesPerElement + face.positions[corner]]);
            }
        const auto shapes = shapesIn(textOf([&](ZVRMLWriter& w) { w.beginShape(); w.writeCoordIndex(kind, nodes.data(), 2, {}); }));
        ASSERT_EQ(shapes.size(), 1u);
        EXPECT_EQ(shapes[0].faces, expected);
    }
}

TEST_F(WriterFaceSet, OneTriangleAtLevelTwo) {
    const std::vector<float> coords{0, 0, 0, 1, 0, 0, 1, 1, 0};
    const int triangle[] = {0, 1, 2};
    EXPECT_EQ(textOf([&](ZVRMLWriter& w) {
                  w.level = 2;
                  w.writeIndexedFaceSet(0, 3, coords.data(), 1, triangle, "global_coords", nullptr, {}, {},
                                        false, false, false);
              }, &kInShape),
              "\n\t\t\tgeometry IndexedFaceSet {\n\t\t\t\tcoord DEF global_coords Coordinate {"
              "\n\t\t\t\t\tpoint [\n\t\t\t\t\t0.000000 0.000000 0.000000 \n\t\t\t\t\t1.000000 0.000000 0.000000 "
              "\n\t\t\t\t\t1.000000 1.000000 0.000000 \n\t\t\t\t\n\t\t\t]\n\t\t}\n\t\t\tcoordIndex ["
              "\n\t\t\t0, 1, 2, -1,\n\t\t]\n\n\t\tsolid FALSE\n\t\tcreaseAngle 0.785\n\t}");
    EXPECT_EQ(levelAfter, 1);
}

TEST_F(WriterFaceSet, CoordinateAndColourNodes) {
    const float point[] = {1.0f, 2.5f, -3.0f};
    const std::pair<WriterSteps, const char*> rows[] = {
        {[&](ZVRMLWriter& w) { w.writeCoordinate(1, point, "pts", false); },
         "\n\tcoord DEF pts Coordinate {\n\t\tpoint [\n\t\t1.000000 2.500000 -3.000000 \n\t\n]\n}"},
        {[&](ZVRMLWriter& w) { w.writeCoordinate(0, nullptr, "global_coords", true); },
         "\n\tcoord DEF global_coords Coordinate {\n\t\tpoint [\n\t\n]\n}"},
        {[&](ZVRMLWriter& w) { w.level = 1; w.writeColor({255, 0, 0, 0, 128, 255}, {}, 0); },
         "\n\t\tcolor DEF ZE_Coord_Color  Color {\n\t\t\tcolor [\n\t\t\t1 0 0 ,\n\t\t\t0 0.5019608 1 ,"
         "\n\t\t\t\t\t\n\t]\n}"},
    };
    for (const auto& [steps, text] : rows) {
        EXPECT_EQ(textOf(steps, &kInFaceSet), text);
        EXPECT_EQ(levelAfter, 0);
    }
}

TEST_F(WriterFaceSet, SkippedElementsAndColours) {
    std::vector<int> tetraColors;
    for (int element = 0; element < 3; ++element)
        for (int face = 0; face < 4; ++face) tetraColors.insert(tetraColors.end(), {element * 100, face, 0});
    const std::vector<int> red(36, 0);
    struct Row {
        const char* name;
        int kind, elements;
        std::vector<int> colors;
        std::set<int> skipped;
        bool perElement, partContours;
        Faces faces;
        Colors shown;
        std::vector<std::string> colorIndex;
    } rows[] = {
        {"20-node hexahedron", 2, 1, std::vector<int>(36, 255), {}, true, true, {}, Colors(12, {255, 255, 255}),
         {"0 1 2 3 4 5 6 7 8 9 10 11 "}},
        {"quadrilaterals 1 and 3 skipped", 1, 4, {0, 0, 0, 51, 0, 0, 102, 0, 0, 153, 0, 0}, {1, 3}, true, true,
         {{0, 1, 2, 3}, {8, 9, 10, 11}}, {{0, 0, 0}, {102, 0, 0}}, {"0 1 "}},
        {"tetrahedra 0 and 2 skipped", 7, 3, tetraColors, {0, 2}, true, true,
         {{4, 6, 5}, {5, 6, 7}, {4, 5, 7}, {4, 7, 6}}, {{100, 0, 0}, {100, 1, 0}, {100, 2, 0}, {100, 3, 0}},
         {"0 1 2 3 "}},
        {"every element skipped", 1, 2, {255, 0, 0, 0, 255, 0}, {0, 1}, true, true, {}, {}, {""}},
        {"skip entries outside the elements", 1, 2, {255, 0, 0, 0, 255, 0}, {-5, 1, 7}, true, true,
         {{0, 1, 2, 3}}, {{255, 0, 0}}, {"0 "}},
        {"part without contours", 0, 1, {255, 0, 0}, {}, true, false, {{0, 1, 2}}, {}, {}},
        {"colours not per element", 0, 1, {255, 0, 0}, {}, false, true, {{0, 1, 2}}, {}, {}},
    };
    const std::vector<float> coords = nodeGrid(40);
    const std::vector<int> nodes = identity(40);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string text = textOf([&](ZVRMLWriter& w) {
            w.beginShape();
            w.writeIndexedFaceSet(row.kind, 40, coords.data(), row.elements, nodes.data(), "global_coords",
                                  nullptr, row.colors, row.skipped, row.perElement, true, row.partContours);
            w.closeBrace();
        }, &kTopLevel);
        const auto shapes = shapesIn(text);
        ASSERT_EQ(shapes.size(), 1u);
        if (row.kind != 2) EXPECT_EQ(shapes[0].faces, row.faces);
        else EXPECT_EQ(shapes[0].faces.size(), 12u);
        EXPECT_EQ(shapes[0].colors, row.shown);
        EXPECT_EQ(testing_support::matchesOf(text, "colorIndex \\[([0-9 ]*)"), row.colorIndex);
        EXPECT_EQ(occurrences(text, "colorPerVertex FALSE"), row.colorIndex.empty() ? 0 : 1);
    }
}

TEST_F(WriterFaceSet, CoordinatesAreDefinedOncePerFileOnlyWhenShared) {
    const std::vector<float> coords = nodeGrid(4);
    const int quad[] = {0, 1, 2, 3};
    for (const bool share : {true, false}) {
        const std::string text = textOf([&](ZVRMLWriter& w) {
            for (int kind : {1, 0}) {
                w.beginShape();
                w.writeIndexedFaceSet(kind, 4, coords.data(), 1, quad, "global_coords", nullptr, {}, {}, false, share, false);
                w.closeBrace();
            }
        }, &kTopLevel);
        EXPECT_EQ(occurrences(text, "coord DEF global_coords Coordinate {"), share ? 1 : 2);
        EXPECT_EQ(occurrences(text, "\tcoord USE global_coords\n"), share ? 1 : 0);
    }
}

TEST_F(WriterFaceSet, NodeValuesBecomeTextureCoordinatesOncePerFile) {
    const std::vector<float> coords = nodeGrid(3);
    const int triangle[] = {0, 1, 2};
    const float values[] = {0.5f, -2.0f, 100.0f};
    const std::string text = textOf([&](ZVRMLWriter& w) {
        w.level = 1;
        for (bool perElement : {false, false, true}) {
            w.beginShape();
            w.writeIndexedFaceSet(0, 3, coords.data(), 1, triangle, "global_coords", values, {0, 0, 255}, {},
                                  perElement, true, true);
            w.closeBrace();
        }
    }, &kTopLevel);
    EXPECT_NE(text.find("\t\t]\n\t\ttexCoord DEF texVals TextureCoordinate {\n\t\t\tpoint [\n\t\t\t0.5 0,"
                        "\n\t\t\t-2 0,\n\t\t\t100 0,\n\n\t\t]\n\t}\n\tsolid FALSE"), std::string::npos) << text;
    EXPECT_NE(text.find("\t\t\t]\n\t\t\ttexCoord USE texVals\n\t\t\tsolid FALSE"), std::string::npos) << text;
    EXPECT_EQ(occurrences(text, "texCoord"), 2) << "per-face colours take the place of texture coordinates";
    EXPECT_EQ(shapesIn(text)[2].colors, (Colors{{0, 0, 255}}));
}

// Every number is formatted, converted and written on its own, without touching the heap: a set
// a hundred times larger makes exactly as many allocations as a small one.
TEST_F(WriterFaceSet, NumbersAreWrittenWithoutHeapAllocations) {
    ZVRMLWriter writer;
    ASSERT_TRUE(writer.openFile(guName(file)));
    auto allocationsFor = [&](int elementCount, bool perElementColors) {
        const int nodeCount = 8 * elementCount;
        const std::vector<float> coords = nodeGrid(nodeCount);
        const std::vector<int> connectivity = identity(nodeCount);
        const std::vector<int> colors(static_cast<size_t>(3 * 6 * elementCount), 200);
        const std::set<int> skipped{0};
        writer.reset();
        const long before = testing_support::heapAllocations();
        writer.writeIndexedFaceSet(3, nodeCount, coords.data(), elementCount, connectivity.data(), "c",
                                   coords.data(), colors, skipped, perElementColors, true, true);
        return testing_support::heapAllocations() - before;
    };
    for (const bool perElementColors : {false, true})
        EXPECT_EQ(allocationsFor(1000, perElementColors), allocationsFor(10, perElementColors)) << perElementColors;
}

}  // namespace
