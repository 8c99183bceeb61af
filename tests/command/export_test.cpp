// Exporting the demo model with the command, option by option, as a user runs it.
#include "command_run.h"
#include "model_files.h"

#include "ZVRMLSceneText.h"
#include "demo_model.h"
#include "io/gmsh_part_names.h"
#include "scene_text.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <regex>
#include <set>
#include <span>
#include <tuple>

namespace {

using command_test::runSceneport;
using testing_support::ContourTexture;
using testing_support::ExpectedGeometry;
using testing_support::occurrences;
using testing_support::readFile;

class CommandExport : public command_test::CommandTest {
protected:
    void SetUp() override {
        CommandTest::SetUp();
        demo = &host::buildDemoModel();  // what the command builds, to compare against
    }
    // Exports the demo to `name` with `options` and returns the file's text; the command must
    // succeed, and the file must hold `geometry`: by default the last frame's, the whole model
    // coloured by its first field, a per-node one.
    std::string exportDemo(const std::string& name, std::vector<std::string> options = {}) {
        return exportDemo(name, std::move(options), demoAt(lastFrame()));
    }
    std::string exportDemo(const std::string& name, std::vector<std::string> options,
                           const std::optional<ExpectedGeometry>& geometry) {
        options.insert(options.begin(), {"export", "--quiet", "-o", path(name)});
        const command_test::CommandResult result = runSceneport(options);
        EXPECT_EQ(result.status, 0) << result.err;
        if (geometry) expectGeometry(name, *geometry);
        return readFile(dir / name);
    }
    // What the demo holds at frame `frameIndex`.
    ExpectedGeometry demoAt(int frameIndex, ContourTexture texture = ContourTexture::PerNode,
                            std::span<const std::string> parts = {}) const {
        return testing_support::exportedGeometry(*demo, frameIndex, texture, parts);
    }
    int lastFrame() const { return demo->frameCount() - 1; }

    ModelStr* demo = nullptr;
};

int facesIn(const std::string& scene) { return occurrences(scene, " -1"); }

TEST_F(CommandExport, AllFramesGiveOneCompleteFilePerFrameWithProgressAndReport) {
    const auto result = runSceneport({"export", "--all-frames", "-o", path("demo.wrl")});
    ASSERT_EQ(result.status, 0) << result.err;

    const int frames = demo->frameCount();
    ASSERT_GE(frames, 20);
    std::string progress;
    for (int frame = 1; frame <= frames; ++frame) {
        const std::string name = "demo" + std::to_string(frame) + ".wrl";
        expectGeometry(name, demoAt(frame - 1));
        EXPECT_TRUE(readFile(dir / name).ends_with("\nROUTE prox.orientation_changed TO Spectrum.rotation")) << name;
        progress += "[" + std::to_string(frame) + "/" + std::to_string(frames) + "] Exporting " + path(name) + "...\n";
    }
    EXPECT_FALSE(std::filesystem::exists(dir / ("demo" + std::to_string(frames + 1) + ".wrl")));
    EXPECT_EQ(result.err, progress);
    // Off a terminal the report's link is the plain directory; the demo's rod is left out.
    EXPECT_EQ(result.out.substr(0, result.out.find('\n') + 1), "Exported all frames to directory: " + dir.path().string() + "\n");
    EXPECT_NE(result.out.find("Left out 1 one-dimensional part"), std::string::npos) << result.out;
}

TEST_F(CommandExport, OnATerminalProgressIsOverwrittenInPlaceAndTheReportIsALink) {
    command_test::RunSettings onTerminal;
    onTerminal.terminal = true;
    const auto result = runSceneport({"export", "--all-frames", "-o", path("tty.wrl")}, onTerminal);
    ASSERT_EQ(result.status, 0) << result.out;
    const int frames = demo->frameCount();
    for (int frame = 1; frame <= frames; ++frame)
        expectGeometry("tty" + std::to_string(frame) + ".wrl", demoAt(frame - 1));
    EXPECT_EQ(occurrences(result.out, "\r\033[K["), frames) << "each progress line replaces the one before";
    EXPECT_EQ(occurrences(result.out, "...\r\n"), 0) << "progress lines do not scroll";
    const std::string directory = dir.path().string();
    const std::string link = "\033]8;;file://";
    const size_t start = result.out.find(link);
    ASSERT_NE(start, std::string::npos) << result.out;
    const size_t target = result.out.find("\033\\", start);
    EXPECT_TRUE(result.out.substr(start, target - start).ends_with(directory)) << "the link's URL ends with the path";
    EXPECT_EQ(result.out.substr(target, directory.size() + 9), "\033\\" + directory + "\033]8;;\033\\");
}

TEST_F(CommandExport, TheFrameShownIsTheLastUnlessOneIsNamed) {
    const int frames = demo->frameCount();
    const std::string last = exportDemo("last.wrl");
    const std::string third = exportDemo("third.wrl", {"--frame", "3"}, demoAt(2));
    // The legend names the frame: "<number> / <time>".
    EXPECT_NE(last.find("\"" + std::to_string(frames) + " / "), std::string::npos);
    EXPECT_NE(third.find("\"3 / "), std::string::npos);
    EXPECT_NE(command_test::numbersAfter(last, "DEF global_coords"), command_test::numbersAfter(third, "DEF global_coords"));
}

TEST_F(CommandExport, QuietKeepsStderrEmptyAndTheReportOnStdout) {
    const auto result = runSceneport({"export", "--quiet", "-o", path("quiet.wrl")});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out.substr(0, result.out.find('\n')), "Exported current frame to file: " + path("quiet.wrl"));
    expectGeometry("quiet.wrl", demoAt(lastFrame()));
}

