// Appearances: the material, the transparency rule of the solvers, and the spectrum texture that
// is written once per file with the transform that maps values onto it.
#include "writer_fixture.h"

#include "session.h"

#include <vector>

namespace {

using testing_support::occurrences;

// A one-row spectrum image, 4 bytes per pixel; the fourth byte is never written.
TextureInfo texture(const std::vector<unsigned char>& pixels, float minValue = 0, float maxValue = 1, bool enabled = true) {
    return TextureInfo{static_cast<int>(pixels.size() / 4), pixels.data(), enabled, minValue, maxValue};
}

using WriterAppearance = WriterTest;

TEST_F(WriterAppearance, ExactText) {
    const std::vector<unsigned char> pixels{5, 171, 0, 0xee, 255, 16, 15, 0xee};
    const std::pair<WriterSteps, const char*> rows[] = {
        {[](ZVRMLWriter& w) { w.level = 1; w.writeAppearance({{1.0f, 0.5f, 0.0f}, 0.4980392f}, {}); },
         "\n\t\tappearance Appearance {\n\t\t\tmaterial Material {\n\t\t\t\tdiffuseColor\t 1 0.5 0\n\t\t\t\ttransparency\t 0.5\n\t\t\t}\n\t\t}"},
        {[&](ZVRMLWriter& w) { w.level = 0; w.writeAppearance({{0.8f, 0.8f, 0.8f}, 0}, texture(pixels, -4, 12)); },
         "\n\tappearance Appearance {\n\t\ttexture DEF pixmap PixelTexture { image 2 1 3\n\t\t\n\t\t0x05ab00 \n\t\t0xff100f "
         "\n\t\trepeatS FALSE\n\t\trepeatT FALSE\n\t}\n\t\ttextureTransform TextureTransform {\n\t\t\tscale\t0.0625 1.0"
         "\n\t\t\ttranslation\t4 0.0\n\t\t}\n\t\t\tmaterial Material {\n\t\t\t\tdiffuseColor\t 0.8 0.8 0.8\n\t\t\t\ttransparency\t 0.0"
         "\n\t\t\t}\n\t\t}"},
    };
    for (const auto& [steps, text] : rows) EXPECT_EQ(textOf(steps, &kInShape), text);
    EXPECT_EQ(textOf([](ZVRMLWriter& w) { w.writePixelTexture(texture({})); }),
              "texture DEF pixmap PixelTexture { image 0 1 3\n\nrepeatS FALSE\nrepeatT FALSE\n}");
}

TEST_F(WriterAppearance, SolversDrawnOpaqueGetNoTransparencyLine) {
    for (const int solver : {9, 11, 10, 0}) {
        host::application().solver = solver;
        const std::string text = textOf([](ZVRMLWriter& w) { w.writeAppearance({{0, 0, 1}, 1}, {}); });
        EXPECT_EQ(occurrences(text, "\n\t\t\ttransparency\t 1.0\n\t\t}"), solver == 9 || solver == 11 ? 0 : 1) << solver;
    }
}

TEST_F(WriterAppearance, OneImagePerFileAndNoneWhenDisabled) {
    std::vector<unsigned char> full;
    for (int p = 0; p < 256; ++p) full.insert(full.end(), {static_cast<unsigned char>(p), 0, 0, 0});
    const std::string text = textOf([&](ZVRMLWriter& w) {
        for (bool enabled : {false, true, true, true}) {
            w.beginShape();
            w.writeAppearance({{1, 1, 1}, 0}, texture(full, 0, 1, enabled));
            w.closeBrace();
        }
    }, &kTopLevel);
    EXPECT_EQ(testing_support::matchesOf(text, "texture DEF pixmap PixelTexture \\{ image 256 1 3\n\t*\n\t*0x000000 \n\t*0x010000 "
                                               "(\n\t*0x[0-9a-f]{4}00 ){253}\n\t*0xff0000 \n\t*repeatS FALSE").size(), 1u);
    EXPECT_EQ(occurrences(text, "\ttexture USE pixmap\n"), 2);
    EXPECT_EQ(occurrences(text, "TextureTransform"), 3);
}

TEST_F(WriterAppearance, ARangeWithinTheHostToleranceIsNotStretched) {
    const std::tuple<float, float, const char*> rows[] = {
        {3.0f, 3.0f, "scale\t1 1.0"}, {1000.0f, 1000.0001f, "scale\t1 1.0"}, {0.0f, 1e-7f, "scale\t1 1.0"}, {0.0f, 1e-5f, "scale\t100000 1.0"},
    };
    for (const auto& [low, high, scale] : rows)
        EXPECT_EQ(occurrences(textOf([&](ZVRMLWriter& w) { w.writeTextureTransform(low, high); }), scale), 1) << low << " " << high;
}

}  // namespace
