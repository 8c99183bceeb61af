// The demo model from the host's side: the parts and element types it promises, sound elements
// and conforming solids, a smooth motion with fields that follow it, a crack that grows, and an
// export of every frame through the plug-in.
#include "../export/export_fixture.h"
#include "demo_model.h"
#include "mesh_types.h"
#include "msh_geometry.h"
#include "scene_text.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <functional>
#include <map>
#include <set>
#include <span>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using msh_geometry::cross;
using msh_geometry::dot;
using msh_geometry::minus;
using Vec = msh_geometry::Point;

Vec at(const std::vector<float>& xyz, int node) {
    const size_t first = 3 * static_cast<size_t>(node);
    return {xyz[first], xyz[first + 1], xyz[first + 2]};
}
double distance(const Vec& a, const Vec& b) { return std::sqrt(dot(minus(a, b), minus(a, b))); }

// The volume a solid encloses, from its outward faces: negative when it is turned inside out.
double volume(const std::vector<float>& xyz, std::span<const int> element, int type) {
    double sixTimes = 0.0;
    for (const ZVRMLFace& face : host::kSolidFaces[type]) {
        const Vec first = at(xyz, element[face.positions[0]]);
        for (int k = 1; k + 1 < face.nodeCount; ++k)
            sixTimes += dot(first, cross(at(xyz, element[face.positions[k]]), at(xyz, element[face.positions[k + 1]])));
    }
    return sixTimes / 6.0;
}

double area(const std::vector<float>& xyz, std::span<const int> outline) {
    std::vector<Vec> polygon;
    for (int node : outline) polygon.push_back(at(xyz, node));
    const Vec normal = msh_geometry::polygonNormal(polygon);
    return std::sqrt(dot(normal, normal)) / 2.0;
}

double largestStep(const std::vector<float>& from, const std::vector<float>& to) {
    double step = 0.0;
    for (int node = 0; node < static_cast<int>(from.size() / 3); ++node)
        step = std::max(step, distance(at(from, node), at(to, node)));
    return step;
}

// Every element of the mesh types (not the lines), in the host's element order.
void forEachElement(const ModelStr& model,
                    const std::function<void(const host::Part&, int type, int index, std::span<const int>)>& visit) {
    for (const auto& part : model.parts) {
        for (int type = 0; type < FE_MESH_TYPE_COUNT; ++type) {
            const size_t perElement = host::kNodesPerElement[type];
            const std::span<const int> all = part->connectivity[type];
            for (int index = 0; index < part->elementCount(type); ++index)
                visit(*part, type, index, all.subspan(static_cast<size_t>(index) * perElement, perElement));
        }
    }
}

// What a VRML file accepts as a node name.
bool isVrmlName(const std::string& name) {
    if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0])) || name[0] == '+' || name[0] == '-')
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) <= 0x20 || c == 0x7f ||
               std::string("\"#',.[\\]{}").find(c) != std::string::npos;
    });
}

class DemoModel : public ExportTest {
protected:
    void SetUp() override {
        ExportTest::SetUp();
        model = &host::buildDemoModel();
    }

    std::vector<float> coordinatesAt(int frame) {
        EXPECT_TRUE(model->setFrame(frame));
        return model->currentCoords;
    }

    // The elements failed at `frame` (part, mesh type, index) with their nodes.
    using Failed = std::map<std::tuple<const host::Part*, int, int>, std::vector<int>>;
    Failed failedAt(int frame) const {
        Failed failed;
        forEachElement(*model, [&](const host::Part& part, int type, int index, std::span<const int> nodes) {
            if (part.hasFailed({type, index}, frame)) failed[{&part, type, index}].assign(nodes.begin(), nodes.end());
        });
        return failed;
    }

    ModelStr* model = nullptr;
};

