// Indexed face sets: the face lists of each element kind, the coordinate list and its reuse,
// skipped elements, per-face colours and texture coordinates.
#include "heap_counter.h"
#include "writer_fixture.h"

#include <array>
#include <numeric>
#include <set>
#include <vector>

namespace {

using testing_support::occurrences;
using testing_support::shapesIn;

// Node n at a spot of its own, so no two nodes coincide; and the node numbers 0..count-1.
std::vector<float> nodeGrid(int count) {
    std::vector<float> coords;
    for (int node = 0; node < count; ++node) coords.insert(coords.end(), {float(node % 5), float(node / 5 % 5), float(node / 25)});
    return coords;
}
std::vector<int> identity(int count) {
    std::vector<int> nodes(count);
    std::iota(nodes.begin(), nodes.end(), 0);
    return nodes;
}

using WriterFaceSet = WriterTest;

TEST_F(WriterFaceSet, LayoutOfEachKind) {
    const std::vector<int> tetrahedron{10, 11, 12, 13}, nodes = identity(20);
    const struct {
        int kind, level, elements;
        const std::vector<int>& connectivity;
        const char* text;
    } rows[] = {
        {7, 0, 1, tetrahedron, "\n\tcoordIndex [\t10, 12, 11, -1,\n\t11, 12, 13, -1,\n\t10, 11, 13, -1,\n\t10, 13, 12, -1,\n\t\n]"},
        {5, 1, 2, nodes,
         "\n\t\tcoordIndex [\t\t0, 1, 4, -1,\n\t\t2, 3, 5, -1,\n\t\t0, 4, 5, 3, -1,\n\t\t1, 2, 5, 4, -1,\n\t\t0, 3, 2, 1, -1,"
         "\n\t\t\t\t6, 7, 10, -1,\n\t\t8, 9, 11, -1,\n\t\t6, 10, 11, 9, -1,\n\t\t7, 8, 11, 10, -1,\n\t\t6, 9, 8, 7, -1,\n\t\t\n\t]"},
        {3, 1, 1, nodes,
         "\n\t\tcoordIndex [0, 3, 2, 1, -1,\n\t\t4, 5, 6, 7, -1,\n\t\t2, 3, 7, 6, -1,\n\t\t0, 1, 5, 4, -1,\n\t\t1, 2, 6, 5, -1,"
         "\n\t\t0, 4, 7, 3, -1,\n\t\t\n\t]"},
        {9, 1, 2, nodes, "\n\t\tcoordIndex [\n\t\t0, 1, 2, 3, 4, 5, -1,\n\t\t6, 7, 8, 9, 10, 11, -1,\n\t]"},
        {10, 0, 1, nodes, "\n\tcoordIndex [\n]"},
        {-1, 0, 1, nodes, "\n\tcoordIndex [\n]"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(textOf([&](ZVRMLWriter& w) { w.level = row.level; w.writeCoordIndex(row.kind, row.connectivity.data(), row.elements, {}); },
                         row.kind >= 0 && row.kind < 10 ? &kInFaceSet : nullptr),
                  row.text);
}

TEST_F(WriterFaceSet, ExactText) {
    const std::vector<float> triangle{0, 0, 0, 1, 0, 0, 1, 1, 0}, point{1.0f, 2.5f, -3.0f};
    const int nodes[] = {0, 1, 2};
    const struct {
        WriterSteps steps;
        const Wrap* wrap;
        const char* text;
        int level;
    } rows[] = {
        {[&](ZVRMLWriter& w) { w.level = 2; w.writeIndexedFaceSet(0, 3, triangle.data(), 1, nodes, "c", nullptr, {}, {}, false, false, false); },
         &kInShape,
         "\n\t\t\tgeometry IndexedFaceSet {\n\t\t\t\tcoord DEF c Coordinate {\n\t\t\t\t\tpoint [\n\t\t\t\t\t0.000000 0.000000 0.000000 "
         "\n\t\t\t\t\t1.000000 0.000000 0.000000 \n\t\t\t\t\t1.000000 1.000000 0.000000 \n\t\t\t\t\n\t\t\t]\n\t\t}\n\t\t\tcoordIndex ["
         "\n\t\t\t0, 1, 2, -1,\n\t\t]\n\n\t\tsolid FALSE\n\t\tcreaseAngle 0.785\n\t}", 1},
        {[&](ZVRMLWriter& w) { w.writeCoordinate(1, point.data(), "pts", false); }, &kInFaceSet,
         "\n\tcoord DEF pts Coordinate {\n\t\tpoint [\n\t\t1.000000 2.500000 -3.000000 \n\t\n]\n}", 0},
        {[&](ZVRMLWriter& w) { w.level = 1; w.writeColor({255, 0, 0, 0, 128, 255}, {}, 0); }, &kInFaceSet,
         "\n\t\tcolor DEF ZE_Coord_Color  Color {\n\t\t\tcolor [\n\t\t\t1 0 0 ,\n\t\t\t0 0.5019608 1 ,\n\t\t\t\t\t\n\t]\n}", 0},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(textOf(row.steps, row.wrap), row.text);
        EXPECT_EQ(levelAfter, row.level);
    }
}

TEST_F(WriterFaceSet, SkippedElementsAndColours) {
    std::vector<int> tetraColors;
    for (int element = 0; element < 3; ++element)
        for (int face = 0; face < 4; ++face) tetraColors.insert(tetraColors.end(), {element * 100, face, 0});
    const struct {
        int kind, elements;
        std::vector<int> colors;
        std::set<int> skipped;
        bool perElement, partContours;
        std::vector<std::vector<int>> faces;
        std::vector<std::array<int, 3>> shown;
        std::vector<std::string> colorIndex;
    } rows[] = {
        {1, 4, {0, 0, 0, 51, 0, 0, 102, 0, 0, 153, 0, 0}, {1, 3}, true, true, {{0, 1, 2, 3}, {8, 9, 10, 11}}, {{0, 0, 0}, {102, 0, 0}}, {"0 1 "}},
        {7, 3, tetraColors, {0, 2}, true, true, {{4, 6, 5}, {5, 6, 7}, {4, 5, 7}, {4, 7, 6}},
         {{100, 0, 0}, {100, 1, 0}, {100, 2, 0}, {100, 3, 0}}, {"0 1 2 3 "}},
        {1, 2, {255, 0, 0, 0, 255, 0}, {0, 1}, true, true, {}, {}, {""}},
        {1, 2, {255, 0, 0, 0, 255, 0}, {-5, -1, 1, 2, 7}, true, true, {{0, 1, 2, 3}}, {{255, 0, 0}}, {"0 "}},  // outside entries
        {0, 1, {255, 0, 0}, {}, true, false, {{0, 1, 2}}, {}, {}},  // the part has no contours
        {0, 1, {255, 0, 0}, {}, false, true, {{0, 1, 2}}, {}, {}},  // the colours are not per element
    };
    const std::vector<float> coords = nodeGrid(16);
    const std::vector<int> nodes = identity(16);
    for (const auto& row : rows) {
        const std::string text = textOf([&](ZVRMLWriter& w) {
            w.beginShape();
            w.writeIndexedFaceSet(row.kind, 16, coords.data(), row.elements, nodes.data(), "c", nullptr, row.colors, row.skipped,
                                  row.perElement, true, row.partContours);
            w.closeBrace();
        }, &kTopLevel);
        const auto shapes = shapesIn(text);
        ASSERT_EQ(shapes.size(), 1u);
        EXPECT_EQ(shapes[0].faces, row.faces);
        EXPECT_EQ(shapes[0].colors, row.shown);
        EXPECT_EQ(testing_support::matchesOf(text, "colorIndex \\[([0-9 ]*)"), row.colorIndex) << text;
    }
}

TEST_F(WriterFaceSet, SharedCoordinatesAndTextureCoordinatesAreDefinedOncePerFile) {
    const std::vector<float> coords = nodeGrid(3);
    const int triangle[] = {0, 1, 2};
    const float values[] = {0.5f, -2.0f, 100.0f};
    for (const bool share : {true, false}) {
        const std::string text = textOf([&](ZVRMLWriter& w) {
            w.level = 1;
            for (bool perElement : {false, false, true}) {
                w.beginShape();
                w.writeIndexedFaceSet(0, 3, coords.data(), 1, triangle, "c", values, {0, 0, 255}, {}, perElement, share, true);
                w.closeBrace();
            }
        }, &kTopLevel);
        EXPECT_EQ(occurrences(text, "coord DEF c Coordinate {"), share ? 1 : 3);
        EXPECT_EQ(occurrences(text, "\tcoord USE c\n"), share ? 2 : 0);
        if (!share) continue;  // the texture's indentation follows that of a shared list
        EXPECT_NE(text.find("\t\t]\n\t\ttexCoord DEF texVals TextureCoordinate {\n\t\t\tpoint [\n\t\t\t0.5 0,\n\t\t\t-2 0,\n\t\t\t100 0,"
                            "\n\n\t\t]\n\t}\n\tsolid FALSE"), std::string::npos) << text;
        EXPECT_NE(text.find("\t\t\t]\n\t\t\ttexCoord USE texVals\n\t\t\tsolid FALSE"), std::string::npos);
        EXPECT_EQ(occurrences(text, "texCoord"), 2) << "per-face colours take the place of texture coordinates";
    }
}

// Every number is formatted and written on its own without touching the heap: a set a hundred
// times larger makes exactly as many allocations as a small one.
TEST_F(WriterFaceSet, NumbersAreWrittenWithoutHeapAllocations) {
    ZVRMLWriter writer;
    ASSERT_TRUE(writer.openFile(guName(file)));
    auto allocationsFor = [&](int elements, bool perElementColors) {
        const std::vector<float> coords = nodeGrid(8 * elements);
        const std::vector<int> connectivity = identity(8 * elements), colors(18 * elements, 200);
        writer.reset();
        const long before = testing_support::heapAllocations();
        writer.writeIndexedFaceSet(3, 8 * elements, coords.data(), elements, connectivity.data(), "c", coords.data(), colors, {0},
                                   perElementColors, true, true);
        return testing_support::heapAllocations() - before;
    };
    for (const bool perElement : {false, true}) EXPECT_EQ(allocationsFor(1000, perElement), allocationsFor(10, perElement));
}

}  // namespace
