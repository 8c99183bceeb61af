// Which reader a file goes to: its first bytes first, its name second; and the error for a file
// no reader takes.
#include "io/file_format.h"
#include "io/model_reader.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

namespace {

// The start of a d3plot: a blank title, version 960 (word 14), 4 dimensions (word 15), 8 nodes.
std::string d3plotStart() {
    std::string words(64 * 4, '\0');
    const float version = 960.0f;
    const int dimensions = 4, nodes = 8;
    std::memset(words.data(), ' ', 40);
    std::memcpy(words.data() + 14 * 4, &version, 4);
    std::memcpy(words.data() + 15 * 4, &dimensions, 4);
    std::memcpy(words.data() + 16 * 4, &nodes, 4);
    return words;
}

TEST(FileFormat, ContentFirstNameSecond) {
    using namespace std::string_literals;
    const std::string hdf5 = "\x89HDF\r\n\x1a\n"s + std::string(100, '\0');
    const struct {
        std::string name, content, expected;  // a format's name, or text of the error
    } cases[] = {
        {"x.e", "CDF\x01"s + std::string(8, '\0'), "Exodus II"},
        {"model.nc", "CDF\x02"s + std::string(8, '\0'), "Exodus II"},
        {"model.vtu", "CDF\x05"s + std::string(8, '\0'), "Exodus II"},
        {"model.h5", hdf5 + "num_nodes", "Exodus II"},
        {"model.h5", hdf5 + "CGNSLibraryVersion", "CGNS"},
        {"mesh.h5", hdf5 + "INFOS_GENERALES", "mesh.h5: a MED file: Debian's Gmsh is built without MED"},
        {"a.xml", "<?xml version=\"1.0\"?>\n<VTKFile type=\"UnstructuredGrid\">", "VTK XML"},
        {"a.txt", "# vtk DataFile Version 5.1\n", "VTK legacy"},
        {"a.case", "#EnSight Gold\n\nFORMAT\ntype: ensight gold\n", "EnSight Gold"},
        {"a.vtk", "$MeshFormat\n4.1 0 8\n", "MSH"},
        {"run", d3plotStart(), "LS-DYNA d3plot"},
        {"part.stl", "solid part\n", "Gmsh mesh"},
        {"model.inp", "*HEADING\n*NODE\n1, 0, 0, 0\n", "model.inp: an Abaqus input deck holds no results; export"},
        {"job.odb", "anything", "job.odb: an Abaqus output database cannot be read here"},
        {"box.geo", "Point(1) = {0, 0, 0};", "box.geo: a Gmsh script describes geometry, not a mesh"},
        {"view.pos", "View \"T\" {\nSP(0,0,0){1};\n};\n", "view.pos: a Gmsh .pos file holds views laid on no mesh"},
        {"part.geo", "C Binary\n", "part.geo: an EnSight geometry file: read the case file"},
        {"d3plot07", std::string(300, '\x7f'), "d3plot07: a later file of an LS-DYNA d3plot family"},
        {"x.e", "hello world\n", "x.e: starts like no format Sceneport reads (Exodus II, CGNS, VTK legacy, MSH, VTK XML, "
                                 "EnSight Gold, LS-DYNA d3plot, Gmsh mesh): it starts with \"hello world\"; its name says "
                                 "Exodus II, so it may be damaged or cut short"},
        {"x.bin", "\x01\x02garbage", "x.bin: starts like no format Sceneport reads (Exodus II, CGNS, VTK legacy, MSH, "
                                     "VTK XML, EnSight Gold, LS-DYNA d3plot, Gmsh mesh): it starts with binary data"},
        {"empty.vtu", "", "empty.vtu: is empty"},
    };
    const testing_support::TempDir dir;
    for (const auto& [name, content, expected] : cases) {
        std::ofstream(dir / name, std::ios::binary) << content;
        if (expected.find(": ") == std::string::npos) {  // a format's name
            EXPECT_EQ(host::io::fileFormatOf(dir / name).name, expected) << name;
            continue;
        }
        try {
            ADD_FAILURE() << name << " goes to " << host::io::fileFormatOf(dir / name).name;
        } catch (const host::io::ModelReadError& error) {
            EXPECT_TRUE(std::string(error.what()).starts_with((dir / expected).string())) << error.what();
        }
    }
}

}  // namespace