TEST_F(DemoModel, HoldsEveryKindOfElementInNamedColouredParts) {
    EXPECT_EQ(model->title, host::io::kDemoModelTitle);
    std::set<int> shellTypes, quadraticSolidTypes;
    bool solidWithEveryLinearType = false, lineOnlyPart = false;
    std::set<std::string> names;
    std::set<int> colors;
    for (const auto& part : model->parts) {
        EXPECT_TRUE(isVrmlName(part->name)) << part->name;
        names.insert(part->name);
        colors.insert(part->color);
        std::set<int> types;
        for (int type = 0; type < FE_MESH_TYPE_COUNT; ++type)
            if (part->elementCount(type) > 0) types.insert(type);
        if (part->dimensionality() == 1) lineOnlyPart |= types.empty() && part->lineElementCount() > 0;
        if (part->dimensionality() == 2) shellTypes.insert(types.begin(), types.end());
        if (part->dimensionality() != 3) continue;
        solidWithEveryLinearType |=
            types.count(FE_MESH_TETRA4) && types.count(FE_MESH_PENTA6) && types.count(FE_MESH_HEXA8);
        for (int type : types)
            if (host::kMeshTypes[type].nodesPerElement > host::kMeshTypes[type].cornerNodes)
                quadraticSolidTypes.insert(type);
    }
    EXPECT_TRUE(shellTypes.count(FE_MESH_TRIA3) && shellTypes.count(FE_MESH_QUAD4));
    EXPECT_TRUE(solidWithEveryLinearType);
    EXPECT_FALSE(quadraticSolidTypes.empty());
    EXPECT_TRUE(lineOnlyPart);
    EXPECT_EQ(names.size(), model->parts.size());
    EXPECT_EQ(colors.size(), model->parts.size());
    EXPECT_LE(model->totalElementCount(), 5000);
}

// Distinct nodes of the element's own part, and a positive area or volume in every frame.
// A quadratic solid's k-th mid-side face runs through the mid-side nodes of the edges of its k-th
// boundary face, so the element table also tells which edge each mid-side node must halve.
TEST_F(DemoModel, ElementsAreSoundInEveryFrame) {
    for (int frame = 0; frame < model->frameCount(); ++frame) {
        const std::vector<float> xyz = coordinatesAt(frame);
        forEachElement(*model, [&](const host::Part& part, int type, int index, std::span<const int> nodes) {
            const std::set<int> distinct(nodes.begin(), nodes.end());
            const double size = host::isSolid(type) ? volume(xyz, nodes, type) : area(xyz, nodes);
            EXPECT_TRUE(distinct.size() == nodes.size() && *distinct.begin() >= part.firstNode &&
                        *distinct.rbegin() < part.firstNode + part.nodeCount && size > 1e-6)
                << part.name << " type " << type << " #" << index << ", frame " << frame;
        });
    }
    forEachElement(*model, [&](const host::Part& part, int type, int index, std::span<const int> nodes) {
        const ZVRMLElementKind& kind = kVRMLElementKinds[kVRMLKindOfMeshType[type]];
        const auto boundary = kind.faces.first(kind.boundaryFaceCount);
        const auto midSide = kind.faces.subspan(kind.boundaryFaceCount);
        for (size_t f = 0; f < midSide.size(); ++f) {
            for (int k = 0; k < boundary[f].nodeCount; ++k) {
                const Vec a = at(model->referenceCoords, nodes[boundary[f].positions[k]]);
                const Vec b = at(model->referenceCoords, nodes[boundary[f].positions[(k + 1) % boundary[f].nodeCount]]);
                const Vec middle{(a[0] + b[0]) / 2, (a[1] + b[1]) / 2, (a[2] + b[2]) / 2};
                EXPECT_LT(distance(at(model->referenceCoords, nodes[midSide[f].positions[k]]), middle), 1e-5)
                    << part.name << " type " << type << " #" << index << ", face " << f;
            }
        }
    });
}

