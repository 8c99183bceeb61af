// Each result format VTK reads, exported by the command: every frame's scene, which the
// independent VRML readers then check with the geometry the model holds.
#include "command_run.h"
#include "io/model_reader.h"

#include "expected_geometry.h"

#include <gtest/gtest.h>

namespace {

class VtkFormats : public command_test::CommandTest {};

// An element field's contours colour faces and need no texture coordinates.
constexpr auto kPerNode = testing_support::ContourTexture::PerNode, kPerElement = testing_support::ContourTexture::None;

TEST_F(VtkFormats, ExportEveryFrame) {
    const std::filesystem::path data = SCENEPORT_TEST_DATA;
    const struct {
        const char* file;
        const char* contour;  // a field of the file's
        testing_support::ContourTexture texture;  // per node for a node field
        std::vector<int> frames;  // the frames (from 1) whose scenes are checked
        const char* deformedBy;   // as `info` tells it
    } cases[] = {
        {"block_crush_1.ex2", "vonmises", kPerElement, {1, 11}, "displ_"},
        {"can.vtu", "EQPS", kPerElement, {1}, "DISPL"},
        {"blow.vtk", "thickness9", kPerNode, {1}, ""},
        {"ensight/blow2_ascii.case", "thickness", kPerNode, {1, 2}, "displacement"},
        {"d3plot/d3plot", "Temperature", kPerNode, {1, 23}, "the coordinates of each state"},
    };
    for (const auto& c : cases) {
        const std::string model = (data / c.file).string(), stem = std::filesystem::path(c.file).stem().string();
        const command_test::CommandResult result =
            command_test::runSceneport({"export", "-q", "--all-frames", "--contour", c.contour, model, "-o", path(stem + ".wrl")});
        ASSERT_EQ(result.status, 0) << result.err;
        host::io::ReadNotes notes;
        const ModelStr& read = host::io::readModel(model, notes);
        EXPECT_EQ(notes.deformedBy, c.deformedBy) << c.file;
        EXPECT_TRUE(std::filesystem::exists(path(stem + std::to_string(read.times.size()) + ".wrl"))) << c.file;
        for (const int frame : c.frames)
            expectGeometry(stem + std::to_string(frame) + ".wrl",
                           testing_support::exportedGeometry(read, frame - 1, c.texture));
    }
}

}  // namespace
