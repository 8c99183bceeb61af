// A solid shown as its skin wears its elements' colours: each skin face has the colour of the
// same face (the same corner points) in the full export of the frame, and a failed element's
// faces are gone from both.
#include "ZVRMLAdapter.h"
#include "scene_builder.h"
#include "scene_text.h"
#include "session.h"
#include "test_support.h"

#include <map>
#include <set>
#include <sstream>

namespace {

using Corners = std::set<std::array<float, 3>>;

// Each face of the scene's face sets by its corner points, with its colour.
std::map<Corners, std::array<int, 3>> faceColours(const std::string& scene) {
    const size_t list = scene.find("[", scene.find("DEF global_coords Coordinate"));
    std::istringstream numbers(scene.substr(list + 1, scene.find("]", list) - list - 1));
    std::vector<std::array<float, 3>> points;
    for (std::array<float, 3> p{}; numbers >> p[0] >> p[1] >> p[2];) points.push_back(p);
    std::map<Corners, std::array<int, 3>> faces;
    for (const testing_support::ShapeText& shape : testing_support::shapesIn(scene))
        for (size_t face = 0; face < shape.colors.size(); ++face) {  // the legend's have none
            Corners corners;
            for (size_t k = 0; k < shape.faces[face].size() && k < 4; ++k) corners.insert(points.at(shape.faces[face][k]));
            faces.emplace(corners, shape.colors.at(face));  // a face two solids share: the first
        }
    return faces;
}

class SkinColours : public testing_support::HostTest {
protected:
    std::string exportFrame(ModelStr* model, WindowStr* window, bool skinOnly) {
        ZVRMLAdapter::ExportParams params;
        params.model = model;
        params.window = window;
        params.fileName = GuString((dir / "scene.wrl").c_str());
        params.exportContours = true;
        params.skinOnly = skinOnly;
        EXPECT_EQ(ZVRMLAdapter().ExportVRMLData(params), 1);
        return testing_support::readFile(dir / "scene.wrl");
    }
    testing_support::TempDir dir;
};

// A shell part first, so the solids' values start at an offset; then a block of two hexahedra and
// a wedge, and a tetrahedron part after it. Every element has a value of its own.
TEST_F(SkinColours, SkinFacesWearTheirSolidsColours) {
    host::ModelBuilder model("skin");
    model.part("Shell").nodes({{0, 0, -1}, {1, 0, -1}, {1, 1, -1}}).elements(FE_MESH_TRIA3, {0, 1, 2});
    model.part("Block")
        .nodes({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 1, 0},
                {0, 0, 1}, {1, 0, 1}, {2, 0, 1}, {0, 1, 1}, {1, 1, 1}, {2, 1, 1}, {3, 0, 0}, {3, 1, 0}})
        .elements(FE_MESH_HEXA8, {0, 1, 4, 3, 6, 7, 10, 9, 1, 2, 5, 4, 7, 8, 11, 10})
        .elements(FE_MESH_PENTA6, {2, 12, 13, 5, 8, 11})
        .failsAt(FE_MESH_HEXA8, 0, 1);
    model.part("Tip").nodes({{0, 0, 3}, {1, 0, 3}, {0, 1, 3}, {0, 0, 4}}).elements(FE_MESH_TETRA4, {0, 1, 2, 3});
    model.frames({0.0f, 1.0f}).elementField("value", [](int frame, int element) { return float(element + frame); });
    host::WindowBuilder window(model);
    window.contour("value").colors(testing_support::countingColors()).range(0, 16);

    for (const int frame : {0, 1}) {
        SCOPED_TRACE("frame " + std::to_string(frame));
        host::showFrame(frame);
        const auto full = faceColours(exportFrame(model, window, false));
        window.solidsAsSkin(true);
        const auto skin = faceColours(exportFrame(model, window, true));
        window.solidsAsSkin(false);
        // The block has 13 outer faces, the tetrahedron 4, the shell 1; the failed hexahedron takes
        // its 5 away.
        EXPECT_EQ(skin.size(), frame == 0 ? 18u : 13u);
        for (const auto& [corners, colour] : skin) {
            const auto same = full.find(corners);
            ASSERT_NE(same, full.end()) << "a skin face the full export does not have";
            EXPECT_EQ(colour, same->second);
        }
    }
}

}  // namespace