// Solids that share their faces node for node leave a skin that is one closed surface (every edge
// once in each direction, Euler characteristic 2). A hanging node opens it; elements that do not
// share their nodes leave one closed surface each.
TEST_F(DemoModel, SolidPartsAreMeshedConformingly) {
    for (const auto& part : model->parts) {
        if (part->dimensionality() != 3) continue;
        const host::Part::Skin& skin = part->outerSkin();
        std::map<std::pair<int, int>, int> edges;
        std::set<int> corners;
        for (const auto& [list, perFace] : {std::pair{&skin.triangles, 3u}, std::pair{&skin.quads, 4u}})
            for (size_t first = 0; first < list->size(); first += perFace)
                for (size_t k = 0; k < perFace; ++k) {
                    ++edges[{(*list)[first + k], (*list)[first + (k + 1) % perFace]}];
                    corners.insert((*list)[first + k]);
                }
        for (const auto& [edge, uses] : edges)
            EXPECT_TRUE(uses == 1 && edges.count({edge.second, edge.first}) == 1)
                << part->name << ": edge " << edge.first << "-" << edge.second;
        const long faces = static_cast<long>(skin.triangles.size() / 3 + skin.quads.size() / 4);
        EXPECT_EQ(static_cast<long>(corners.size()) - static_cast<long>(edges.size() / 2) + faces, 2) << part->name;
    }
}

TEST_F(DemoModel, MovesSmoothlyFromItsReferenceAndKeepsItsJointsTogether) {
    ASSERT_GE(model->frameCount(), 20);
    EXPECT_EQ(model->times.front(), 0.0f);
    // No time repeats: strictly increasing.
    EXPECT_TRUE(std::is_sorted(model->times.begin(), model->times.end(), std::less_equal<float>()));

    // Nodes of different parts at one place: where the parts are joined.
    std::map<std::array<float, 3>, int> firstAtPlace;
    std::vector<std::pair<int, int>> joints;
    for (int node = 0; node < model->nodeCount(); ++node) {
        const float* p = &model->referenceCoords[3 * static_cast<size_t>(node)];
        const auto [where, added] = firstAtPlace.try_emplace({p[0], p[1], p[2]}, node);
        if (!added) joints.push_back({where->second, node});
    }
    EXPECT_FALSE(joints.empty());

    double size = 0.0;
    for (int node = 0; node < model->nodeCount(); ++node)
        size = std::max(size, distance(at(model->referenceCoords, 0), at(model->referenceCoords, node)));
    EXPECT_LT(largestStep(model->referenceCoords, coordinatesAt(0)), 0.01 * size);
    std::vector<float> previous = coordinatesAt(0);
    for (int frame = 1; frame < model->frameCount(); ++frame) {
        const std::vector<float> xyz = coordinatesAt(frame);
        EXPECT_GT(largestStep(previous, xyz), 1e-3 * size) << "frame " << frame;
        EXPECT_LT(largestStep(previous, xyz), 0.1 * size) << "frame " << frame;
        for (const auto& [a, b] : joints) EXPECT_LT(distance(at(xyz, a), at(xyz, b)), 1e-5) << "frame " << frame;
        previous = xyz;
    }
}

TEST_F(DemoModel, FieldsFollowTheMotion) {
    const int displacement = model->findField("Displacement magnitude");
    const int stress = model->findField("Effective stress");
    ASSERT_GE(displacement, 0);
    ASSERT_GE(stress, 0);
    EXPECT_EQ(model->fields[displacement].location, host::ValueLocation::Node);
    EXPECT_EQ(model->fields[stress].location, host::ValueLocation::Element);

    std::set<float> largestStress;
    for (int frame = 0; frame < model->frameCount(); ++frame) {
        SCOPED_TRACE("frame " + std::to_string(frame));
        const std::vector<float> xyz = coordinatesAt(frame);
        const std::vector<float> moved = model->fieldValues(displacement, frame);
        ASSERT_EQ(moved.size(), static_cast<size_t>(model->nodeCount()));
        for (int node = 0; node < model->nodeCount(); ++node)
            ASSERT_NEAR(moved[node], distance(at(xyz, node), at(model->referenceCoords, node)), 1e-4)
                << "node " << node;

        const std::vector<float> values = model->fieldValues(stress, frame);
        ASSERT_EQ(values.size(), static_cast<size_t>(model->totalElementCount()));
        EXPECT_TRUE(std::all_of(values.begin(), values.end(), [](float v) { return std::isfinite(v) && v >= 0.0f; }));
        // Parts follow one another; within a part, the lines come after the mesh types.
        size_t partStart = 0;
        for (const auto& part : model->parts) {
            size_t element = partStart;
            for (int type = 0; type < FE_MESH_TYPE_COUNT; ++type)
                for (int index = 0; index < part->elementCount(type); ++index, ++element)
                    if (part->hasFailed({type, index}, frame)) {
                        EXPECT_EQ(values[element], 0.0f) << part->name << " #" << index;
                    }
            partStart += part->totalElementCount();
        }
        largestStress.insert(*std::max_element(values.begin(), values.end()));
    }
    EXPECT_GT(largestStress.size(), static_cast<size_t>(model->frameCount()) / 2);
}