TEST_F(CommandExport, PartsNamedAreTheOnlyOnesWritten) {
    ASSERT_GE(demo->parts.size(), 2u);
    const std::string first = demo->parts[0]->name;
    const std::string second = demo->parts[1]->name;
    const std::vector<std::string> named{first, second};
    const std::string scene =
        exportDemo("parts.wrl", {"--parts", first + "," + second}, demoAt(lastFrame(), ContourTexture::PerNode, named));
    for (const auto& part : demo->parts) {
        const bool named = part->name == first || part->name == second;
        EXPECT_EQ(scene.find("DEF " + part->name + " Transform") != std::string::npos, named) << part->name;
    }
}

TEST_F(CommandExport, SkinOnlyWritesFewerFacesOfTheSameModel) {
    const std::string full = exportDemo("full.wrl", {"--frame", "1"}, demoAt(0));
    // The demo's skin is not counted apart from the host: a box's is, below.
    const std::string skin = exportDemo("skin.wrl", {"--frame", "1", "--skin-only"}, std::nullopt);
    EXPECT_GT(facesIn(skin), 0);
    EXPECT_LT(facesIn(skin), facesIn(full));
    EXPECT_EQ(command_test::numbersAfter(full, "DEF global_coords"), command_test::numbersAfter(skin, "DEF global_coords"));
}

TEST_F(CommandExport, ContoursFollowTheFieldChosenOrAreLeftOut) {
    const host::Field* nodeField = nullptr;
    const host::Field* elementField = nullptr;
    for (const host::Field& field : demo->fields)
        (field.location == host::ValueLocation::Node ? nodeField : elementField) = &field;
    ASSERT_TRUE(nodeField && elementField);

    const std::string perNode = exportDemo("node.wrl", {"--contour", nodeField->name});
    EXPECT_NE(perNode.find("DEF texVals TextureCoordinate"), std::string::npos);
    EXPECT_NE(perNode.find(nodeField->name), std::string::npos) << "the legend names the field";

    const ExpectedGeometry untextured = demoAt(lastFrame(), ContourTexture::None);
    const std::string perElement = exportDemo("element.wrl", {"--contour", elementField->name}, untextured);
    EXPECT_NE(perElement.find("DEF ZE_Coord_Color"), std::string::npos);
    EXPECT_EQ(perElement.find("texVals"), std::string::npos);

    const std::string plain = exportDemo("plain.wrl", {"--no-contours"}, untextured);
    EXPECT_EQ(plain.find("ZE_Coord_Color"), std::string::npos);
    EXPECT_EQ(plain.find("texVals"), std::string::npos);
}

