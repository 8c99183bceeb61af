// Reading meshes: parts from groups or entities, element types converted, reduced or left out.
#include "io/model_reader.h"
#include "mesh_types.h"
#include "msh_files.h"
#include "test_support.h"

#include <gmsh.h>

#include <algorithm>
#include <map>

namespace {

using msh_files::addGroup;
using msh_geometry::Point;

struct ExpectedPart {
    std::string name, sourceName;
    int dimensionality, nodes, lines;
    std::map<int, int> elements;  // per host mesh type
};

bool hasNote(const host::io::ReadNotes& notes, const std::string& line) {
    return std::find(notes.lines.begin(), notes.lines.end(), line) != notes.lines.end();
}

Point nodeAt(const ModelStr& model, int node) {
    return {model.referenceCoords[3 * node], model.referenceCoords[3 * node + 1], model.referenceCoords[3 * node + 2]};
}

// Elements keep Gmsh's orientation: shells made in the x-y plane face +z, solids' bounding faces
// face away from the solid, lines span their whole reference element.
void expectElementsOriented(const ModelStr& model) {
    for (const auto& part : model.parts) {
        for (int type = 0; type < FE_MESH_TYPE_COUNT; ++type) {
            const int perElement = host::kMeshTypes[type].nodesPerElement;
            for (int e = 0; e < part->elementCount(type); ++e) {
                const int* nodes = part->connectivity[type].data() + e * perElement;
                std::vector<Point> points;
                for (int k = 0; k < perElement; ++k) points.push_back(nodeAt(model, nodes[k]));
                if (!host::isSolid(type)) {
                    EXPECT_GT(msh_geometry::polygonNormal(points)[2], 0.0) << part->name << " type " << type << " #" << e;
                    continue;
                }
                const Point middle = msh_geometry::centroid(points);
                for (const ZVRMLFace& face : host::kSolidFaces[type]) {
                    std::vector<Point> polygon;
                    for (int k = 0; k < face.nodeCount; ++k) polygon.push_back(points[face.positions[k]]);
                    const Point out = msh_geometry::minus(msh_geometry::centroid(polygon), middle);
                    EXPECT_GT(msh_geometry::dot(msh_geometry::polygonNormal(polygon), out), 0.0)
                        << part->name << " type " << type << " #" << e;
                }
            }
        }
        for (int line = 0; line < part->lineElementCount(); ++line) {
            const Point along = msh_geometry::minus(nodeAt(model, part->lineConnectivity[2 * line + 1]),
                                                    nodeAt(model, part->lineConnectivity[2 * line]));
            EXPECT_DOUBLE_EQ(msh_geometry::dot(along, along), 4.0) << part->name << " line " << line;
        }
    }
}

void expectParts(const ModelStr& model, const std::vector<ExpectedPart>& expected) {
    ASSERT_EQ(model.parts.size(), expected.size());
    for (const ExpectedPart& want : expected) {
        const auto found = std::find_if(model.parts.begin(), model.parts.end(), [&](const auto& p) { return p->name == want.name; });
        ASSERT_NE(found, model.parts.end()) << want.name;
        const host::Part& part = **found;
        EXPECT_EQ(part.sourceName, want.sourceName) << want.name;
        EXPECT_EQ(part.dimensionality(), want.dimensionality) << want.name;
        EXPECT_EQ(part.nodeCount, want.nodes) << want.name;
        EXPECT_EQ(part.lineElementCount(), want.lines) << want.name;
        for (int type = 0; type < FE_MESH_TYPE_COUNT; ++type)
            EXPECT_EQ(part.elementCount(type), want.elements.contains(type) ? want.elements.at(type) : 0)
                << want.name << ": " << host::kMeshTypes[type].name;
    }
}

class GmshMshFormatTest : public testing_support::HostTest,
                          public ::testing::WithParamInterface<msh_files::MshFormat> {
protected:
    testing_support::TempDir directory;
    host::io::ReadNotes notes;
};

// Elements at Gmsh's reference positions, side by side along x, with nodes of their own.
class ElementRow {
public:
    // One element of each type, each in an entity of its own (Gmsh gives an entity's elements of
    // one kind in one order only); returns the entities.
    std::vector<int> add(int dimension, std::initializer_list<int> gmshTypes) {
        std::vector<int> entities;
        for (const int type : gmshTypes) {
            entities.push_back(gmsh::model::addDiscreteEntity(dimension));
            addTo(dimension, entities.back(), type);
        }
        return entities;
    }