// Nothing has failed at first; then failed elements stay failed, and the frames that add some add
// a few, each touching an element that failed before (but the very first): a running crack.
TEST_F(DemoModel, ElementsFailOneAfterAnotherAlongACrack) {
    auto previous = failedAt(0);
    EXPECT_TRUE(previous.empty());
    int growingFrames = 0;
    for (int frame = 1; frame < model->frameCount(); ++frame) {
        const auto failed = failedAt(frame);
        std::set<int> crackNodes;
        for (const auto& [element, nodes] : previous) {
            EXPECT_TRUE(failed.count(element)) << "frame " << frame;
            crackNodes.insert(nodes.begin(), nodes.end());
        }
        const size_t added = failed.size() - previous.size();
        EXPECT_LE(added, 3u) << "frame " << frame;
        growingFrames += added > 0 ? 1 : 0;
        for (const auto& [element, nodes] : failed)
            EXPECT_TRUE(previous.count(element) || crackNodes.empty() ||
                        std::any_of(nodes.begin(), nodes.end(), [&](int node) { return crackNodes.count(node); }))
                << "frame " << frame;
        previous = failed;
    }
    EXPECT_GE(growingFrames, 10);
}

TEST_F(DemoModel, ExportsEveryFrameThroughThePlugin) {
    host::WindowBuilder window(model);
    window.contour("Effective stress");
    ZVRMLAdapter::ExportParams params = request(model, window, "demo.wrl");
    params.allFrames = true;
    params.exportContours = true;

    // One-dimensional parts are left out: 3 when nothing was written after one, 2 otherwise.
    std::vector<std::string> drawn, leftOut;
    int expected = 1;
    for (const auto& part : model->parts) {
        const bool drawable = part->dimensionality() >= 2;
        (drawable ? drawn : leftOut).push_back(part->name);
        expected = !drawable ? 3 : expected == 3 ? 2 : expected;
    }
    ASSERT_FALSE(leftOut.empty());
    EXPECT_EQ(adapter.ExportVRMLData(params), expected);

    std::vector<std::string> perFrame;
    for (int frame = 1; frame <= model->frameCount(); ++frame)
        perFrame.push_back("demo" + std::to_string(frame) + ".wrl");
    std::sort(perFrame.begin(), perFrame.end());
    ASSERT_EQ(files(), perFrame);
    // Element values: one colour per face, no texture.
    for (const int frame : {1, model->frameCount()}) {
        const std::string name = "demo" + std::to_string(frame) + ".wrl";
        const std::string text = testing_support::readFile(dir / name);
        testing_support::keepVrmlSample(
            text, testing_support::exportedGeometry(*model, frame - 1, testing_support::ContourTexture::None));
        for (const std::string& part : drawn)
            EXPECT_FALSE(testing_support::shapesIn(testing_support::partText(text, part)).empty())
                << name << ": " << part;
        for (const std::string& part : leftOut)
            EXPECT_TRUE(testing_support::partText(text, part).empty()) << name << ": " << part;
    }
}

}  // namespace
