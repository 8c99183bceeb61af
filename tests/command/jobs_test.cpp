// `--all-frames --jobs 2` leaves exactly what one process leaves: the same files with the same
// scenes (the date line apart), the same report, the same exit status when a frame cannot be
// written; and `--frame k` writes what `--all-frames` writes for frame k. A long result exported
// one frame per process with GNU parallel, as the user guide shows it, equals the --all-frames
// export.
#include "command_run.h"
#include "model_file.h"

#include "ZVRMLSceneText.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <map>
#include <optional>

namespace {

namespace fs = std::filesystem;
using command_test::runSceneport;

// The scenes in `directory` by name, each without its date line.
std::map<std::string, std::string> scenesIn(const fs::path& directory) {
    std::map<std::string, std::string> scenes;
    for (const auto& entry : fs::directory_iterator(directory))
        if (entry.is_regular_file()) scenes[entry.path().filename().string()] = testing_support::afterHeader(testing_support::readFile(entry.path()));
    return scenes;
}

struct Case {
    const char* label;
    bool demo;  // the demo (24 frames, node and element fields) or the plate and rod file (3 frames)
    std::vector<std::string> options;
    int blockedFrame;  // 1-based; a directory takes this frame's file name
    std::optional<long> fileSizeLimit;  // a full disk
    int status;
    const char* reported;  // in the --jobs 2 run's stderr
    std::size_t filesLeft;
};
void PrintTo(const Case& c, std::ostream* out) { *out << c.label; }

class Jobs : public command_test::CommandTest, public ::testing::WithParamInterface<Case> {};

TEST_P(Jobs, TwoProcessesLeaveWhatOneLeaves) {
    const Case& c = GetParam();
    const std::string model = c.demo ? "--demo" : model_file::plateAndRod(dir / "plate.msh").string();
    std::map<int, command_test::CommandResult> results;
    for (const int jobs : {1, 2}) {
        const fs::path out = dir / "out";  // the same for both: the report names it
        fs::create_directory(out);
        if (c.blockedFrame > 0) fs::create_directory(out / ("m" + std::to_string(c.blockedFrame) + ".wrl"));
        std::vector<std::string> arguments{"export", model, "--all-frames", "--jobs", std::to_string(jobs), "-o", (out / "m.wrl").string()};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        command_test::RunSettings settings;
        settings.fileSizeLimit = c.fileSizeLimit;
        results[jobs] = runSceneport(arguments, settings);
        EXPECT_EQ(results[jobs].status, c.status) << "--jobs " << jobs << ": " << results[jobs].err;
        fs::rename(out, dir / ("jobs" + std::to_string(jobs)));
    }
    EXPECT_NE(results[2].err.find(c.reported), std::string::npos) << results[2].err;
    if (c.status == 0) {
        EXPECT_EQ(results[1].out, results[2].out);  // the report, directory included
    }
    const auto one = scenesIn(dir / "jobs1"), two = scenesIn(dir / "jobs2");
    EXPECT_EQ(one.size(), c.filesLeft);
    ASSERT_EQ(one.size(), two.size());
    for (const auto& [name, scene] : one) {
        ASSERT_TRUE(two.contains(name)) << name << " is missing with --jobs 2";
        EXPECT_TRUE(scene == two.at(name)) << name << " differs between --jobs 1 and --jobs 2";
    }
    if (c.status != 0) return;
    // A frame in the middle written alone, as one process per frame writes it: in a run of every
    // frame it follows others, so it shows what one frame leaves to the next.
    const std::string middle = std::to_string((one.size() + 1) / 2);
    std::vector<std::string> alone{"export", model, "--frame", middle, "-o", path("alone.wrl")};
    alone.insert(alone.end(), c.options.begin(), c.options.end());
    ASSERT_EQ(runSceneport(alone).status, 0);
    EXPECT_TRUE(testing_support::afterHeader(testing_support::readFile(dir / "alone.wrl")) == one.at("m" + middle + ".wrl"))
        << "frame " << middle << " alone differs from --all-frames";
}

INSTANTIATE_TEST_SUITE_P(Cases, Jobs,
    ::testing::Values(Case{"NodeContours", true, {}, 0, {}, 0, "", 24},
                      Case{"ElementContours", true, {"--contour", "Effective stress"}, 0, {}, 0, "", 24},
                      Case{"SkinOnlyRange", true, {"--skin-only", "--range", "-2:6"}, 0, {}, 0, "", 24},
                      Case{"NoContoursScaled", true, {"--no-contours", "--scale", "3"}, 0, {}, 0, "", 24},
                      Case{"BandsOfFileWithLineLeftOut", false, {"--contour", "Stress", "--bands", "4"}, 0, {}, 0, "", 3},
                      Case{"FrameNotWritable", true, {}, 9, {}, 4, "m9.wrl (frame 9): a directory of that name is in the way", 8},
                      Case{"FirstFrameNotWritable", false, {}, 1, {}, 4, "m1.wrl (frame 1)", 0},
                      Case{"DiskFull", true, {}, 0, 20'000, 4, "m1.wrl (frame 1) was not written to its end", 0}),
    [](const auto& info) { return std::string(info.param.label); });

using JobsRun = command_test::CommandTest;

TEST_F(JobsRun, UsageErrors) {
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{"--all-frames", "--jobs", "0"}, "--jobs: between 1 and 256 processes, got 0"},
        {{"--jobs", "2"}, "it needs --all-frames"},
        {{"--frame", "3", "--jobs", "2"}, "it needs --all-frames"},
    };
    for (auto [arguments, mentioned] : cases) {
        arguments.insert(arguments.begin(), {"export", "--demo", "-o", path("x.wrl")});
        const auto result = runSceneport(arguments);
        EXPECT_EQ(result.status, 2);
        EXPECT_NE(result.err.find(mentioned), std::string::npos) << result.err;
    }
}

// Stopped with Ctrl-C, the command ends by the signal as interrupted programs do, its workers
// stop too, and no unfinished file stays.
TEST_F(JobsRun, StoppedLeaveNoUnfinishedFile) {
    command_test::RunSettings settings;
    settings.signalOnProgress = SIGINT;
    for (const char* jobs : {"1", "2"}) {
        const fs::path out = dir / (std::string("out") + jobs);
        fs::create_directory(out);
        const auto result = runSceneport({"export", "--demo", "--all-frames", "--jobs", jobs, "-o", (out / "m.wrl").string()}, settings);
        EXPECT_EQ(result.signal, SIGINT) << result.err;
        for (const auto& [name, scene] : scenesIn(out)) EXPECT_TRUE(scene.ends_with(kVRMLSceneLastLine)) << name << " is unfinished";
    }
}

// The user guide's GNU parallel example, word for word but the model and the command's path.
TEST_F(JobsRun, GnuParallelFramesEqualAllFrames) {
    const std::string model = model_file::plateAndRod(dir / "crash.msh").string();
    fs::create_directory(dir / "all");
    ASSERT_EQ(runSceneport({"export", model, "--all-frames", "--quiet", "-o", path("all/crash.wrl")}).status, 0);
    write("example.sh", "set -e\n"
        "N=$(sceneport info crash.msh | sed -n 's/^Frames: \\([0-9]*\\).*/\\1/p')\n"
        "mkdir -p out\n"
        "seq \"$N\" | parallel -j 4 sceneport export crash.msh --frame {} --quiet -o out/crash{}.wrl\n");
    const std::string run = "cd '" + dir.path().string() + "' && PATH='" + fs::path(SCENEPORT_COMMAND).parent_path().string() +
                            "':\"$PATH\" bash example.sh </dev/null";
    ASSERT_EQ(std::system(run.c_str()), 0) << "the GNU parallel example failed (is the Debian package parallel installed?)";
    const auto all = scenesIn(dir / "all"), alone = scenesIn(dir / "out");
    EXPECT_EQ(all.size(), 3u);
    EXPECT_TRUE(all == alone) << "the frames written one per process differ from --all-frames";
}

}  // namespace