    void addTo(int dimension, int entity, int gmshType) {
        m_node = msh_files::addReferenceElement(dimension, entity, gmshType, m_element++, m_node, m_shift);
        m_shift += 3.0;
    }

private:
    std::size_t m_node = 1, m_element = 1;
    double m_shift = 0.0;
};

TEST_P(GmshMshFormatTest, GroupsBecomePartsWithEveryElementTypeInTheHostsOrder) {
    msh_files::newGmshModel();
    ElementRow row;
    addGroup(3, row.add(3, {4, 11, 6, 18, 13, 7, 19, 14, 5, 17, 12, 29}), "Block");
    addGroup(3, row.add(3, {5}), "Steel");
    addGroup(2, row.add(2, {2, 9, 3, 16, 10, 21, 21}), "Skin");
    addGroup(2, row.add(2, {3}), "Steel");
    addGroup(2, row.add(2, {2}), "", 7);
    addGroup(2, row.add(2, {3}), "2nd plate.v1");
    addGroup(1, row.add(1, {1, 8}), "Wire");
    addGroup(0, row.add(0, {15}), "Anchor");
    msh_files::writeGmshFile(directory / "every-type.msh", GetParam());

    const ModelStr& model = host::io::readModel(directory / "every-type.msh", notes);

    EXPECT_EQ(model.title, "every-type.msh");
    expectParts(model, {
        // Pyramids are pentahedra with a collapsed ridge; 27-node hexahedra, 18-node prisms and
        // 9-node quadrilaterals lose their face and body centres, pyramids their mid-side nodes.
        {"Block", "", 3, 4 + 10 + 6 + 15 + 15 + 5 + 5 + 5 + 8 + 20 + 20, 0,
         {{FE_MESH_TETRA4, 1}, {FE_MESH_TETRA10, 1}, {FE_MESH_PENTA6, 4}, {FE_MESH_PENTA15, 2}, {FE_MESH_HEXA8, 1}, {FE_MESH_HEXA20, 2}}},
        {"Steel_(3D)", "Steel (3D)", 3, 8, 0, {{FE_MESH_HEXA8, 1}}},
        {"Skin", "", 2, 3 + 6 + 4 + 8 + 8, 0, {{FE_MESH_TRIA3, 1}, {FE_MESH_TRIA6, 1}, {FE_MESH_QUAD4, 1}, {FE_MESH_QUAD8, 2}}},
        {"Steel_(2D)", "Steel (2D)", 2, 4, 0, {{FE_MESH_QUAD4, 1}}},
        {"Physical_2_7", "Physical 2 7", 2, 3, 0, {{FE_MESH_TRIA3, 1}}},
        {"_2nd_plate_v1", "2nd plate.v1", 2, 4, 0, {{FE_MESH_QUAD4, 1}}},
        {"Wire", "", 1, 4, 2, {}},
    });
    expectElementsOriented(model);
    for (const std::string note : {"left out 2 elements of type \"Triangle 10\": the host has no element type for them",
                                   "left out 1 element of type \"Tetrahedron 20\": the host has no element type for them",
                                   "left out \"Anchor\": points make no part",
                                   "part \"Physical 2 7\" is named \"Physical_2_7\" in scenes",
                                   "part \"2nd plate.v1\" is named \"_2nd_plate_v1\" in scenes"})
        EXPECT_TRUE(hasNote(notes, note)) << note;
    EXPECT_EQ(notes.lines.size(), 7u);  // and the two renamed Steel parts
    EXPECT_EQ(model.times, std::vector<float>{0.0f}) << "without views, one frame at time 0";
    EXPECT_TRUE(model.fields.empty());
}

INSTANTIATE_TEST_SUITE_P(EveryMshFormat, GmshMshFormatTest, ::testing::ValuesIn(msh_files::kMshFormats),
                         [](const auto& info) { return std::string(info.param.name); });

class GmshReaderTest : public testing_support::HostTest {
protected:
    testing_support::TempDir directory;
    host::io::ReadNotes notes;
};

TEST_F(GmshReaderTest, WithoutGroupsEachEntityIsAPart) {
    msh_files::newGmshModel();
    ElementRow row;
    for (const auto& [dimension, entity] : std::vector<std::pair<int, int>>{{0, 1}, {1, 2}, {2, 3}, {3, 1}})
        gmsh::model::addDiscreteEntity(dimension, entity);
    row.addTo(0, 1, 15);
    row.addTo(1, 2, 1);
    row.addTo(2, 3, 2);
    row.addTo(2, 3, 3);
    row.addTo(3, 1, 4);
    msh_files::writeGmshFile(directory / "entities.msh");

    const ModelStr& model = host::io::readModel(directory / "entities.msh", notes);

    expectParts(model, {{"Curve_2", "Curve 2", 1, 2, 1, {}},
                        {"Surface_3", "Surface 3", 2, 7, 0, {{FE_MESH_TRIA3, 1}, {FE_MESH_QUAD4, 1}}},
                        {"Volume_1", "Volume 1", 3, 4, 0, {{FE_MESH_TETRA4, 1}}}});
    EXPECT_TRUE(hasNote(notes, "left out \"Point 1\": points make no part"));
}

TEST_F(GmshReaderTest, ReadsOtherFormatsGmshReadsWithTheirGroups) {
    msh_files::newGmshModel();
    ElementRow row;
    addGroup(2, row.add(2, {2, 3, 9}), "Skin");
    addGroup(3, row.add(3, {5, 4, 6, 17}), "Block");
    addGroup(1, row.add(1, {1}), "Wire");
    msh_files::writeGmshFile(directory / "model.unv");

    const ModelStr& model = host::io::readModel(directory / "model.unv", notes);

    expectParts(model, {{"Wire", "", 1, 2, 1, {}},
                        {"Skin", "", 2, 3 + 4 + 6, 0, {{FE_MESH_TRIA3, 1}, {FE_MESH_QUAD4, 1}, {FE_MESH_TRIA6, 1}}},
                        {"Block", "", 3, 8 + 4 + 6 + 20, 0,
                         {{FE_MESH_HEXA8, 1}, {FE_MESH_TETRA4, 1}, {FE_MESH_PENTA6, 1}, {FE_MESH_HEXA20, 1}}}});
    expectElementsOriented(model);
    EXPECT_EQ(model.title, "model.unv");
}

TEST_F(GmshReaderTest, TellsOfElementsGmshDoesNotGive) {
    msh_files::newGmshModel();
    ElementRow row;
    const int surface = gmsh::model::addDiscreteEntity(2);
    for (const int type : {2, 2, 9}) row.addTo(2, surface, type);
    msh_files::writeGmshFile(directory / "mixed-orders.msh");

    const ModelStr& model = host::io::readModel(directory / "mixed-orders.msh", notes);

    EXPECT_EQ(model.parts.at(0)->totalElementCount(), 2);
    EXPECT_TRUE(hasNote(notes, "left out 1 element Gmsh does not give: an entity mixes elements of one kind but of different orders"));
}

}  // namespace
