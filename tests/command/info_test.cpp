// `sceneport info`, `--version` and `--help`: what a user reads before exporting.
#include "command_run.h"
#include "model_files.h"

#include "SceneportModule.h"
#include "test_support.h"

#include <gtest/gtest.h>


namespace {

using command_test::runSceneport;

using CommandInfo = command_test::CommandTest;

bool hasLine(const std::string& text, const std::string& line) {
    for (const std::string& candidate : testing_support::splitLines(text))
        if (candidate == line) return true;
    return false;
}

TEST_F(CommandInfo, ListsPartsNodesFramesAndFieldsOfAModelFile) {
    const auto result = runSceneport({"info", write("plate.msh", command_test::kPlateAndRod)});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string& text = result.out;
    EXPECT_TRUE(hasLine(text, "Model: plate.msh")) << text;
    // A node shared by two parts has a copy in each: 4 + 4 + 2.
    EXPECT_TRUE(hasLine(text, "Nodes: 10")) << text;
    EXPECT_TRUE(hasLine(text, "Parts: 3")) << text;
    EXPECT_NE(text.find("  Plate     2D  1 4-node quadrilateral\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  Rod       1D  1 2-node line\n"), std::string::npos) << text;
    // The blank cannot stand in a node name: the part is renamed, and says so.
    EXPECT_NE(text.find("  Top_skin  2D  2 3-node triangle  (in the file: \"Top skin\")\n"), std::string::npos) << text;
    EXPECT_TRUE(hasLine(text, "Frames: 3, times 0 0.5 1")) << text;
    EXPECT_TRUE(hasLine(text, "  Temperature  per node")) << text;
    EXPECT_TRUE(hasLine(text, "  Stress  per element")) << text;
}

TEST_F(CommandInfo, TheModelFileExportsToScenesAnIndependentReaderOpens) {
    const std::string model = write("plate.msh", command_test::kPlateAndRod);
    const auto result = runSceneport({"export", model, "--all-frames", "--quiet", "-o", path("plate.wrl")});
    ASSERT_EQ(result.status, 0) << result.err;
    // The rod comes first and shapes follow it: result 2, reported, and the export succeeds.
    EXPECT_NE(result.out.find("Left out 1 one-dimensional part (Rod)"), std::string::npos) << result.out;
    for (const char* name : {"plate1.wrl", "plate2.wrl", "plate3.wrl"}) {
        const std::string scene = testing_support::readFile(dir / name);
        EXPECT_NE(scene.find("DEF Top_skin Transform"), std::string::npos) << name;
        EXPECT_NE(scene.find("NODES : Temperature"), std::string::npos) << "the legend names the field";
    }
}

TEST_F(CommandInfo, TheDemoModelIsListedWithoutAFile) {
    const auto result = runSceneport({"info", "--demo"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(result.out.starts_with("Model: Sceneport demo\n")) << result.out;
}

TEST_F(CommandInfo, VersionIsThePluginsOwn) {
    const auto result = runSceneport({"--version"});
    ASSERT_EQ(result.status, 0);
    const auto lines = testing_support::splitLines(result.out);
    ASSERT_EQ(lines.size(), 2u) << result.out;
    EXPECT_EQ(lines[0], std::string("sceneport ") + Sceneport_get_module_info(1));
    EXPECT_EQ(lines[1], Sceneport_get_module_info(2));
}

TEST_F(CommandInfo, HelpNamesEveryExportOption) {
    const auto result = runSceneport({"export", "--help"});
    ASSERT_EQ(result.status, 0);
    for (const char* option : {"--output", "--all-frames", "--frame", "--contour", "--no-contours", "--skin-only", "--parts",
                               "--bands", "--range", "--scale", "--view", "--animate", "--quiet"})
        EXPECT_NE(result.out.find(option), std::string::npos) << option;
}

}  // namespace