// The reader keeps part names off the names the writer gives its own nodes; that list must hold
// every such name the writer defines: with the texture, with colours per element, with the
// animation and in the legend.
TEST_F(CommandExport, EveryNodeNameTheWriterDefinesIsOneThatPartsAreKeptOff) {
    const auto elementField = std::find_if(demo->fields.begin(), demo->fields.end(), [](const host::Field& field) {
        return field.location == host::ValueLocation::Element;
    });
    ASSERT_NE(elementField, demo->fields.end());
    const ExpectedGeometry untextured = demoAt(lastFrame(), ContourTexture::None);
    const std::string scenes = exportDemo("own-names.wrl", {"--animate"}) +
                               exportDemo("own-names-colours.wrl", {"--contour", elementField->name}, untextured);

    std::set<std::string> partNames;
    for (const auto& part : demo->parts) partNames.insert(part->name);
    const std::regex definition(R"(DEF (\S+) )");
    std::set<std::string> writersOwn;
    for (auto match = std::sregex_iterator(scenes.begin(), scenes.end(), definition); match != std::sregex_iterator();
         ++match)
        if (!partNames.contains((*match)[1].str())) writersOwn.insert((*match)[1].str());
    EXPECT_GE(writersOwn.size(), 10u) << "the scenes define the writer's nodes";
    for (const std::string& name : writersOwn)
        EXPECT_NE(std::find(kVRMLWriterNodeNames.begin(), kVRMLWriterNodeNames.end(), name),
                  kVRMLWriterNodeNames.end())
            << name << " is defined by the writer, and a part of that name would take its place";
}

TEST_F(CommandExport, BandsAndRangeShapeTheLegend) {
    const std::string scene = exportDemo("legend.wrl", {"--bands", "4", "--range", "-2:6"});
    EXPECT_EQ(occurrences(scene, "DEF SpectrumCoords"), 4);
    // The texture maps the fixed range onto the spectrum image: scale 1/(max - min).
    EXPECT_NE(scene.find("scale\t0.125"), std::string::npos);
}

TEST_F(CommandExport, ScaleZeroShowsEveryFrameUndeformed) {
    const std::string lastUndeformed = exportDemo("flat-last.wrl", {"--scale", "0"});
    const std::string firstUndeformed = exportDemo("flat-first.wrl", {"--scale", "0", "--frame", "1"}, demoAt(0));
    const std::string lastDeformed = exportDemo("deformed.wrl");
    const auto points = [](const std::string& scene) { return command_test::numbersAfter(scene, "DEF global_coords"); };
    EXPECT_EQ(points(lastUndeformed), points(firstUndeformed));
    EXPECT_NE(points(lastUndeformed), points(lastDeformed));
}

// The global model's rotation (axis and angle) applied to a vector, as a viewer applies it.
std::array<double, 3> rotated(const std::vector<float>& rotation, std::array<double, 3> v) {
    const std::array<double, 3> k{rotation[0], rotation[1], rotation[2]};
    const double c = std::cos(rotation[3]), s = std::sin(rotation[3]);
    const double dot = k[0] * v[0] + k[1] * v[1] + k[2] * v[2];
    const std::array<double, 3> cross{k[1] * v[2] - k[2] * v[1], k[2] * v[0] - k[0] * v[2], k[0] * v[1] - k[1] * v[0]};
    std::array<double, 3> out{};
    for (int i = 0; i < 3; ++i) out[i] = v[i] * c + cross[i] * s + k[i] * dot * (1 - c);
    return out;
}

std::vector<float> fieldNumbers(const std::string& scene, const std::string& field) {
    std::istringstream line(command_test::valueAfter(scene, "\t" + field + "\t"));
    std::vector<float> numbers;
    for (float value; line >> value;) numbers.push_back(value);
    return numbers;
}

