// Exporting a long result frame by frame in parallel (docs/cli.md): `sceneport export --frame k`
// must write exactly what `--all-frames` writes for frame k, the date line apart. In an
// --all-frames run every frame follows another, so a frame in the middle shows what one frame
// leaves to the next; the plain contours also compare the first and the last.
#include "command_run.h"
#include "model_file.h"

#include "demo_model.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>

namespace {

using testing_support::ContourTexture;

struct Case {
    const char* label;
    bool demo;  // the built-in demo (24 frames), or the plate model file (3 time steps)
    std::vector<std::string> options;
    std::optional<ContourTexture> texture;  // what the demo's scenes hold, where counted
};
void PrintTo(const Case& c, std::ostream* out) { *out << c.label; }

class FrameParallel : public command_test::CommandTest, public ::testing::WithParamInterface<Case> {};

TEST_P(FrameParallel, AloneEqualsAll) {
    const Case& c = GetParam();
    const std::string model = c.demo ? "--demo" : model_file::plateAndRod(dir / "plate.msh").string();
    const auto run = [&](std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"export", model, "--quiet"});
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const auto result = command_test::runSceneport(arguments);
        EXPECT_EQ(result.status, 0) << result.err;
    };
    run({"--all-frames", "-o", path("all.wrl")});
    int frames = 0;
    while (std::filesystem::exists(dir / ("all" + std::to_string(frames + 1) + ".wrl"))) ++frames;
    ASSERT_GE(frames, 3);
    const std::set<int> compared = c.options.empty() ? std::set<int>{1, (frames + 1) / 2, frames} : std::set<int>{(frames + 1) / 2};
    for (const int frame : compared) {
        const std::string all = "all" + std::to_string(frame) + ".wrl", one = "one" + std::to_string(frame) + ".wrl";
        run({"--frame", std::to_string(frame), "-o", path(one)});
        const std::string allText = testing_support::afterHeader(testing_support::readFile(dir / all)),
                          oneText = testing_support::afterHeader(testing_support::readFile(dir / one));  // the date apart
        const size_t at = std::mismatch(allText.begin(), allText.end(), oneText.begin(), oneText.end()).first - allText.begin();
        EXPECT_EQ(allText.size(), at) << "frame " << frame << " differs at \"" << allText.substr(at, 80) << "\" (--all-frames), \""
                                      << oneText.substr(at, 80) << "\" (alone)";
        EXPECT_EQ(allText.size(), oneText.size());
        if (c.texture)
            for (const std::string& name : {all, one}) expectGeometry(name, testing_support::exportedGeometry(host::buildDemoModel(), frame - 1, *c.texture));
    }
    for (int frame = 1; frame <= frames; ++frame)  // the readers get the frames compared
        if (!compared.contains(frame)) std::filesystem::remove(dir / ("all" + std::to_string(frame) + ".wrl"));
}

// A scale beyond 1 has the command visit every frame before it shows one.
INSTANTIATE_TEST_SUITE_P(Cases, FrameParallel,
    ::testing::Values(Case{"Demo", true, {}, ContourTexture::PerNode}, Case{"DemoSkinOnly", true, {"--skin-only"}, std::nullopt},
                      Case{"DemoNoContours", true, {"--no-contours"}, ContourTexture::None},
                      Case{"DemoRangeAndBands", true, {"--range", "-2:6", "--bands", "4"}, ContourTexture::PerNode},
                      Case{"DemoPerElement", true, {"--contour", "Effective stress"}, ContourTexture::None},
                      Case{"DemoScale", true, {"--scale", "3"}, ContourTexture::PerNode},
                      Case{"Plate", false, {}, std::nullopt}, Case{"PlatePerElement", false, {"--contour", "Stress"}, std::nullopt},
                      Case{"PlateRangeSkinOnly", false, {"--range", "0:40", "--skin-only"}, std::nullopt}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
