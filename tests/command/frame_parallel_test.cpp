// Exporting a long result frame by frame in parallel (docs/cli.md): one `sceneport export
// --frame k` process per frame must write exactly what `--all-frames` writes for frame k, the
// header's second line (the date the file was saved) apart. Each case runs --all-frames once with
// options a user would combine with such a run, and then --frame k with the same options: for the
// plain contours of each model the first, a middle and the last frame, for the other options the
// middle one alone, which keeps the suite to a few seconds. In an --all-frames run every frame
// follows another (the first follows the last, which the command shows before the plug-in starts),
// so a frame in the middle shows what one frame leaves to the next.
#include "command_run.h"
#include "model_files.h"

#include "demo_model.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

using command_test::runSceneport;
using testing_support::ContourTexture;

enum class Model { Demo, Plate };  // the built-in demo, 24 frames; kPlateAndRod, 3 time steps

struct FrameParallelCase {
    const char* label;  // the test's name
    Model model;
    std::vector<std::string> options;
    bool firstMiddleAndLast;  // the frames compared; only the middle one when false
    // What each of the demo's scenes holds, for the independent readers, where the suite counts it.
    std::optional<ContourTexture> texture;
};

void PrintTo(const FrameParallelCase& parallelCase, std::ostream* out) { *out << parallelCase.label; }

std::string shownOptions(const std::vector<std::string>& options) {
    std::string shown;
    for (const std::string& option : options) shown += " " + option;
    return shown.empty() ? " (no options)" : shown;
}

// The file's lines, split at "\n" only: a final line break leaves an empty last line, so two
// files with the same lines are the same bytes.
std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    return lines;
}

std::string shownLine(const std::vector<std::string>& lines, size_t index) {
    if (index >= lines.size()) return "(the file has ended)";
    constexpr size_t kShown = 200;
    const std::string& line = lines[index];
    return "\"" + line.substr(0, kShown) + (line.size() > kShown ? "\" ..." : "\"");
}

// Where two scenes differ, apart from their second line, told for a reader of the test's
// output; empty when they agree.
std::string firstDifference(const std::filesystem::path& allFrames, const std::filesystem::path& oneFrame,
                            const std::string& oneFrameRun) {
    const std::vector<std::string> all = linesOf(testing_support::readFile(allFrames));
    const std::vector<std::string> one = linesOf(testing_support::readFile(oneFrame));
    for (size_t index = 0; index < std::max(all.size(), one.size()); ++index) {
        if (index == 1) continue;  // "# File saved in ... on <date>"
        if (index < all.size() && index < one.size() && all[index] == one[index]) continue;
        return allFrames.filename().string() + " (--all-frames) and " + oneFrame.filename().string() + " (" +
               oneFrameRun + ") first differ at line " + std::to_string(index + 1) + ":\n  " +
               allFrames.filename().string() + ": " + shownLine(all, index) + "\n  " + oneFrame.filename().string() +
               ": " + shownLine(one, index);
    }
    return "";
}

class FrameParallelExport : public command_test::CommandTest,
                            public ::testing::WithParamInterface<FrameParallelCase> {
protected:
    // The command's arguments for the case's model, `run`'s own and then the case's options.
    std::vector<std::string> arguments(const std::string& model, std::vector<std::string> run) const {
        run.insert(run.begin(), {"export", model, "--quiet"});
        run.insert(run.end(), GetParam().options.begin(), GetParam().options.end());
        return run;
    }
};

