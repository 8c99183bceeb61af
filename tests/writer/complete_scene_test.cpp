// Whole files, put together from the node writers in the order an export writes them: viewpoint,
// the global model with a shell part and a solid part holding every element kind, the sphere
// sensor, the legend and an animation. Each file must balance its brackets and read cleanly in
// the independent reader.
#include "ZVRMLElementKinds.h"
#include "writer_fixture.h"

#include <numeric>
#include <string>
#include <vector>

namespace {

using testing_support::occurrences;

constexpr int kShellKinds[] = {0, 9, 1, 8};
constexpr int kSolidKinds[] = {7, 6, 5, 4, 3, 2};
constexpr int kElementsPerKind = 2;

struct Model {
    std::vector<float> coords;
    std::vector<float> nodeValues;
    std::vector<std::vector<int>> connectivity;  // by kind

    Model() : connectivity(kVRMLElementKindCount) {
        int next = 0;
        for (int kind = 0; kind < kVRMLElementKindCount; ++kind) {
            connectivity[kind].resize(kElementsPerKind * kVRMLElementKinds[kind].nodesPerElement);
            std::iota(connectivity[kind].begin(), connectivity[kind].end(), next);
            next += static_cast<int>(connectivity[kind].size());
        }
        for (int node = 0; node < next; ++node) {
            coords.insert(coords.end(), {float(node % 7), float(node / 7 % 7), float(node / 49)});
            nodeValues.push_back(0.5f * node);
        }
    }
    int nodeCount() const { return static_cast<int>(nodeValues.size()); }
};

// Brackets and braces outside quoted strings must pair up, closers never running ahead.
std::string bracketProblem(const std::string& text) {
    std::string open;
    bool inString = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\') ++i;
            else if (c == '"') inString = false;
            continue;
        }
        if (c == '#') {  // a comment runs to the end of its line
            i = text.find('\n', i);
            if (i == std::string::npos) break;
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            open.push_back(c);
        } else if (c == '}' || c == ']') {
            if (open.empty() || open.back() != (c == '}' ? '{' : '['))
                return std::string("unmatched ") + c + " at offset " + std::to_string(i);
            open.pop_back();
        }
    }
    return open.empty() ? "" : std::to_string(open.size()) + " left open";
}

class WriterCompleteScene : public WriterOutputTest {
protected:
    void writePart(const char* name, std::span<const int> kinds, bool perElementColors) {
        float center[] = {3.0f, 3.0f, 1.0f};
        const float scale[] = {1, 1, 1}, rotation[] = {0, 0, 1, 0}, translation[] = {-3, -3, -1};
        writer.beginGlobalModel(center, scale, rotation, translation);
        writer.beginTransform(name);
        for (int kind : kinds) {
            const int faces = kVRMLElementKinds[kind].facesPerElement();
            std::vector<int> colors;
            for (int face = 0; face < kElementsPerKind * faces; ++face)
                colors.insert(colors.end(), {255 * face / faces, 128, 255 - 255 * face / faces});
            TextureInfo texture;
            texture.enabled = !perElementColors;
            texture.width = 2;
            texture.pixels = spectrumImage;
            texture.minValue = 0.0f;
            texture.maxValue = 0.5f * model.nodeCount();

            writer.beginShape();
            writer.writeAppearance(MaterialInfo{{0.2f, 0.4f, 0.6f}, 0.0f}, texture);
            writer.writeIndexedFaceSet(kind, model.nodeCount(), model.coords.data(), kElementsPerKind,
                                       model.connectivity[kind].data(), "global_coords",
                                       model.nodeValues.data(), colors, {1}, perElementColors, true,
                                       true);
            writer.closeBrace();
        }
        writer.closeGroup();
    }

    void writeLegend() {
        const float levels[] = {0, 1, 2};
        writer.writeSpectrumLegend(2, levels, {0, 0, 255, 255, 0, 0}, true, "Nodes", "Temperature", 0,
                                   2, "demo.model", 0, 0.0f, 1);
    }

    // A file of one shell part, as an export of a plate writes it.
    void writePlateScene() {
        const float center[] = {0.0f, 0.0f, 0.0f};
        writer.writeViewpoint(7.0f, center);
        writePart("Plate", kShellKinds, false);
        writer.endGlobalModel();
        writeLegend();
    }

    Model model;
    const unsigned char spectrumImage[8] = {0, 0, 255, 0, 255, 0, 0, 0};
};

TEST_F(WriterCompleteScene, EveryElementKindInOneFileReadsCleanly) {
    const float center[] = {3.0f, 3.0f, 1.0f};
    writer.writeViewpoint(7.0f, center);
    writePart("Shell part", kShellKinds, false);
    writePart("Solid part", kSolidKinds, true);
    writer.endGlobalModel();
    writeLegend();
    checkWithReaders();

    const std::string text = written();
    EXPECT_EQ(bracketProblem(text), "");
    EXPECT_EQ(occurrences(text, "DEF Global_model Transform"), 1);
    EXPECT_EQ(occurrences(text, "coord DEF global_coords Coordinate"), 1);
    EXPECT_EQ(occurrences(text, "coord USE global_coords"), 9);
    EXPECT_EQ(occurrences(text, "PixelTexture"), 1);
    EXPECT_EQ(occurrences(text, "texCoord DEF texVals"), 1);
    EXPECT_EQ(occurrences(text, "texCoord USE texVals"), 3);
    EXPECT_EQ(occurrences(text, "Color {"), 6);
    EXPECT_EQ(occurrences(text, "DEF Shell_part Transform"), 1);
    EXPECT_EQ(occurrences(text, "DEF Solid_part Transform"), 1);
    EXPECT_LT(text.find("ROUTE ss.rotation_changed"), text.find("DEF Spectrum Transform"));
}

TEST_F(WriterCompleteScene, AnAnimationOfTheSharedCoordinatesReadsCleanly) {
    writePlateScene();
    std::vector<float> moved = model.coords;
    for (size_t i = 2; i < moved.size(); i += 3) moved[i] += 1.0f;
    writer.writeCoordinateAnimation({{0.0, model.coords.data()}, {1.0, moved.data()}},
                                    model.nodeCount(), "global_coords");
    checkWithReaders();

    const std::string text = written();
    EXPECT_EQ(bracketProblem(text), "");
    EXPECT_EQ(occurrences(text, "ROUTE ci.value_changed TO global_coords.set_point"), 1);
}

TEST_F(WriterCompleteScene, ConsecutiveFilesEachCarryTheirOwnDefinitions) {
    for (int frame = 0; frame < 2; ++frame) {
        if (frame > 0) {
            writer.closeFile();
            writer.reset();
            ASSERT_TRUE(writer.openFile(guName(file)));
        }
        writePlateScene();
    }
    checkWithReaders();
    // Only the second file is left; it defines everything itself.
    const std::string text = written();
    EXPECT_EQ(bracketProblem(text), "");
    EXPECT_EQ(occurrences(text, "coord DEF global_coords"), 1);
    EXPECT_EQ(occurrences(text, "PixelTexture"), 1);
    EXPECT_EQ(occurrences(text, "DEF Global_model"), 1);
    EXPECT_EQ(occurrences(text, "DEF Spectrum Transform"), 1);
}

}  // namespace
