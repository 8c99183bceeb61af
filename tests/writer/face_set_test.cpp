// Indexed face sets: the coordinate list and its reuse, the faces of each element kind, skipped
// elements, per-face colours and texture coordinates. Expected texts spell out every "\n" and
// "\t"; every scene is also kept for the independent readers.
#include "ZVRMLElementKinds.h"
#include "heap_counter.h"
#include "writer_fixture.h"

#include <numeric>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

using testing_support::occurrences;

using testing_support::splitLines;

// Positions 0..n-1 as the model's node numbers, coordinates spread so no two nodes coincide.
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

// The numbers between "[" and "]" of the first list that follows `field`.
std::string listOf(const std::string& text, const std::string& field) {
    const size_t start = text.find('[', text.find(field));
    std::string list = text.substr(start + 1, text.find(']', start) - start - 1);
    list.erase(list.find_last_not_of("\n\t") + 1);  // the closing bracket's own line break
    return list;
}

std::vector<std::string> facesOf(const std::string& text) {
    const std::string list = listOf(text, "coordIndex");
    std::vector<std::string> faces;
    static const std::regex face(R"(((\d+, )+)-1,)");
    for (std::sregex_iterator it(list.begin(), list.end(), face), end; it != end; ++it)
        faces.push_back((*it)[1]);
    return faces;
}

std::vector<std::string> colorsOf(const std::string& text) {
    std::vector<std::string> colors;
    for (const std::string& line : splitLines(listOf(text, "color [")))
        if (line.find(',') != std::string::npos) colors.push_back(line.substr(line.find_first_not_of('\t')));
    return colors;
}

using WriterFaceSet = WriterOutputTest;

TEST_F(WriterFaceSet, OneTriangleGivesTheLinesTabsAndLevelOfTheReferenceExample) {
    const std::vector<float> coords{0, 0, 0, 1, 0, 0, 1, 1, 0};
    const int triangle[] = {0, 1, 2};
    writer.level = 2;
    writer.writeIndexedFaceSet(0, 3, coords.data(), 1, triangle, "global_coords", nullptr, {}, {},
                               false, false, false);
    EXPECT_EQ(writer.level, 1);
    checkWithReaders(kInShape, kEndShape);

    const std::vector<std::string> expected{
        "",  // the face set starts with its own line break
        "\t\t\tgeometry IndexedFaceSet {",
        "\t\t\t\tcoord DEF global_coords Coordinate {",
        "\t\t\t\t\tpoint [",
        "\t\t\t\t\t0.000000 0.000000 0.000000 ",
        "\t\t\t\t\t1.000000 0.000000 0.000000 ",
        "\t\t\t\t\t1.000000 1.000000 0.000000 ",
        "\t\t\t\t",
        "\t\t\t]",
        "\t\t}",
        "\t\t\tcoordIndex [",
        "\t\t\t0, 1, 2, -1,",
        "\t\t]",
        "",
        "\t\tsolid FALSE",
        "\t\tcreaseAngle 0.785",
        "\t}",
    };
    EXPECT_EQ(splitLines(written()), expected);
}

TEST_F(WriterFaceSet, ATetrahedronIsWrittenAsItsFourOutwardTriangles) {
    const int tetrahedron[] = {10, 11, 12, 13};
    writer.writeCoordIndex(7, tetrahedron, 1, {});
    checkWithReaders(kInFaceSet, kEndFaceSet);
    EXPECT_EQ(writer.level, 0);
    EXPECT_EQ(written(),
              "\n\tcoordIndex [\t10, 12, 11, -1,"
              "\n\t11, 12, 13, -1,"
              "\n\t10, 11, 13, -1,"
              "\n\t10, 13, 12, -1,"
              "\n\t"
              "\n]");
}

TEST_F(WriterFaceSet, PentahedraAndTetrahedraRepeatTheIndentationBeforeEachElement) {
    const std::vector<int> twoWedges = identity(12);
    writer.level = 1;
    writer.writeCoordIndex(5, twoWedges.data(), 2, {});
    checkWithReaders(kInFaceSet, kEndFaceSet);
    const std::vector<std::string> lines = splitLines(written());
    ASSERT_EQ(lines.size(), 13u);
    EXPECT_EQ(lines[1], "\t\tcoordIndex [\t\t0, 1, 4, -1,");
    EXPECT_EQ(lines[5], "\t\t0, 3, 2, 1, -1,");
    EXPECT_EQ(lines[6], "\t\t\t\t6, 7, 10, -1,");  // the second element's first face
    EXPECT_EQ(lines[11], "\t\t");
    EXPECT_EQ(lines[12], "\t]");
}

