// Reading meshes: parts from groups or entities, element types converted, reduced or left out,
// and the files the reader refuses with their messages (the node orders: element_types_test).
#include "io/model_reader.h"
#include "mesh_types.h"
#include "model_file.h"
#include "test_support.h"

#include <gmsh.h>

#include <algorithm>
#include <fstream>
#include <map>

namespace {

using model_file::addReferenceElement;
using model_file::group;

struct ExpectedPart {
    std::string name, sourceName;
    int dimensionality, nodes, lines;
    std::map<int, int> elements;  // per host mesh type
};

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
            EXPECT_EQ(part.elementCount(type), want.elements.contains(type) ? want.elements.at(type) : 0) << want.name << " type " << type;
    }
}

class ReadEveryType : public testing_support::HostTest, public ::testing::WithParamInterface<model_file::Format> {};

TEST_P(ReadEveryType, GroupsBecomeParts) {
    const testing_support::TempDir directory;
    model_file::start();
    double shift = 0;
    const auto row = [&](std::initializer_list<int> types) {
        std::vector<int> entities;
        for (const int type : types) entities.push_back(addReferenceElement(type, shift += 3));
        return entities;
    };
    group(3, row({4, 11, 6, 18, 13, 7, 19, 14, 5, 17, 12, 29}), "Block");
    group(3, row({5}), "Steel");
    group(2, row({2, 9, 3, 16, 10, 21, 21}), "Skin");
    group(2, row({3}), "Steel");
    group(2, row({2}), "", 7);
    group(2, row({3}), "2nd plate.v1");
    group(1, row({1, 8}), "Wire");
    group(0, row({15}), "Anchor");
    host::io::ReadNotes notes;
    const ModelStr& model = host::io::readModel(model_file::write(directory / "every-type.msh", GetParam()), notes);

    EXPECT_EQ(model.title, "every-type.msh");
    // Pyramids are pentahedra with a collapsed ridge; 27-node hexahedra, 18-node prisms and
    // 9-node quadrilaterals lose their face and body centres, pyramids their mid-side nodes.
    expectParts(model, {
        {"Wire", "", 1, 4, 2, {}},
        {"Skin", "", 2, 3 + 6 + 4 + 8 + 8 + 3 + 3, 0, {{FE_MESH_TRIA3, 3}, {FE_MESH_TRIA6, 1}, {FE_MESH_QUAD4, 1}, {FE_MESH_QUAD8, 2}}},
        {"Steel_(2D)", "Steel (2D)", 2, 4, 0, {{FE_MESH_QUAD4, 1}}},
        {"Physical_2_7", "Physical 2 7", 2, 3, 0, {{FE_MESH_TRIA3, 1}}},
        {"_2nd_plate_v1", "2nd plate.v1", 2, 4, 0, {{FE_MESH_QUAD4, 1}}},
        {"Block", "", 3, 4 + 10 + 6 + 15 + 15 + 5 + 5 + 5 + 8 + 20 + 20 + 4, 0,
         {{FE_MESH_TETRA4, 2}, {FE_MESH_TETRA10, 1}, {FE_MESH_PENTA6, 4}, {FE_MESH_PENTA15, 2}, {FE_MESH_HEXA8, 1}, {FE_MESH_HEXA20, 2}}},
        {"Steel_(3D)", "Steel (3D)", 3, 8, 0, {{FE_MESH_HEXA8, 1}}},
    });
    for (const std::string note : {"read 2 elements of type \"Triangle 10\" as 3-node triangle elements, by their corner nodes: "
                                   "the host has no element of their order",
                                   "read 1 element of type \"Tetrahedron 20\" as 4-node tetrahedron elements, by their corner "
                                   "nodes: the host has no element of their order",
                                   "left out \"Anchor\": points make no part",
                                   "renamed \"Steel (2D)\", \"Physical 2 7\", \"2nd plate.v1\", \"Steel (3D)\" to fit scenes as node "
                                   "names (sceneport info lists each with its name in the file)"})
        EXPECT_EQ(std::count(notes.lines.begin(), notes.lines.end(), note), 1) << note;
    EXPECT_EQ(notes.lines.size(), 4u);
    EXPECT_EQ(model.times, std::vector<float>{0.0f}) << "without views, one frame at time 0";
}

INSTANTIATE_TEST_SUITE_P(Msh, ReadEveryType, ::testing::ValuesIn(model_file::kFormats), [](const auto& info) { return std::string(info.param.name); });

using Reader = testing_support::HostTest;

