// The appearance of a shape: its material and, for per-node contours, the spectrum as a one-row
// pixel texture with the transform that maps a node value onto it.
#include "ZVRMLWriter.h"

#include "hostmodel.h"

#include <cmath>

namespace {

// The solvers whose results are drawn opaque.
bool solverDrawsOpaque(int solver) { return solver == 9 || solver == 11; }

}  // namespace

void ZVRMLWriter::writeAppearance(const MaterialInfo& material, const TextureInfo& texture) {
    newLineDeeper();
    writeText("appearance Appearance {");
    if (texture.enabled) {
        newLineDeeper();
        writePixelTexture(texture);
        writeTextureTransform(texture.minValue, texture.maxValue);
    }
    newLineDeeper();
    writeText("material Material {");
    newLineDeeper();
    writeText("diffuseColor\t");
    for (float component : material.diffuseColor) {
        writeText(" ");
        writeFloat(component);
    }
    if (!solverDrawsOpaque(FeGetCurrentSolver())) {
        newLine();
        writeText("transparency\t");
        writeText(" ");
        GuString text;
        text.FromFloat(material.transparency, 1);
        writeString(text);
    }
    closeBrace();
    closeBrace();
}

void ZVRMLWriter::writePixelTexture(const TextureInfo& texture) {
    if (!texture.enabled) return;
    // One image per file: later textured shapes refer to the first.
    if (pixmapDefined) {
        writeText("texture USE pixmap");
        return;
    }
    writeText("texture DEF pixmap PixelTexture {");
    writeText(" image ");
    writeInt(texture.width);
    writeText(" ");
    writeText("1 ");
    writeText("3");
    newLine();

    static constexpr char kHexDigits[] = "0123456789abcdef";
    for (int pixel = 0; pixel < texture.width; ++pixel) {
        const unsigned char* rgb = texture.pixels + 4 * static_cast<long long>(pixel);
        char line[] = "0x000000 ";
        for (int byte = 0; byte < 3; ++byte) {
            line[2 + 2 * byte] = kHexDigits[rgb[byte] >> 4];
            line[3 + 2 * byte] = kHexDigits[rgb[byte] & 0xf];
        }
        newLine();
        writeText(line);
    }

    newLine();
    writeText("repeatS FALSE\n");
    writeTabs(level);
    writeText("repeatT FALSE");
    closeBrace();
    pixmapDefined = true;
}

void ZVRMLWriter::writeTextureTransform(float minValue, float maxValue) {
    const double range = maxValue - minValue;
    // A range within the host's tolerance of the values is no range: the texture is then not
    // stretched, rather than stretched by a near-infinite factor.
    float scale = 1.0f;
    if (!(UtlGetToleranceValue(minValue) > std::fabs(range))) scale = static_cast<float>(1.0 / range);

    newLineDeeper();
    writeText("textureTransform TextureTransform {");
    newLineDeeper();
    writeText("scale\t");
    writeFloat(scale);
    writeText(" 1.0");
    newLine();
    writeText("translation\t");
    writeString(GuString(-minValue, nullptr));
    writeText(" 0.0");
    closeBrace();
}