TEST_F(WriterFaceSet, HexahedraStartOnTheBracketLineAndEndEveryFaceWithABreak) {
    const std::vector<int> brick = identity(8);
    writer.level = 1;
    writer.writeCoordIndex(3, brick.data(), 1, {});
    checkWithReaders(kInFaceSet, kEndFaceSet);
    EXPECT_EQ(written(),
              "\n\t\tcoordIndex [0, 3, 2, 1, -1,"
              "\n\t\t4, 5, 6, 7, -1,"
              "\n\t\t2, 3, 7, 6, -1,"
              "\n\t\t0, 1, 5, 4, -1,"
              "\n\t\t1, 2, 6, 5, -1,"
              "\n\t\t0, 4, 7, 3, -1,"
              "\n\t\t"
              "\n\t]");
}

TEST_F(WriterFaceSet, SixNodeTrianglesAreOnePolygonOfSixIndicesPerLine) {
    const std::vector<int> triangles = identity(12);
    writer.level = 1;
    writer.writeCoordIndex(9, triangles.data(), 2, {});
    checkWithReaders(kInFaceSet, kEndFaceSet);
    EXPECT_EQ(written(),
              "\n\t\tcoordIndex ["
              "\n\t\t0, 1, 2, 3, 4, 5, -1,"
              "\n\t\t6, 7, 8, 9, 10, 11, -1,"
              "\n\t]");
}

TEST_F(WriterFaceSet, EveryKindWritesItsTableFacesWithTheConnectivityNodeNumbers) {
    for (int kind = 0; kind < kVRMLElementKindCount; ++kind) {
        SCOPED_TRACE(kVRMLElementKinds[kind].name);
        const ZVRMLElementKind& info = kVRMLElementKinds[kind];
        // Node numbers unlike positions, so a face that wrote positions would show.
        std::vector<int> nodes;
        for (int position = 0; position < info.nodesPerElement; ++position) nodes.push_back(100 + 7 * position);

        ZVRMLWriter kindWriter;
        const auto kindFile = dir / ("kind" + std::to_string(kind) + ".wrl");
        ASSERT_TRUE(kindWriter.openFile(guName(kindFile)));
        kindWriter.writeCoordIndex(kind, nodes.data(), 1, {});
        kindWriter.closeFile();

        const std::vector<std::string> faces = facesOf(testing_support::readFile(kindFile));
        ASSERT_EQ(static_cast<int>(faces.size()), info.facesPerElement());
        for (int f = 0; f < info.facesPerElement(); ++f) {
            std::string expected;
            for (int corner = 0; corner < info.faces[f].nodeCount; ++corner)
                expected += std::to_string(nodes[info.faces[f].positions[corner]]) + ", ";
            EXPECT_EQ(faces[f], expected) << "face " << f;
        }
    }
}

TEST_F(WriterFaceSet, AnUnknownKindWritesAnEmptyIndexList) {
    const int nodes[] = {0, 1, 2, 3};
    writer.writeCoordIndex(10, nodes, 1, {});
    writer.writeCoordIndex(-1, nodes, 1, {});
    EXPECT_EQ(written(), "\n\tcoordIndex [\n]\n\tcoordIndex [\n]");
}

TEST_F(WriterFaceSet, APointIsWrittenWithSixDecimalsAndABlankAfterEachNumber) {
    const float point[] = {1.0f, 2.5f, -3.0f};
    writer.writeCoordinate(1, point, "pts", false);
    checkWithReaders(kInFaceSet, kEndFaceSet);
    EXPECT_EQ(splitLines(written())[3], "\t\t1.000000 2.500000 -3.000000 ");
}

TEST_F(WriterFaceSet, WithoutNodesThePointListClosesRightAway) {
    writer.writeCoordinate(0, nullptr, "global_coords", true);
    checkWithReaders(kInFaceSet, kEndFaceSet);
    EXPECT_TRUE(writer.coordDefined);
    EXPECT_EQ(written(),
              "\n\tcoord DEF global_coords Coordinate {"
              "\n\t\tpoint ["
              "\n\t"
              "\n]"
              "\n}");
}

