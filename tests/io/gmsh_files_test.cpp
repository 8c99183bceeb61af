// Valid Gmsh files the host has no exact counterpart for: partitioned meshes, and elements of
// third and higher order, which are drawn by their corners or their corner and mid-edge nodes.
#include "io/gmsh_element_types.h"
#include "io/gmsh_session.h"
#include "io/model_reader.h"
#include "model_file.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using host::io::findGmshElementType;
using host::io::kHigherOrderTypes;
using host::io::kReducedElementTypes;

// Each higher-order row takes the points of Gmsh's reference element its kin's row takes: the
// corners, and for an even order the middle of each edge. The kin's rows are proven on their own.
TEST(ReducedElementTypes, TakeTheirKinsPoints) {
    host::io::startGmsh();
    for (std::size_t i = 0; i < kHigherOrderTypes.size(); ++i) {
        const host::io::HigherOrderType& type = kHigherOrderTypes[i];
        const host::io::GmshElementType& row = kReducedElementTypes[i];
        const host::io::GmshElementType& kin = *findGmshElementType(type.order % 2 ? type.linearType : type.quadraticType);
        const model_file::ReferenceElement element = model_file::referenceElement(type.gmshType);
        const model_file::ReferenceElement kinElement = model_file::referenceElement(kin.gmshType);
        ASSERT_EQ(static_cast<int>(element.nodes.size()), row.gmshNodes) << element.name;
        ASSERT_EQ(row.hostType, kin.hostType) << element.name;
        for (int p = 0; p < row.hostNodes(); ++p)
            for (int axis = 0; axis < 3; ++axis)
                EXPECT_NEAR(element.nodes[row.gmshPosition[p]][axis], kinElement.nodes[kin.gmshPosition[p]][axis], 1e-12)
                    << element.name << ", host node " << p;
    }
}

struct CubeCase {
    const char* name;
    int order, partitions;
    model_file::Format format;
    int hostType;
    const char* note;
};
void PrintTo(const CubeCase& c, std::ostream* out) { *out << c.name; }

class GmshFile : public testing_support::HostTest, public ::testing::WithParamInterface<CubeCase> {};

// Every tetrahedron arrives, and "Position" (x + 10 y + 100 z) stands at every node it belongs to.
TEST_P(GmshFile, LoadsEveryElementWithItsValues) {
    const CubeCase& c = GetParam();
    const testing_support::TempDir directory;
    const std::size_t tetrahedra = model_file::meshedCube(directory / "cube.msh", c.order, c.partitions, c.format);
    host::io::ReadNotes notes;
    const ModelStr& model = host::io::readModel(directory / "cube.msh", notes);
    std::size_t read = 0;
    for (const auto& part : model.parts) {
        EXPECT_EQ(part->totalElementCount(), part->elementCount(c.hostType)) << part->name;
        read += part->elementCount(c.hostType);
    }
    EXPECT_EQ(read, tetrahedra);
    EXPECT_EQ(std::count(notes.lines.begin(), notes.lines.end(), c.note), 1) << testing::PrintToString(notes.lines);
    ASSERT_EQ(model.fields.size(), 1u);
    const std::vector<float>& position = model.fields[0].frames.at(0);
    ASSERT_EQ(position.size(), static_cast<std::size_t>(model.nodeCount()));
    for (std::size_t node = 0; node < position.size(); ++node) {
        const float* xyz = &model.referenceCoords[3 * node];
        ASSERT_NEAR(position[node], xyz[0] + 10 * xyz[1] + 100 * xyz[2], 1e-4) << "node " << node;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Gmsh, GmshFile,
    ::testing::Values(
        // Gmsh rebuilds an MSH 2 file's partitions after reading it, and reports errors for one
        // partition, though every element is read.
        CubeCase{"OnePartition", 1, 1, model_file::kFormats[0], FE_MESH_TETRA4,
                 "Gmsh: No mesh elements were found; read the mesh without its partitions"},
        CubeCase{"Cubic", 3, 0, model_file::kFormats[3], FE_MESH_TETRA4,
                 "read 1125 elements of type \"Tetrahedron 20\" as 4-node tetrahedron elements, by their corner nodes: "
                 "the host has no element of their order"},
        CubeCase{"Quartic", 4, 0, model_file::kFormats[2], FE_MESH_TETRA10,
                 "read 1125 elements of type \"Tetrahedron 35\" as 10-node tetrahedron elements, by their corner and "
                 "mid-edge nodes: the host has no element of their order"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
