// Valid Gmsh files the host has no exact counterpart for: partitioned meshes, and elements of
// third and higher order, drawn by their corners or their corner and mid-edge nodes.
#include "io/gmsh_element_types.h"
#include "io/gmsh_session.h"
#include "io/model_reader.h"
#include "model_file.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace {

using namespace host::io;

// Each higher-order row takes the reference points its kin's row takes (that row is proven on
// its own): the corners, and for an even order the middle of each edge.
TEST(ReducedElementTypes, TakeTheirKinsPoints) {
    startGmsh();
    for (std::size_t i = 0; i < kHigherOrderTypes.size(); ++i) {
        const HigherOrderType& type = kHigherOrderTypes[i];
        const GmshElementType &row = kReducedElementTypes[i],
                              &kin = *findGmshElementType(type.order % 2 ? type.linearType : type.quadraticType);
        const auto element = model_file::referenceElement(type.gmshType), kinElement = model_file::referenceElement(kin.gmshType);
        ASSERT_EQ(static_cast<int>(element.nodes.size()), row.gmshNodes) << element.name;
        for (int p = 0; p < row.hostNodes(); ++p)
            EXPECT_EQ(element.nodes[row.gmshPosition[p]], kinElement.nodes[kin.gmshPosition[p]]) << element.name << " " << p;
    }
}

struct CubeCase {
    const char* name;
    int order, partitions, format, hostType;
    const char* note;
};
void PrintTo(const CubeCase& c, std::ostream* out) { *out << c.name; }
class GmshFile : public testing_support::HostTest, public ::testing::WithParamInterface<CubeCase> {};

// Every tetrahedron arrives, and "Position" (x + 10 y + 100 z) stands at each of their nodes.
TEST_P(GmshFile, LoadsEveryElementWithItsValues) {
    const CubeCase& c = GetParam();
    const testing_support::TempDir directory;
    const std::size_t tetrahedra = model_file::meshedCube(directory / "cube.msh", c.order, c.partitions, model_file::kFormats[c.format]);
    ReadNotes notes;
    const ModelStr& model = readModel(directory / "cube.msh", notes);
    EXPECT_EQ(model.totalElementCount(), static_cast<int>(tetrahedra));
    for (const auto& part : model.parts) EXPECT_EQ(part->elementCount(c.hostType), part->totalElementCount());
    EXPECT_EQ(notes.lines.front(), c.note);
    const std::vector<float>& position = model.fields.at(0).frames.at(0);
    ASSERT_EQ(position.size(), static_cast<std::size_t>(model.nodeCount()));
    for (std::size_t node = 0; node < position.size(); ++node) {
        const float* xyz = &model.referenceCoords[3 * node];
        ASSERT_NEAR(position[node], xyz[0] + 10 * xyz[1] + 100 * xyz[2], 1e-4) << "node " << node;
    }
}

INSTANTIATE_TEST_SUITE_P(Gmsh, GmshFile, ::testing::Values(
    // Gmsh rebuilds an MSH 2 file's partitions after reading every element, and fails for one.
    CubeCase{"OnePartition", 1, 1, 0, FE_MESH_TETRA4, "Gmsh: No mesh elements were found; read the mesh without its partitions"},
    CubeCase{"ThreePartitions", 1, 3, 3, FE_MESH_TETRA4, "left out 117 elements Gmsh made on the boundaries between partitions"},
    CubeCase{"Cubic", 3, 0, 3, FE_MESH_TETRA4, "read 1125 elements of type \"Tetrahedron 20\" as 4-node tetrahedron "
             "elements, by their corner nodes: the host has no element of their order"},
    CubeCase{"Quartic", 4, 0, 2, FE_MESH_TETRA10, "read 1125 elements of type \"Tetrahedron 35\" as 10-node tetrahedron "
             "elements, by their corner and mid-edge nodes: the host has no element of their order"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