TEST_F(WriterFaceSet, TheSecondSharingFaceSetOfAFileRefersToTheFirstCoordinates) {
    const std::vector<float> coords = nodeGrid(4);
    const int quad[] = {0, 1, 2, 3};
    const int triangle[] = {1, 2, 3};
    writer.beginShape();
    writer.writeIndexedFaceSet(1, 4, coords.data(), 1, quad, "global_coords", nullptr, {}, {},
                               false, true, false);
    writer.closeBrace();
    writer.beginShape();
    writer.writeIndexedFaceSet(0, 4, coords.data(), 1, triangle, "global_coords", nullptr, {}, {},
                               false, true, false);
    writer.closeBrace();
    checkWithReaders();

    const std::string text = written();
    EXPECT_EQ(occurrences(text, "coord DEF global_coords Coordinate {"), 1);
    EXPECT_EQ(occurrences(text, "0.000000 0.000000 0.000000 "), 1);
    const size_t second = text.find("Shape {", text.find("Shape {") + 1);
    EXPECT_NE(text.find("coord USE global_coords\n", second), std::string::npos) << text;
}

TEST_F(WriterFaceSet, WithoutSharingEveryFaceSetWritesThePointsAgainUnderTheSameName) {
    const std::vector<float> coords = nodeGrid(4);
    const int quad[] = {0, 1, 2, 3};
    for (int shape = 0; shape < 2; ++shape) {
        writer.beginShape();
        writer.writeIndexedFaceSet(1, 4, coords.data(), 1, quad, "global_coords", nullptr, {}, {},
                                   false, false, false);
        writer.closeBrace();
    }
    checkWithReaders();
    const std::string text = written();
    EXPECT_EQ(occurrences(text, "coord DEF global_coords Coordinate {"), 2);
    EXPECT_EQ(occurrences(text, "USE"), 0);
}

TEST_F(WriterFaceSet, ResetStartsANewFileWithTheFullCoordinateAndTextureNodes) {
    const float point[] = {0, 0, 0};
    const float value[] = {4.0f};
    writer.writeCoordinate(1, point, "global_coords", true);
    writer.writeTextureCoordinate(value, 1);
    ASSERT_TRUE(writer.coordDefined && writer.texCoordDefined);
    writer.reset();
    EXPECT_FALSE(writer.coordDefined || writer.texCoordDefined);
}

TEST_F(WriterFaceSet, A20NodeHexahedronWithColoursGivesTwelveFacesColoursAndIndices) {
    const std::vector<float> coords = nodeGrid(20);
    const std::vector<int> hexahedron = identity(20);
    std::vector<int> colors;
    for (int face = 0; face < 12; ++face) colors.insert(colors.end(), {255, 0, 0});
    writer.beginShape();
    writer.writeIndexedFaceSet(2, 20, coords.data(), 1, hexahedron.data(), "global_coords",
                               nullptr, colors, {}, true, true, true);
    writer.closeBrace();
    checkWithReaders();

    const std::string text = written();
    EXPECT_EQ(facesOf(text).size(), 12u);
    EXPECT_EQ(colorsOf(text), std::vector<std::string>(12, "1 0 0 ,"));
    EXPECT_EQ(listOf(text, "colorIndex"), "0 1 2 3 4 5 6 7 8 9 10 11 ");
    EXPECT_NE(text.find("\n\t\tcolor DEF ZE_Coord_Color  Color {\n\t\t\tcolor [\n\t\t\t1 0 0 ,"),
              std::string::npos) << text;
    EXPECT_NE(text.find("colorPerVertex FALSE"), std::string::npos);
}

TEST_F(WriterFaceSet, ASkippedElementLeavesNoFaceColourOrColourIndex) {
    const std::vector<float> coords = nodeGrid(16);
    const std::vector<int> fourQuads = identity(16);
    // One colour per element, told apart by red.
    const std::vector<int> colors{0, 0, 0, 51, 0, 0, 102, 0, 0, 153, 0, 0};
    writer.beginShape();
    writer.writeIndexedFaceSet(1, 16, coords.data(), 4, fourQuads.data(), "global_coords", nullptr,
                               colors, {1, 3}, true, true, true);
    writer.closeBrace();
    checkWithReaders();

    const std::string text = written();
    EXPECT_EQ(facesOf(text), (std::vector<std::string>{"0, 1, 2, 3, ", "8, 9, 10, 11, "}));
    EXPECT_EQ(colorsOf(text), (std::vector<std::string>{"0 0 0 ,", "0.4 0 0 ,"}));
    EXPECT_EQ(listOf(text, "colorIndex"), "0 1 ");
}

