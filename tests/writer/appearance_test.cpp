// Appearances: the material, the transparency rule of the solvers, and the spectrum texture that
// is written once per file with the transform that maps values onto it.
#include "writer_fixture.h"

#include "session.h"

#include <string>
#include <vector>

namespace {

using testing_support::occurrences;

using testing_support::splitLines;

MaterialInfo material(float red, float green, float blue, float transparency) {
    MaterialInfo info;
    info.diffuseColor[0] = red;
    info.diffuseColor[1] = green;
    info.diffuseColor[2] = blue;
    info.transparency = transparency;
    return info;
}

// A one-row spectrum image, 4 bytes per pixel; the fourth byte is never written.
std::vector<unsigned char> image(std::initializer_list<std::array<unsigned char, 3>> pixels) {
    std::vector<unsigned char> bytes;
    for (const auto& rgb : pixels) bytes.insert(bytes.end(), {rgb[0], rgb[1], rgb[2], 0xee});
    return bytes;
}

TextureInfo texture(const std::vector<unsigned char>& pixels, float minValue, float maxValue) {
    TextureInfo info;
    info.width = static_cast<int>(pixels.size() / 4);
    info.pixels = pixels.data();
    info.enabled = true;
    info.minValue = minValue;
    info.maxValue = maxValue;
    return info;
}

const char* const kInAppearance = "\nShape { appearance Appearance {\n";
const char* const kEndAppearance = "\n} }";

using WriterAppearance = WriterOutputTest;

TEST_F(WriterAppearance, AMaterialWithoutTextureHasItsColourAndTransparency) {
    writer.level = 1;
    writer.writeAppearance(material(1.0f, 0.5f, 0.0f, 0.4980392f), {});
    EXPECT_EQ(writer.level, 2);
    checkWithReaders(kInShape, kEndShape);
    EXPECT_EQ(written(),
              "\n\t\tappearance Appearance {"
              "\n\t\t\tmaterial Material {"
              "\n\t\t\t\tdiffuseColor\t 1 0.5 0"
              "\n\t\t\t\ttransparency\t 0.5"
              "\n\t\t\t}"
              "\n\t\t}");
}

TEST_F(WriterAppearance, SolversDrawnOpaqueGetNoTransparencyLine) {
    for (int solver : {9, 11}) {
        SCOPED_TRACE(solver);
        host::application().solver = solver;
        ZVRMLWriter opaqueWriter;
        const auto opaqueFile = dir / ("solver" + std::to_string(solver) + ".wrl");
        ASSERT_TRUE(opaqueWriter.openFile(guName(opaqueFile)));
        opaqueWriter.writeAppearance(material(0, 0, 1, 1), {});
        opaqueWriter.closeFile();
        const std::string text = testing_support::readFile(opaqueFile);
        EXPECT_EQ(text.find("transparency"), std::string::npos);
        EXPECT_NE(text.find("diffuseColor\t 0 0 1\n\t\t}\n\t}"), std::string::npos) << text;
    }
    host::application().solver = 0;
    writer.writeAppearance(material(0, 0, 1, 1), {});
    EXPECT_NE(written().find("transparency\t 1"), std::string::npos);
}

TEST_F(WriterAppearance, ATexturedShapeCarriesTheWholeImageAndItsTransform) {
    const std::vector<unsigned char> pixels = image({{5, 171, 0}, {255, 16, 15}});
    writer.writeAppearance(material(0.8f, 0.8f, 0.8f, 0), texture(pixels, 10.0f, 20.0f));
    EXPECT_TRUE(writer.pixmapDefined);
    EXPECT_EQ(writer.level, 2);
    checkWithReaders(kInShape, kEndShape);
    EXPECT_EQ(written(),
              "\n\tappearance Appearance {"
              "\n\t\ttexture DEF pixmap PixelTexture { image 2 1 3"
              "\n\t\t"
              "\n\t\t0x05ab00 "
              "\n\t\t0xff100f "
              "\n\t\trepeatS FALSE"
              "\n\t\trepeatT FALSE"
              "\n\t}"
              "\n\t\ttextureTransform TextureTransform {"
              "\n\t\t\tscale\t0.1 1.0"
              "\n\t\t\ttranslation\t-10 0.0"
              "\n\t\t}"
              "\n\t\t\tmaterial Material {"
              "\n\t\t\t\tdiffuseColor\t 0.8 0.8 0.8"
              "\n\t\t\t\ttransparency\t 0.0"
              "\n\t\t\t}"
              "\n\t\t}");
}

TEST_F(WriterAppearance, TheImageHeaderOfAFullSpectrumStaysOnTheKeywordLine) {
    std::vector<unsigned char> pixels;
    for (int p = 0; p < 256; ++p) pixels.insert(pixels.end(), {static_cast<unsigned char>(p), 0, 0, 0});
    writer.writePixelTexture(texture(pixels, 0, 1));
    checkWithReaders(kInAppearance, kEndAppearance);
    const std::vector<std::string> lines = splitLines(written());
    // The header, a line of indentation only, the pixels, the two repeat lines and the brace.
    ASSERT_EQ(lines.size(), 1u + 1 + 256 + 2 + 1);
    EXPECT_EQ(lines[0], "texture DEF pixmap PixelTexture { image 256 1 3");
    EXPECT_EQ(lines[2], "0x000000 ");
    EXPECT_EQ(lines[2 + 10], "0x0a0000 ");
    EXPECT_EQ(lines[2 + 255], "0xff0000 ");
}

TEST_F(WriterAppearance, LaterTexturedShapesOfAFileReferToTheFirstImage) {
    const std::vector<unsigned char> pixels = image({{1, 2, 3}});
    for (int shape = 0; shape < 3; ++shape) {
        writer.beginShape();
        writer.writeAppearance(material(1, 1, 1, 0), texture(pixels, 0, 1));
        writer.closeBrace();
    }
    checkWithReaders();
    const std::string text = written();
    EXPECT_EQ(occurrences(text, "PixelTexture"), 1);
    EXPECT_EQ(occurrences(text, "0x010203 "), 1);
    EXPECT_EQ(occurrences(text, "\ttexture USE pixmap\n"), 2);
    EXPECT_EQ(occurrences(text, "TextureTransform"), 3);
}

TEST_F(WriterAppearance, ANewFileWritesTheImageAgain) {
    const std::vector<unsigned char> pixels = image({{1, 2, 3}});
    writer.writePixelTexture(texture(pixels, 0, 1));
    writer.closeFile();
    writer.reset();
    EXPECT_FALSE(writer.pixmapDefined);
    ASSERT_TRUE(writer.openFile(guName(file)));
    writer.writePixelTexture(texture(pixels, 0, 1));
    EXPECT_NE(written().find("texture DEF pixmap PixelTexture"), std::string::npos);
}

TEST_F(WriterAppearance, ADisabledTextureWritesNothing) {
    const std::vector<unsigned char> pixels = image({{1, 2, 3}});
    TextureInfo disabled = texture(pixels, 0, 1);
    disabled.enabled = false;
    writer.writePixelTexture(disabled);
    writer.writeAppearance(material(1, 1, 1, 0), disabled);
    EXPECT_FALSE(writer.pixmapDefined);
    EXPECT_EQ(written().find("texture"), std::string::npos);
}

TEST_F(WriterAppearance, AnEmptyImageHasNoPixelLines) {
    writer.writePixelTexture(texture({}, 0, 1));
    EXPECT_EQ(written(), "texture DEF pixmap PixelTexture { image 0 1 3\n\nrepeatS FALSE\nrepeatT FALSE\n}");
}

TEST_F(WriterAppearance, TheTransformMapsTheValueRangeOntoTheImage) {
    writer.writeTextureTransform(-4.0f, 12.0f);
    checkWithReaders(kInAppearance, kEndAppearance);
    EXPECT_EQ(written(),
              "\n\ttextureTransform TextureTransform {"
              "\n\t\tscale\t0.0625 1.0"
              "\n\t\ttranslation\t4 0.0"
              "\n\t}");
}

TEST_F(WriterAppearance, ARangeBelowTheHostToleranceIsNotStretched) {
    writer.writeTextureTransform(3.0f, 3.0f);
    writer.writeTextureTransform(1000.0f, 1000.0001f);  // within a millionth of the values
    writer.writeTextureTransform(0.0f, 1e-7f);          // below the floor near zero
    const std::string text = written();
    EXPECT_EQ(occurrences(text, "scale\t1 1.0"), 3) << text;
}

TEST_F(WriterAppearance, ARangeJustAboveTheToleranceIsStretched) {
    writer.writeTextureTransform(0.0f, 1e-5f);
    EXPECT_NE(written().find("scale\t100000 1.0"), std::string::npos);
}

}  // namespace
