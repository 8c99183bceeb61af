// Exporting with the command, option by option, as a user runs it; and what `info` and `--version`
// tell before that.
#include "command_run.h"
#include "model_file.h"

#include "SceneportModule.h"
#include "demo_model.h"
#include "scene_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <sstream>

namespace {

using command_test::numbersAfter;
using command_test::runSceneport;
using testing_support::ContourTexture;
using testing_support::ExpectedGeometry;
using testing_support::occurrences;
using testing_support::readFile;

class Export : public command_test::CommandTest {
protected:
    void SetUp() override {
        CommandTest::SetUp();
        demo = &host::buildDemoModel();  // what the command builds, to compare against
    }
    // Exports the demo to `name` with `options`; the command must succeed and the file hold
    // `geometry` (by default the last frame's, coloured per node by the first field).
    std::string exportDemo(const std::string& name, std::vector<std::string> options = {},
                           std::optional<ExpectedGeometry> geometry = std::nullopt, bool counted = true) {
        options.insert(options.begin(), {"export", "--quiet", "-o", path(name)});
        const command_test::CommandResult result = runSceneport(options);
        EXPECT_EQ(result.status, 0) << result.err;
        if (counted) expectGeometry(name, geometry ? *geometry : demoAt(lastFrame()));
        return readFile(dir / name);
    }
    ExpectedGeometry demoAt(int frame, ContourTexture texture = ContourTexture::PerNode, std::span<const std::string> parts = {}) const {
        return testing_support::exportedGeometry(*demo, frame, texture, parts);
    }
    int lastFrame() const { return demo->frameCount() - 1; }
    ModelStr* demo = nullptr;
};

TEST_F(Export, AllFramesWithProgress) {
    for (const bool terminal : {false, true}) {
        command_test::RunSettings settings;
        settings.terminal = terminal;
        const std::string stem = terminal ? "tty" : "demo";
        const auto result = runSceneport({"export", "--all-frames", "-o", path(stem + ".wrl")}, settings);
        ASSERT_EQ(result.status, 0) << result.err << result.out;
        std::string progress;
        for (int frame = 1; frame <= demo->frameCount(); ++frame) {
            const std::string name = stem + std::to_string(frame) + ".wrl";
            expectGeometry(name, demoAt(frame - 1));
            progress += "[" + std::to_string(frame) + "/" + std::to_string(demo->frameCount()) + "] Exporting " + path(name) + "...\n";
        }
        EXPECT_FALSE(std::filesystem::exists(dir / (stem + std::to_string(demo->frameCount() + 1) + ".wrl")));
        const std::string directory = dir.path().string();
        if (!terminal) {
            EXPECT_EQ(result.err, "sceneport: the demo model: 1 scene unit = 0.1 file units, offset (0, 0, 6.64204) subtracted\n" + progress);
            EXPECT_TRUE(result.out.starts_with("Exported all frames to directory: " + directory + "\nLeft out 1 one-dimensional part")) << result.out;
        } else {  // each progress line replaces the one before, and the report is a link
            EXPECT_EQ(occurrences(result.out, "\r\033[K["), demo->frameCount());
            EXPECT_NE(result.out.find(directory + "\033\\" + directory + "\033]8;;\033\\", result.out.find("\033]8;;file://")), std::string::npos) << result.out;
        }
    }
}

// Each option reaches the scene; what the plug-in makes of it is its own suites' to check.
TEST_F(Export, Options) {
    const auto points = [](const std::string& scene) { return numbersAfter(scene, "DEF global_coords"); };
    const auto has = [](const std::string& scene, const std::string& text) { return scene.find(text) != std::string::npos; };
    const std::string last = exportDemo("last.wrl");
    const std::string third = exportDemo("third.wrl", {"--frame", "3"}, demoAt(2));
    EXPECT_TRUE(has(last, "\"" + std::to_string(demo->frameCount()) + " / ") && has(third, "\"3 / ")) << "the legend names the frame";
    EXPECT_NE(points(last), points(third));

    const std::vector<std::string> named{demo->parts[0]->name, demo->parts[1]->name};
    const std::string parts = exportDemo("parts.wrl", {"--parts", named[0] + "," + named[1]}, demoAt(lastFrame(), ContourTexture::PerNode, named));
    for (const auto& part : demo->parts)
        EXPECT_EQ(has(parts, "DEF " + part->name + " Transform"), part->name == named[0] || part->name == named[1]) << part->name;

    const std::string skin = exportDemo("skin.wrl", {"--skin-only"}, std::nullopt, false);
    EXPECT_TRUE(occurrences(skin, " -1") > 0 && occurrences(skin, " -1") < occurrences(last, " -1"));
    EXPECT_EQ(points(skin), points(last));

    const std::string perElement = exportDemo("element.wrl", {"--contour", "Effective stress"}, demoAt(lastFrame(), ContourTexture::None));
    EXPECT_TRUE(has(last, "DEF texVals") && has(perElement, "DEF ZE_Coord_Color") && has(perElement, "Effective stress"));
    const std::string plain = exportDemo("plain.wrl", {"--no-contours"}, demoAt(lastFrame(), ContourTexture::None));
    EXPECT_FALSE(has(plain, "ZE_Coord_Color") || has(plain, "texVals") || has(perElement, "texVals"));

    const std::string legend = exportDemo("legend.wrl", {"--bands", "4", "--range", "-2:6"});
    EXPECT_EQ(occurrences(legend, "DEF SpectrumCoords"), 4);
    EXPECT_TRUE(has(legend, "scale\t0.125")) << "the texture maps the range: 1/(max - min)";

    const std::string flatLast = exportDemo("flat-last.wrl", {"--scale", "0"});
    EXPECT_EQ(points(flatLast), points(exportDemo("flat-first.wrl", {"--scale", "0", "--frame", "1"}, demoAt(0))));
    EXPECT_NE(points(flatLast), points(last));

    const std::string wave = exportDemo("wave.wrl", {"--animate"});
    EXPECT_TRUE(wave.ends_with("ROUTE ci.value_changed TO global_coords.set_point"));
    EXPECT_EQ(numbersAfter(wave, "\nkey ").size(), static_cast<size_t>(demo->frameCount()));
    const std::vector<float> values = numbersAfter(wave, "\nkeyValue "), shown = points(wave);
    EXPECT_EQ(values.size(), 3u * demo->frameCount() * demo->nodeCount());
    EXPECT_TRUE(std::equal(shown.begin(), shown.end(), values.end() - shown.size())) << "the last key is the scene's own frame";
}

// The global model's rotation (axis, angle) applied to a vector, as a viewer applies it.
std::array<double, 3> rotated(const std::vector<float>& r, const std::array<double, 3>& v) {
    const double c = std::cos(r[3]), s = std::sin(r[3]), along = r[0] * v[0] + r[1] * v[1] + r[2] * v[2];
    const std::array<double, 3> cross{r[1] * v[2] - r[2] * v[1], r[2] * v[0] - r[0] * v[2], r[0] * v[1] - r[1] * v[0]};
    return {v[0] * c + cross[0] * s + r[0] * along * (1 - c), v[1] * c + cross[1] * s + r[1] * along * (1 - c),
            v[2] * c + cross[2] * s + r[2] * along * (1 - c)};
}

TEST_F(Export, ViewsFrameTheModel) {
    const double third = 1.0 / std::sqrt(3.0);
    const struct { const char* view; std::array<double, 3> modelAxis, seenAs; } cases[] = {  // z towards the viewer
        {"top", {0, 0, 1}, {0, 0, 1}}, {"front", {0, 0, 1}, {0, 1, 0}}, {"front", {0, -1, 0}, {0, 0, 1}},
        {"side", {1, 0, 0}, {0, 0, 1}}, {"side", {0, 0, 1}, {0, 1, 0}}, {"iso", {third, -third, third}, {0, 0, 1}}};
    for (const auto& c : cases)
        for (const bool kept : {false, true}) {  // centred, or where the file has it
            std::vector<std::string> options{"--view", c.view, "--scale", "0"};
            if (kept) options.push_back("--keep-coordinates");
            const std::string scene = exportDemo(std::string(c.view) + (kept ? "-kept.wrl" : ".wrl"), options);
            const auto field = [&](const std::string& name) {
                std::istringstream line(command_test::valueAfter(scene, "\t" + name + "\t"));
                std::vector<float> numbers;
                for (float value; line >> value;) numbers.push_back(value);
                return numbers;
            };
            const std::vector<float> rotation = field("rotation"), translation = field("translation");
            ASSERT_EQ(rotation.size(), 4u) << c.view;
            const auto seen = rotated(rotation, c.modelAxis);
            for (int i = 0; i < 3; ++i) EXPECT_NEAR(seen[i], c.seenAs[i], 1e-5) << c.view << " axis " << i;
            const std::vector<float> points = numbersAfter(scene, "DEF global_coords"), eye = field("position");
            ASSERT_EQ(eye.size(), 3u);
            if (kept) {  // the model turns about its centre (the mean of its nodes), which stays where the file has it
                std::array<double, 3> centre{};
                for (size_t i = 0; i < points.size(); ++i) centre[i % 3] += 3.0 * points[i] / points.size();
                const auto turned = rotated(rotation, centre);
                for (int i = 0; i < 3; ++i) EXPECT_NEAR(turned[i] + translation[i], centre[i], 1e-4) << c.view << " axis " << i;
                continue;
            }
            // Centred, the model turns about the scene's origin and stands ahead of the viewpoint:
            // every point in the field of view and beyond the legend, 35 units ahead.
            for (size_t i = 0; i < points.size(); i += 3) {
                const auto turned = rotated(rotation, {points[i], points[i + 1], points[i + 2]});
                const double x = turned[0] + translation[0] - eye[0], y = turned[1] + translation[1] - eye[1],
                             z = turned[2] + translation[2] - eye[2];
                ASSERT_LT(z, -35.0) << c.view;
                ASSERT_LT(std::hypot(x, y), -z * std::tan(0.785 / 2)) << c.view;
            }
        }
}

TEST_F(Export, InfoAndVersion) {
    const std::string plate = model_file::plateAndRod(dir / "plate.msh").string();
    auto result = runSceneport({"info", plate});
    ASSERT_EQ(result.status, 0) << result.err;
    for (const char* line : {"Model: plate.msh\n", "Nodes: 10\n", "Parts: 3\n", "  Plate     2D  1 4-node quadrilateral\n",
                             "  Rod       1D  1 2-node line\n", "  Top_skin  2D  2 3-node triangle  (in the file: \"Top skin\")\n",
                             "Frames: 3, times 0 0.5 1\n", "  Temperature  per node     1 component\n", "  Stress       per element  1 component\n"})
        EXPECT_NE(result.out.find(line), std::string::npos) << line << " in\n" << result.out;
    EXPECT_TRUE(runSceneport({"info", "--demo"}).out.starts_with("Model: Sceneport demo\n"));

    result = runSceneport({"export", plate, "--all-frames", "-o", path("plate.wrl")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("Left out 1 one-dimensional part (Rod)"), std::string::npos) << result.out;
    result = runSceneport({"export", plate, "--all-frames", "--quiet", "-o", path("plate.wrl")});
    EXPECT_EQ(result.out + result.err, "") << "quiet means quiet";
    for (const char* name : {"plate1.wrl", "plate2.wrl", "plate3.wrl"})
        EXPECT_NE(readFile(dir / name).find("NODES : Temperature"), std::string::npos) << name;

    result = runSceneport({"--version"});
    EXPECT_EQ(result.out, std::string("sceneport ") + Sceneport_get_module_info(1) + "\n" + Sceneport_get_module_info(2) + "\n");
}

}  // namespace