TEST_F(WriterFaceSet, SkippingSolidsLeavesOutAllTheirFacesAndColours) {
    const std::vector<float> coords = nodeGrid(12);
    const std::vector<int> threeTetrahedra = identity(12);
    std::vector<int> colors;
    for (int element = 0; element < 3; ++element)
        for (int face = 0; face < 4; ++face) colors.insert(colors.end(), {element * 100, face, 0});
    writer.beginShape();
    writer.writeIndexedFaceSet(7, 12, coords.data(), 3, threeTetrahedra.data(), "global_coords",
                               nullptr, colors, {0, 2}, true, true, true);
    writer.closeBrace();
    checkWithReaders();

    const std::string text = written();
    EXPECT_EQ(facesOf(text), (std::vector<std::string>{"4, 6, 5, ", "5, 6, 7, ", "4, 5, 7, ", "4, 7, 6, "}));
    const std::vector<std::string> kept = colorsOf(text);
    ASSERT_EQ(kept.size(), 4u);
    EXPECT_EQ(kept[0], "0.39215687 0 0 ,");  // 100 / 255: the middle element's first face
    EXPECT_EQ(kept[3], "0.39215687 0.011764706 0 ,");
    EXPECT_EQ(listOf(text, "colorIndex"), "0 1 2 3 ");
}

TEST_F(WriterFaceSet, WhenEveryElementIsSkippedTheListsAreEmpty) {
    const std::vector<float> coords = nodeGrid(8);
    const std::vector<int> twoQuads = identity(8);
    const std::vector<int> colors{255, 0, 0, 0, 255, 0};
    writer.beginShape();
    writer.writeIndexedFaceSet(1, 8, coords.data(), 2, twoQuads.data(), "global_coords", nullptr,
                               colors, {0, 1}, true, true, true);
    writer.closeBrace();
    checkWithReaders();

    const std::string text = written();
    EXPECT_NE(text.find("coordIndex [\n"), std::string::npos) << text;
    EXPECT_TRUE(facesOf(text).empty());
    EXPECT_TRUE(colorsOf(text).empty());
    EXPECT_NE(text.find("colorIndex [\n"), std::string::npos) << text;
}

TEST_F(WriterFaceSet, SkipEntriesOutsideTheElementsChangeNothing) {
    const std::vector<int> twoQuads = identity(8);
    const std::vector<int> colors{255, 0, 0, 0, 255, 0};
    // A negative entry must not keep element 1 from being left out.
    const std::set<int> skipped{-5, 1, 7};
    writer.writeColor(colors, skipped, 1);
    writer.writeColorIndex(1);
    writer.writeCoordIndex(1, twoQuads.data(), 2, skipped);
    const std::string text = written();
    EXPECT_EQ(colorsOf(text), std::vector<std::string>{"1 0 0 ,"});
    EXPECT_EQ(facesOf(text), std::vector<std::string>{"0, 1, 2, 3, "});
}

TEST_F(WriterFaceSet, TheColourWalkLeavesTheCallersSetAlone) {
    const std::vector<int> colors{255, 0, 0, 0, 255, 0};
    const std::set<int> skipped{0};
    writer.writeColor(colors, skipped, 1);
    EXPECT_EQ(skipped, std::set<int>{0});
    EXPECT_EQ(colorsOf(written()), std::vector<std::string>{"0 1 0 ,"});
}

TEST_F(WriterFaceSet, AColourNodeHasItsExactLinesAndEndsOneLevelUp) {
    writer.level = 1;
    writer.writeColor({255, 0, 0, 0, 128, 255}, {}, 0);
    checkWithReaders(kInFaceSet, kEndFaceSet);
    EXPECT_EQ(writer.level, 0);
    EXPECT_EQ(written(),
              "\n\t\tcolor DEF ZE_Coord_Color  Color {"
              "\n\t\t\tcolor ["
              "\n\t\t\t1 0 0 ,"
              "\n\t\t\t0 0.5019608 1 ,"
              "\n\t\t\t\t\t"
              "\n\t]"
              "\n}");
}

