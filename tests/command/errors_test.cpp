// Every way an export can fail says what and where on stderr, exits with its own status and
// leaves no unfinished scene behind (a run of all frames: tests/command/jobs_test.cpp).
#include "command_run.h"
#include "model_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using command_test::runSceneport;

using CommandErrors = command_test::CommandTest;

void expectFailure(const command_test::CommandResult& result, int status, const std::string& mentioned) {
    EXPECT_EQ(result.status, status) << result.err;
    EXPECT_NE(result.err.find(mentioned), std::string::npos) << "stderr: " << result.err;
    EXPECT_EQ(result.out, "");
}

// Files that cannot be read at all are the hostile-input tests' (status 1).
TEST_F(CommandErrors, ModelsThatCannotBeShown) {
    expectFailure(runSceneport({"info", dir.path().string()}), 1, dir.path().string());
    model_file::start();
    model_file::addReferenceElement(15, 0);
    const std::string points = model_file::write(dir / "points.msh").string();
    expectFailure(runSceneport({"export", points, "-o", path("x.wrl")}), 3, "No Parts in model!");
    EXPECT_FALSE(std::filesystem::exists(dir / "x.wrl"));
}

TEST_F(CommandErrors, UsageErrors) {
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{}, "no command"},
        {{"convert"}, "unknown command \"convert\""},
        {{"export", "--colour"}, "--colour"},
        {{"export", "--frame"}, "--frame: a value is missing"},
        {{"export", "--frame", "0"}, "numbered from 1"},
        {{"export", "--frame", "100000"}, "frames, numbered from 1; got 100000"},
        {{"export", "--bands", "0"}, "--bands: between 1 and 256"},
        {{"export", "--bands", "100000"}, "--bands: between 1 and 256"},
        {{"export", "--range", "5:5"}, "minimum must be below the maximum"},
        {{"export", "--range", "5"}, "MIN:MAX"},
        {{"export", "--scale", "big"}, "\"big\" is not a number"},
        {{"export", "--view", "below"}, "views: top, front, side, iso"},
        {{"export", "--contour", "Pressure"}, "no field \"Pressure\" (fields: "},
        {{"export", "--parts", "Wing,Tail"}, "no part \"Wing\" (parts: "},
        {{"export", "--contour", "Pressure", "--no-contours"}, "choose one"},
        {{"export", "--animate", "--all-frames"}, "--animate"},
        {{"export", "-o", "scene.vrml"}, "must end in .wrl"},
        {{"info"}, "name a model file"},
    };
    for (auto [arguments, mentioned] : cases) {
        if (!arguments.empty() && arguments[0] == "export" && std::find(arguments.begin(), arguments.end(), "-o") == arguments.end())
            arguments.insert(arguments.begin() + 1, {"-o", path("x.wrl")});
        expectFailure(runSceneport(arguments), 2, mentioned);
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << "a usage error writes nothing";
}

TEST_F(CommandErrors, OutputsThatCannotBeOpened) {
    expectFailure(runSceneport({"export", "-q", "-o", path("absent/x.wrl")}), 4, "directory " + path("absent") + " does not exist");
    write("plain", "a file, not a directory");
    expectFailure(runSceneport({"export", "-q", "-o", path("plain/x.wrl")}), 4, path("plain") + " is not a directory");
}

TEST_F(CommandErrors, ReadOnlyDirectory) {
    // Root writes into read-only directories, so as root the command runs as nobody.
    command_test::RunSettings settings;
    if (geteuid() == 0) {
        settings.asUser = 65534;
        chmod(dir.path().c_str(), 0755);
    }
    std::filesystem::create_directory(dir / "locked");
    chmod((dir / "locked").c_str(), 0555);
    const auto result = runSceneport({"export", "-q", "-o", path("locked/x.wrl")}, settings);
    chmod((dir / "locked").c_str(), 0755);
    if (settings.asUser && (result.status == 126 || result.status == 127))
        GTEST_SKIP() << "nobody cannot run the command from where it was built";
    expectFailure(result, 4, "the directory " + path("locked") + " is not writable");
    EXPECT_TRUE(std::filesystem::is_empty(dir / "locked")) << "no file, not even an empty one";
}

TEST_F(CommandErrors, FullDisk) {
    // Every file may grow to 2 kB only: writes past that fail as they do on a full disk.
    command_test::RunSettings fullDisk;
    fullDisk.fileSizeLimit = 2000;
    const auto result = runSceneport({"export", "-q", "-o", path("big.wrl")}, fullDisk);
    EXPECT_EQ(result.status, 4);
    EXPECT_NE(result.err.find(path("big.wrl") + " was not written to its end"), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "big.wrl"));
}

}  // namespace
