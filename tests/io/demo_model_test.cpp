// The demo model from the host's side: every kind of element in named parts, sound elements and
// conforming solids, a smooth motion with fields that follow it, and a crack that grows.
#include "io/demo_model.h"
#include "mesh_types.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <set>
#include <span>

namespace {

using Vec = std::array<double, 3>;
Vec minus(const Vec& a, const Vec& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Vec cross(const Vec& a, const Vec& b) { return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]}; }
double dot(const Vec& a, const Vec& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

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
    Vec normal{};
    for (size_t k = 0; k < outline.size(); ++k) {
        const Vec c = cross(at(xyz, outline[k]), at(xyz, outline[(k + 1) % outline.size()]));
        for (int a = 0; a < 3; ++a) normal[a] += c[a];
    }
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

class DemoModel : public testing_support::HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        model = &host::io::buildDemoModel();
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

TEST_F(DemoModel, EveryKindOfElement) {
    EXPECT_EQ(model->title, host::io::kDemoModelTitle);
    std::set<int> shellTypes, quadraticSolidTypes;
    bool solidWithEveryLinearType = false, lineOnlyPart = false;
    std::set<std::string> names;
    std::set<int> colors;
    for (const auto& part : model->parts) {
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
TEST_F(DemoModel, SoundElements) {
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
TEST_F(DemoModel, ConformingSolids) {
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

TEST_F(DemoModel, SmoothMotion) {
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
TEST_F(DemoModel, GrowingCrack) {
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

}  // namespace