TEST_F(WriterFaceSet, PerElementColoursNeedBothTheFrameAndThePartToHaveContours) {
    const std::vector<float> coords = nodeGrid(3);
    const int triangle[] = {0, 1, 2};
    const std::vector<int> red{255, 0, 0};
    writer.beginShape();
    writer.writeIndexedFaceSet(0, 3, coords.data(), 1, triangle, "global_coords", nullptr, red, {},
                               true, true, false);
    writer.closeBrace();
    writer.beginShape();
    writer.writeIndexedFaceSet(0, 3, coords.data(), 1, triangle, "global_coords", nullptr, red, {},
                               false, true, true);
    writer.closeBrace();
    checkWithReaders();
    const std::string text = written();
    EXPECT_EQ(text.find("Color"), std::string::npos);
    EXPECT_EQ(text.find("colorIndex"), std::string::npos);
}

TEST_F(WriterFaceSet, NodeValuesBecomeTextureCoordinatesOncePerFile) {
    const std::vector<float> coords = nodeGrid(3);
    const int triangle[] = {0, 1, 2};
    const float values[] = {0.5f, -2.0f, 100.0f};
    writer.level = 1;
    writer.beginShape();
    writer.writeIndexedFaceSet(0, 3, coords.data(), 1, triangle, "global_coords", values, {}, {},
                               false, true, true);
    writer.closeBrace();
    writer.beginShape();
    writer.writeIndexedFaceSet(0, 3, coords.data(), 1, triangle, "global_coords", values, {}, {},
                               false, true, true);
    writer.closeBrace();
    checkWithReaders();

    const std::string text = written();
    EXPECT_NE(text.find("\t\t]"
                        "\n\t\ttexCoord DEF texVals TextureCoordinate {"
                        "\n\t\t\tpoint ["
                        "\n\t\t\t0.5 0,"
                        "\n\t\t\t-2 0,"
                        "\n\t\t\t100 0,"
                        "\n"
                        "\n\t\t]"
                        "\n\t}"
                        "\n\tsolid FALSE"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\t\t\t]\n\t\t\ttexCoord USE texVals\n\t\t\tsolid FALSE"), std::string::npos)
        << text;
    EXPECT_EQ(occurrences(text, "TextureCoordinate"), 1);
}

TEST_F(WriterFaceSet, PerElementColoursTakeThePlaceOfTextureCoordinates) {
    const std::vector<float> coords = nodeGrid(3);
    const int triangle[] = {0, 1, 2};
    const float values[] = {1, 2, 3};
    writer.beginShape();
    writer.writeIndexedFaceSet(0, 3, coords.data(), 1, triangle, "global_coords", values,
                               {0, 0, 255}, {}, true, true, true);
    writer.closeBrace();
    checkWithReaders();
    const std::string text = written();
    EXPECT_EQ(text.find("texCoord"), std::string::npos);
    EXPECT_EQ(colorsOf(text), std::vector<std::string>{"0 0 1 ,"});
}

}  // namespace

namespace {

// Every number of a face set (coordinates, indices, colours, texture coordinates) is formatted,
// converted and written on its own, without touching the heap: a set a hundred times larger
// makes exactly as many allocations as a small one.
TEST_F(WriterFaceSet, NumbersAreWrittenWithoutHeapAllocations) {
    const int kind = kVRMLKindOfMeshType[FE_MESH_HEXA8];
    auto allocationsFor = [&](int elementCount, bool perElementColors) {
        const int nodeCount = 8 * elementCount;
        const std::vector<float> coords = nodeGrid(nodeCount);
        const std::vector<int> connectivity = identity(nodeCount);
        const std::vector<float> values(coords.begin(), coords.begin() + nodeCount);
        const std::vector<int> colors(static_cast<size_t>(3 * 6 * elementCount), 200);
        const std::set<int> skipped{0};
        writer.reset();
        const long before = testing_support::heapAllocations();
        writer.writeIndexedFaceSet(kind, nodeCount, coords.data(), elementCount, connectivity.data(), "coords",
                                   values.data(), colors, skipped, perElementColors, true, true);
        return testing_support::heapAllocations() - before;
    };
    for (const bool perElementColors : {false, true}) {
        const long small = allocationsFor(10, perElementColors);
        EXPECT_EQ(allocationsFor(1000, perElementColors), small)
            << (perElementColors ? "with colours per face" : "with texture coordinates");
    }
}

}  // namespace