TEST_P(FrameParallelExport, EachFrameAloneIsWhatAllFramesWriteForIt) {
    const FrameParallelCase& parallelCase = GetParam();
    const std::string model =
        parallelCase.model == Model::Demo ? "--demo" : write("plate.msh", command_test::kPlateAndRod);

    const auto all = runSceneport(arguments(model, {"--all-frames", "-o", path("all.wrl")}));
    ASSERT_EQ(all.status, 0) << all.err;
    int frames = 0;
    while (std::filesystem::exists(dir / ("all" + std::to_string(frames + 1) + ".wrl"))) ++frames;
    ASSERT_GE(frames, 3) << "the case needs a model whose field changes over several frames";

    // What the command built, to count what its scenes hold.
    const ModelStr* demo =
        parallelCase.model == Model::Demo && parallelCase.texture ? &host::buildDemoModel() : nullptr;
    const std::set<int> compared =
        parallelCase.firstMiddleAndLast ? std::set<int>{1, (frames + 1) / 2, frames} : std::set<int>{(frames + 1) / 2};
    for (const int frame : compared) {
        const std::string number = std::to_string(frame);
        const std::string oneFrameRun = "--frame " + number;
        // Named as --all-frames names its files, as docs/cli.md tells a parallel run to do.
        const auto one = runSceneport(arguments(model, {"--frame", number, "-o", path("one" + number + ".wrl")}));
        ASSERT_EQ(one.status, 0) << oneFrameRun << ":" << one.err;
        const std::filesystem::path allFile = dir / ("all" + number + ".wrl");
        const std::filesystem::path oneFile = dir / ("one" + number + ".wrl");
        for (const auto& file : {allFile, oneFile}) {
            const std::vector<std::string> lines = linesOf(testing_support::readFile(file));
            EXPECT_TRUE(lines.size() > 1 && lines[1].starts_with("# File saved in "))
                << file.filename() << ": the line left out of the comparison must be the one with the date";
        }
        const std::string difference = firstDifference(allFile, oneFile, oneFrameRun);
        EXPECT_TRUE(difference.empty()) << "with" << shownOptions(parallelCase.options) << ", " << difference;

        if (demo) {
            const auto expected = testing_support::exportedGeometry(*demo, frame - 1, *parallelCase.texture);
            expectGeometry(allFile.filename().string(), expected);
            expectGeometry(oneFile.filename().string(), expected);
        }
    }
    // The readers get the frames compared; the others, written the same way, add nothing.
    for (int frame = 1; frame <= frames; ++frame)
        if (!compared.contains(frame)) std::filesystem::remove(dir / ("all" + std::to_string(frame) + ".wrl"));
}

// The demo's fields: "Displacement magnitude" per node (its first, the default contour) and
// "Effective stress" per element; it moves, and elements fail along the way.
INSTANTIATE_TEST_SUITE_P(
    Demo, FrameParallelExport,
    ::testing::Values(FrameParallelCase{"Contours", Model::Demo, {}, true, ContourTexture::PerNode},
                      FrameParallelCase{"SkinOnly", Model::Demo, {"--skin-only"}, false, std::nullopt},
                      FrameParallelCase{"NoContours", Model::Demo, {"--no-contours"}, false, ContourTexture::None},
                      FrameParallelCase{"FixedRangeAndBands", Model::Demo, {"--range", "-2:6", "--bands", "4"}, false,
                                        ContourTexture::PerNode},
                      FrameParallelCase{"PerElementValues", Model::Demo, {"--contour", "Effective stress"}, false,
                                        ContourTexture::None},
                      // A scale beyond 1 has the command visit every frame before it shows one.
                      FrameParallelCase{"Scale", Model::Demo, {"--scale", "3"}, false, ContourTexture::PerNode}),
    [](const ::testing::TestParamInfo<FrameParallelCase>& info) { return std::string(info.param.label); });

// A model file: "Temperature" per node over three time steps, "Stress" per element over one.
INSTANTIATE_TEST_SUITE_P(
    ModelFile, FrameParallelExport,
    ::testing::Values(FrameParallelCase{"Contours", Model::Plate, {}, true, std::nullopt},
                      FrameParallelCase{"PerElementValues", Model::Plate, {"--contour", "Stress"}, false, std::nullopt},
                      FrameParallelCase{"FixedRangeSkinOnly", Model::Plate, {"--range", "0:40", "--skin-only"}, false,
                                        std::nullopt}),
    [](const ::testing::TestParamInfo<FrameParallelCase>& info) { return std::string(info.param.label); });

}  // namespace
