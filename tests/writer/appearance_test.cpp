// Appearances: the material, the transparency rule of the solvers, and the spectrum texture that
// is written once per file with the transform that maps values onto it.
#include "writer_fixture.h"

#include "session.h"

#include <vector>

namespace {

using testing_support::occurrences;
using testing_support::splitLines;

// A one-row spectrum image of `pixels` pixels, 4 bytes each; the fourth byte is never written.
TextureInfo texture(const std::vector<unsigned char>& pixels, float minValue = 0, float maxValue = 1) {
    return TextureInfo{static_cast<int>(pixels.size() / 4), pixels.data(), true, minValue, maxValue};
}

using WriterAppearance = WriterTest;

TEST_F(WriterAppearance, ExactText) {
    const std::vector<unsigned char> pixels{5, 171, 0, 0xee, 255, 16, 15, 0xee};
    const std::pair<WriterSteps, const char*> rows[] = {
        {[](ZVRMLWriter& w) { w.level = 1; w.writeAppearance({{1.0f, 0.5f, 0.0f}, 0.4980392f}, {}); },
         "\n\t\tappearance Appearance {\n\t\t\tmaterial Material {\n\t\t\t\tdiffuseColor\t 1 0.5 0"
         "\n\t\t\t\ttransparency\t 0.5\n\t\t\t}\n\t\t}"},
        {[&](ZVRMLWriter& w) { w.writeAppearance({{0.8f, 0.8f, 0.8f}, 0}, texture(pixels, 10, 20)); },
         "\n\tappearance Appearance {\n\t\ttexture DEF pixmap PixelTexture { image 2 1 3\n\t\t\n\t\t0x05ab00 "
         "\n\t\t0xff100f \n\t\trepeatS FALSE\n\t\trepeatT FALSE\n\t}\n\t\ttextureTransform TextureTransform {"
         "\n\t\t\tscale\t0.1 1.0\n\t\t\ttranslation\t-10 0.0\n\t\t}\n\t\t\tmaterial Material {"
         "\n\t\t\t\tdiffuseColor\t 0.8 0.8 0.8\n\t\t\t\ttransparency\t 0.0\n\t\t\t}\n\t\t}"},
    };
    for (const auto& [steps, text] : rows) {
        EXPECT_EQ(textOf(steps, &kInShape), text);
        EXPECT_EQ(levelAfter, 2);
    }
    EXPECT_EQ(textOf([](ZVRMLWriter& w) { w.writePixelTexture(texture({})); }),
              "texture DEF pixmap PixelTexture { image 0 1 3\n\nrepeatS FALSE\nrepeatT FALSE\n}");
    EXPECT_EQ(textOf([](ZVRMLWriter& w) { w.writeTextureTransform(-4.0f, 12.0f); }, &kInAppearance),
              "\n\ttextureTransform TextureTransform {\n\t\tscale\t0.0625 1.0\n\t\ttranslation\t4 0.0\n\t}");
}

TEST_F(WriterAppearance, SolversDrawnOpaqueGetNoTransparencyLine) {
    for (const int solver : {9, 11, 10, 0}) {
        host::application().solver = solver;
        const std::string text = textOf([](ZVRMLWriter& w) { w.writeAppearance({{0, 0, 1}, 1}, {}); });
        EXPECT_EQ(occurrences(text, "\n\t\t\ttransparency\t 1.0\n\t\t}"), solver == 9 || solver == 11 ? 0 : 1) << solver;
    }
}

TEST_F(WriterAppearance, AFullSpectrumImageHasOnePixelPerLine) {
    std::vector<unsigned char> pixels;
    for (int p = 0; p < 256; ++p) pixels.insert(pixels.end(), {static_cast<unsigned char>(p), 0, 0, 0});
    const std::vector<std::string> lines =
        splitLines(textOf([&](ZVRMLWriter& w) { w.writePixelTexture(texture(pixels)); }, &kInAppearance));
    ASSERT_EQ(lines.size(), 1u + 1 + 256 + 2 + 1);
    EXPECT_EQ(lines[0], "texture DEF pixmap PixelTexture { image 256 1 3");
    EXPECT_EQ(lines[2 + 10], "0x0a0000 ");
    EXPECT_EQ(lines[2 + 255], "0xff0000 ");
}

TEST_F(WriterAppearance, OneImagePerFileAndNoneWhenDisabled) {
    const std::vector<unsigned char> pixels{1, 2, 3, 0};
    const std::string text = textOf([&](ZVRMLWriter& w) {
        TextureInfo disabled = texture(pixels);
        disabled.enabled = false;
        w.writePixelTexture(disabled);
        w.beginShape();
        w.writeAppearance({{1, 1, 1}, 0}, disabled);
        w.closeBrace();
        EXPECT_FALSE(w.pixmapDefined);
        for (int shape = 0; shape < 3; ++shape) {
            w.beginShape();
            w.writeAppearance({{1, 1, 1}, 0}, texture(pixels));
            w.closeBrace();
        }
    }, &kTopLevel);
    EXPECT_EQ(occurrences(text, "PixelTexture"), 1);
    EXPECT_EQ(occurrences(text, "0x010203 "), 1);
    EXPECT_EQ(occurrences(text, "\ttexture USE pixmap\n"), 2);
    EXPECT_EQ(occurrences(text, "TextureTransform"), 3);
}

TEST_F(WriterAppearance, ARangeWithinTheHostToleranceIsNotStretched) {
    const std::tuple<float, float, const char*> rows[] = {
        {3.0f, 3.0f, "scale\t1 1.0"}, {1000.0f, 1000.0001f, "scale\t1 1.0"},
        {0.0f, 1e-7f, "scale\t1 1.0"}, {0.0f, 1e-5f, "scale\t100000 1.0"},
    };
    for (const auto& [minValue, maxValue, scale] : rows)
        EXPECT_EQ(occurrences(textOf([&](ZVRMLWriter& w) { w.writeTextureTransform(minValue, maxValue); }), scale), 1)
            << minValue << " .. " << maxValue;
}

}  // namespace