TEST_F(Reader, EntitiesOtherFormatsAndMixedOrders) {
    const testing_support::TempDir directory;
    host::io::ReadNotes notes;
    // Without groups each entity is a part, except the surfaces that bound a volume (as Gmsh
    // saves them): the volume's faces would be drawn twice. Surface 3 is free.
    model_file::start();
    addReferenceElement(15, 0, gmsh::model::addDiscreteEntity(0, 1));
    addReferenceElement(1, 3, gmsh::model::addDiscreteEntity(1, 2));
    addReferenceElement(3, 9, addReferenceElement(2, 6, gmsh::model::addDiscreteEntity(2, 3)));
    addReferenceElement(5, 12, gmsh::model::addDiscreteEntity(3, 1));  // a box on nodes 11-18
    model_file::addElements(2, 3, {11, 12, 13, 14, 15, 16, 17, 18, 11, 12, 16, 15}, gmsh::model::addDiscreteEntity(2, 4));
    model_file::addElements(2, 3, {12, 13, 17, 16, 13, 14, 18, 17, 14, 11, 15, 18}, gmsh::model::addDiscreteEntity(2, 5));
    expectParts(host::io::readModel(model_file::write(directory / "entities.msh"), notes),
                {{"Curve_2", "Curve 2", 1, 2, 1, {}},
                 {"Surface_3", "Surface 3", 2, 7, 0, {{FE_MESH_TRIA3, 1}, {FE_MESH_QUAD4, 1}}},
                 {"Volume_1", "Volume 1", 3, 8, 0, {{FE_MESH_HEXA8, 1}}}});
    EXPECT_EQ(notes.lines, (std::vector<std::string>{
                               "left out \"Point 1\": points make no part",
                               "left out \"Surface 4\", \"Surface 5\": their faces are those of the volumes they bound",
                               "renamed \"Curve 2\", \"Surface 3\", \"Volume 1\" to fit scenes as node names (sceneport info "
                               "lists each with its name in the file)"}));
    notes.lines.clear();

    model_file::start();
    group(2, {addReferenceElement(2, 0), addReferenceElement(3, 3), addReferenceElement(9, 6)}, "Skin");
    group(3, {addReferenceElement(5, 9), addReferenceElement(6, 12), addReferenceElement(17, 15)}, "Block");
    const ModelStr& unv = host::io::readModel(model_file::write(directory / "model.unv"), notes);
    expectParts(unv, {{"Skin", "", 2, 3 + 4 + 6, 0, {{FE_MESH_TRIA3, 1}, {FE_MESH_QUAD4, 1}, {FE_MESH_TRIA6, 1}}},
                      {"Block", "", 3, 8 + 6 + 20, 0, {{FE_MESH_HEXA8, 1}, {FE_MESH_PENTA6, 1}, {FE_MESH_HEXA20, 1}}}});

    model_file::start();
    const int surface = addReferenceElement(2, 0);
    addReferenceElement(2, 3, surface);
    addReferenceElement(9, 6, surface);
    notes.lines.clear();
    EXPECT_EQ(host::io::readModel(model_file::write(directory / "mixed-orders.msh"), notes).parts.at(0)->totalElementCount(), 2);
    EXPECT_EQ(std::count(notes.lines.begin(), notes.lines.end(), "left out 1 element Gmsh does not give: an entity mixes elements of one kind but of different orders"), 1);
}

TEST_F(Reader, RefusedFilesAreNamed) {
    const testing_support::TempDir directory;
    const auto write = [&](const std::string& name, const std::string& content) {
        std::ofstream(directory / name, std::ios::binary) << content;
        return directory / name;
    };
    model_file::start();
    addReferenceElement(3, 0);
    const std::filesystem::path good = model_file::write(directory / "good.msh");
    const std::string whole = testing_support::readFile(good);
    model_file::start();
    gmsh::model::mesh::addNodes(2, gmsh::model::addDiscreteEntity(2), {1, 2, 3}, {0, 0, 0, 1, 0, 0, 0, 1, 0});
    model_file::write(directory / "nodes-only.msh");
    model_file::start();
    addReferenceElement(15, 0);
    model_file::write(directory / "points-only.msh");
    std::filesystem::create_directory(directory / "folder.msh");
    const std::string script = "System \"touch '" + (directory / "ran").string() + "'\";\n";

    const std::pair<std::filesystem::path, std::string> cases[] = {
        {directory / "absent.msh", "no such file"},
        {directory / "folder.msh", "is a directory"},
        {write("garbage.msh", "$MeshFormat\n\x93\x01\xff\x7f garbage \x02\x03\n$EndMeshFormat\n"), "Gmsh cannot read it: "},
        // Nodes cut short in a section that still ends: the reader's own check does not see it, Gmsh does.
        {write("truncated.msh", whole.substr(0, whole.find("$EndNodes") - 8) + "\n$EndNodes\n"), "Gmsh cannot read it: "},
        {write("script.msh", script), "starts like no format Sceneport reads"}, {write("script.geo", script), "script"},
        {directory / "nodes-only.msh", "holds no elements"},
    };
    for (const auto& [file, why] : cases) {
        host::io::ReadNotes notes;
        try {
            host::io::readModel(file, notes);
            ADD_FAILURE() << file << " was read";
        } catch (const host::io::ModelReadError& error) {
            const std::string message = error.what();
            EXPECT_EQ(message.rfind(file.string() + ": ", 0), 0u) << message;
            EXPECT_NE(message.find(why, file.string().size()), std::string::npos) << message;
            EXPECT_EQ(message.find_first_of("\x01\x02\x03\x7f"), std::string::npos) << "no control characters from the file";
        }
        EXPECT_EQ(host::io::readModel(good, notes).parts.size(), 1u) << "Gmsh reads on after " << file;
    }
    EXPECT_FALSE(std::filesystem::exists(directory / "ran")) << "scripts are never run";

    host::io::ReadNotes notes;  // elements that make no part make a model without parts
    EXPECT_TRUE(host::io::readModel(directory / "points-only.msh", notes).parts.empty());
    EXPECT_EQ(notes.lines, std::vector<std::string>{"left out \"Point 1\": points make no part"});
}

}  // namespace