TEST_F(CommandExport, EachViewTurnsTheModelAboutItsCentre) {
    struct Expectation {
        const char* view;
        std::array<double, 3> modelAxis;  // this model direction ...
        std::array<double, 3> seenAs;     // ... points this way on screen (z towards the viewer)
    };
    const double third = 1.0 / std::sqrt(3.0);
    for (const Expectation& expected : {Expectation{"top", {0, 0, 1}, {0, 0, 1}}, Expectation{"front", {0, 0, 1}, {0, 1, 0}},
                                        Expectation{"front", {0, -1, 0}, {0, 0, 1}}, Expectation{"side", {1, 0, 0}, {0, 0, 1}},
                                        Expectation{"side", {0, 0, 1}, {0, 1, 0}}, Expectation{"iso", {third, -third, third}, {0, 0, 1}}}) {
        // Undeformed, the file's points are the reference the camera turns about.
        const std::string scene = exportDemo(std::string(expected.view) + ".wrl", {"--view", expected.view, "--scale", "0"});
        const std::vector<float> rotation = fieldNumbers(scene, "rotation");
        ASSERT_EQ(rotation.size(), 4u) << expected.view;
        const auto seen = rotated(rotation, expected.modelAxis);
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(seen[i], expected.seenAs[i], 1e-5) << expected.view << " axis " << i;

        // The viewpoint looks at the model's centre; turning must leave that point in place.
        const std::vector<float> points = command_test::numbersAfter(scene, "DEF global_coords");
        std::array<double, 3> center{};
        for (size_t i = 0; i < points.size(); ++i) center[i % 3] += points[i] / (points.size() / 3.0);
        const auto turned = rotated(rotation, center);
        const std::vector<float> translation = fieldNumbers(scene, "translation");
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(turned[i] + translation[i], center[i], 1e-3) << expected.view;
    }
}

TEST_F(CommandExport, AnimateAddsEveryFramesPositionsDrivingTheSharedCoordinates) {
    const std::string scene = exportDemo("wave.wrl", {"--animate"});
    const size_t coordinates = scene.find("DEF global_coords Coordinate");
    const size_t route = scene.find("ROUTE ci.value_changed TO global_coords.set_point");
    ASSERT_NE(coordinates, std::string::npos);
    ASSERT_NE(route, std::string::npos);
    EXPECT_LT(coordinates, route) << "a route may only name a node defined before it";
    EXPECT_TRUE(scene.ends_with("ROUTE ci.value_changed TO global_coords.set_point"));
    EXPECT_NE(scene.find("ROUTE ts.fraction_changed TO ci.set_fraction"), std::string::npos);

    const std::vector<float> keys = command_test::numbersAfter(scene, "\nkey ");
    ASSERT_EQ(static_cast<int>(keys.size()), demo->frameCount());
    EXPECT_EQ(keys.front(), 0.0f);
    EXPECT_EQ(keys.back(), 1.0f);
    EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
    const std::vector<float> values = command_test::numbersAfter(scene, "\nkeyValue ");
    EXPECT_EQ(values.size(), 3u * demo->frameCount() * demo->nodeCount());
    // The last key holds the scene's own frame, the last.
    const std::vector<float> shown = command_test::numbersAfter(scene, "DEF global_coords");
    EXPECT_TRUE(std::equal(shown.begin(), shown.end(), values.end() - shown.size()));
}

using CommandExportFile = command_test::CommandTest;

// The faces of the model's shapes in a scene, the legend's left aside.
int modelFacesIn(const std::string& scene, const std::string& part) {
    int faces = 0;
    for (const testing_support::ShapeText& shape : testing_support::shapesIn(testing_support::partText(scene, part)))
        faces += static_cast<int>(shape.faces.size());
    return faces;
}

TEST_F(CommandExportFile, ABoxOfHexahedraIsWrittenWholeOrAsItsSkin) {
    const int a = 4, b = 3, c = 2;
    const std::string model = write("box.msh", command_test::boxOfHexahedra(a, b, c));
    // Coloured per node by its one field: one texture coordinate per node.
    const long nodes = (a + 1) * (b + 1) * (c + 1);
    const ExpectedGeometry whole{nodes, 6L * a * b * c, nodes};
    const ExpectedGeometry skin{nodes, 2L * (a * b + b * c + c * a), nodes};
    using Export = std::tuple<const char*, std::vector<std::string>, ExpectedGeometry>;
    for (const auto& [name, options, expected] : {Export{"whole.wrl", {}, whole}, Export{"skin.wrl", {"--skin-only"}, skin}}) {
        std::vector<std::string> arguments{"export", model, "--quiet", "-o", path(name)};
        arguments.insert(arguments.end(), options.begin(), options.end());
        const auto result = runSceneport(arguments);
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(modelFacesIn(readFile(dir / name), "Box"), expected.polygons) << name;
        expectGeometry(name, expected);
    }
}

}  // namespace
