// The writer's node writers and files, each case on a fresh writer and file. Expected texts spell
// out every "\n" and "\t".
#include "session.h"
#include "writer_fixture.h"

#include <array>
#include <numeric>
#include <regex>
#include <set>
#include <tuple>

namespace {

using namespace testing_support;

// Node names.
TEST(WriterDefNames, Characters) {
    const std::pair<const char*, const wchar_t*> rows[] = {
        {"Door Panel.1", L"Door_Panel_1"}, {"l/r\\m#2,3", L"l_r_m_2_3"}, {"a'b\"c", L"abc"},
        {"1st-{x}[y]", L"1st-{x}[y]"},     {"T\xC3\xBCr", L"T\u00FCr"},  {nullptr, L""},
    };
    for (const auto& [name, expected] : rows) {
        GuString out("previous content");
        ZVRMLWriter().makeDefName(name, out);
        EXPECT_STREQ(out.GetBuffer(), expected);
    }
}

// Indexed face sets: the faces of each kind, the coordinate list, skipped elements, colours.
// Node n at a spot of its own, so no two nodes coincide; and the node numbers 0..19.
std::vector<float> nodeGrid(int count) {
    std::vector<float> coords;
    for (int node = 0; node < count; ++node) coords.insert(coords.end(), {float(node % 5), float(node / 5 % 5), float(node / 25)});
    return coords;
}
const std::vector<int> kNodes = [] { std::vector<int> nodes(20); std::iota(nodes.begin(), nodes.end(), 0); return nodes; }();

using WriterFaceSet = WriterTest;

TEST_F(WriterFaceSet, Layouts) {
    const std::vector<int> tetrahedron{10, 11, 12, 13}, &nodes = kNodes;
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
    for (const auto& row : rows) EXPECT_EQ(textAndLevel(row.steps, row.wrap), TextAndLevel(row.text, row.level));
}

TEST_F(WriterFaceSet, Skipped) {
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
    for (const auto& row : rows) {
        const std::string text = textOf([&](ZVRMLWriter& w) {
            w.beginShape();
            w.writeIndexedFaceSet(row.kind, 16, coords.data(), row.elements, kNodes.data(), "c", nullptr, row.colors, row.skipped,
                                  row.perElement, true, row.partContours);
            w.closeBrace();
        }, &kTopLevel);
        const auto shapes = shapesIn(text);
        ASSERT_EQ(shapes.size(), 1u);
        EXPECT_EQ(shapes[0].faces, row.faces);
        EXPECT_EQ(shapes[0].colors, row.shown);
        EXPECT_EQ(matchesOf(text, "colorIndex \\[([0-9 ]*)"), row.colorIndex) << text;
    }
}

TEST_F(WriterFaceSet, SharedLists) {
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

// Appearances: material and the spectrum texture, once per file.
// A one-row spectrum image, 4 bytes per pixel; the fourth byte is never written.
TextureInfo texture(const std::vector<unsigned char>& pixels, float minValue = 0, float maxValue = 1, bool enabled = true) {
    return TextureInfo{static_cast<int>(pixels.size() / 4), pixels.data(), enabled, minValue, maxValue};
}

using WriterAppearance = WriterTest;

TEST_F(WriterAppearance, ExactText) {
    const std::vector<unsigned char> pixels{5, 171, 0, 0xee, 255, 16, 15, 0xee};
    const std::pair<WriterSteps, const char*> rows[] = {
        {[](ZVRMLWriter& w) { w.level = 1; w.writeAppearance({{1.0f, 0.5f, 0.0f}, 0.4980392f}, {}); },
         "\n\t\tappearance Appearance {\n\t\t\tmaterial Material {\n\t\t\t\tdiffuseColor\t 1 0.5 0\n\t\t\t\ttransparency\t 0.5\n\t\t\t}\n\t\t}"},
        {[&](ZVRMLWriter& w) { w.level = 0; w.writeAppearance({{0.8f, 0.8f, 0.8f}, 0}, texture(pixels, -4, 12)); },
         "\n\tappearance Appearance {\n\t\ttexture DEF pixmap PixelTexture { image 2 1 3\n\t\t\n\t\t0x05ab00 \n\t\t0xff100f "
         "\n\t\trepeatS FALSE\n\t\trepeatT FALSE\n\t}\n\t\ttextureTransform TextureTransform {\n\t\t\tscale\t0.0625 1.0"
         "\n\t\t\ttranslation\t4 0.0\n\t\t}\n\t\t\tmaterial Material {\n\t\t\t\tdiffuseColor\t 0.8 0.8 0.8\n\t\t\t\ttransparency\t 0.0"
         "\n\t\t\t}\n\t\t}"},
    };
    for (const auto& [steps, text] : rows) EXPECT_EQ(textOf(steps, &kInShape), text);
    EXPECT_EQ(textOf([](ZVRMLWriter& w) { w.writePixelTexture(texture({})); }),
              "texture DEF pixmap PixelTexture { image 0 1 3\n\nrepeatS FALSE\nrepeatT FALSE\n}");
}

TEST_F(WriterAppearance, OneImage) {
    std::vector<unsigned char> full;
    for (int p = 0; p < 256; ++p) full.insert(full.end(), {static_cast<unsigned char>(p), 0, 0, 0});
    const std::string text = textOf([&](ZVRMLWriter& w) {
        for (bool enabled : {false, true, true, true}) {
            w.beginShape();
            w.writeAppearance({{1, 1, 1}, 0}, texture(full, 0, 1, enabled));
            w.closeBrace();
        }
    }, &kTopLevel);
    EXPECT_EQ(matchesOf(text, "texture DEF pixmap PixelTexture \\{ image 256 1 3\n\t*\n\t*0x000000 \n\t*0x010000 "
                               "(\n\t*0x[0-9a-f]{4}00 ){253}\n\t*0xff0000 \n\t*repeatS FALSE").size(), 1u);
    EXPECT_EQ(occurrences(text, "\ttexture USE pixmap\n"), 2);
    EXPECT_EQ(occurrences(text, "TextureTransform"), 3);
}

// The frame of every scene.
using WriterScene = WriterTest;

TEST_F(WriterScene, GlobalModel) {
    const float scale[] = {2, 2, 2}, rotation[] = {0, 0, 1, 0.5f}, translation[] = {-1.5f, 0.25f, 3};
    float center[] = {1.0f, 2.0f, 7.0f}, untouched[] = {4.0f, 5.0f, 6.0f};
    const std::string text = textOf([&](ZVRMLWriter& w) {
        w.writeViewpoint(5.0f, center);
        w.beginGlobalModel(center, scale, rotation, translation);
        EXPECT_EQ(w.level, 2);
        w.beginGlobalModel(untouched, scale, rotation, translation);  // only a file's first counts
        w.level = 3;  // wherever the parts left it
        w.endGlobalModel();
    }, &kTopLevel);
    EXPECT_EQ(text, "Viewpoint { \n\tposition\t1.000000 2.000000 10.000000 \n\tfieldOfView 0.785\n\tdescription \"Top View\"\n}"
                    "\nDEF Global_model Transform {\n\tscale\t2.000000 2.000000 2.000000 \n\tcenter\t0.000000 0.000000 0.000000 "
                    "\n\trotation\t0.000000 0.000000 1.000000 0.500000 \n\ttranslation\t-1.500000 0.250000 3.000000 \n\n\t\tchildren ["
                    "\n\t\t]\n\t}\nDEF ss SphereSensor { }\nROUTE ss.rotation_changed TO Global_model.set_rotation");
    EXPECT_EQ(levelAfter, 0);
    EXPECT_EQ(std::vector<float>(center, center + 3), std::vector<float>(3, 0.0f)) << "the camera places the model";
    EXPECT_EQ(untouched[0], 4.0f);
    EXPECT_EQ(textOf([](ZVRMLWriter& w) { w.writeViewpoint(std::numeric_limits<float>::max(), std::array<float, 3>{}.data()); })
                  .find("inf"), std::string::npos);
}

// Files: the header (failing and full disks: the export's and the command's tests).

using WriterFile = WriterTest;

// The format line, then who saved the file and when, on one line whatever the host's texts hold.
TEST_F(WriterFile, Header) {
    const std::string n(255, 'n'), v(255, 'v'), p(1023, 'p');
    const std::tuple<bool, std::string, std::string, std::string, std::string> rows[] = {
        {false, "Modeler", "7.2", "Post Studio", "# File saved in   from application Post Studio on "},
        {true, "Mod\neler", "7.2\r", "Post\r\nStudio", "# File saved in Mod eler 7\\.2  from application Post  Studio on "},
        {true, n, v, p, "# File saved in " + n + " " + v + " from application " + p + " on "},
    };
    host::ApplicationSettings& app = host::application();
    app.productData = "build 4711";  // not shown
    for (const auto& [object, name, version, product, line] : rows) {
        std::tie(app.hasApplicationObject, app.applicationName, app.applicationVersion, app.productName) = std::tie(object, name, version, product);
        const std::string text = (textOf([](ZVRMLWriter&) {}), readFile(file));
        const auto lines = splitLines(text);
        ASSERT_EQ(lines.size(), 2u) << text;
        EXPECT_TRUE(lines[0] == "#VRML V2.0 utf8" && text.back() == '\n');
        EXPECT_TRUE(std::regex_match(lines[1], std::regex(line + "[A-Z][a-z]{2} [A-Z][a-z]{2} [ 123][0-9] [0-9:]{8} [0-9]{4}"))) << lines[1];
    }
}

}  // namespace
