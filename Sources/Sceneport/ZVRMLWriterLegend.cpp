// The spectrum legend: frame label, model title, colour bands with tick lines, level labels and
// the range caption, in a group that a proximity sensor keeps in front of the viewer.
//
// Positions are in the coordinate system of the "Quads" transform; with n bands the bands stand
// at y = -1 .. n - 2, the ticks at -1 .. n - 1, the level labels from n - 1 downwards, the caption
// at n + 2 and the title at n + 3 (or 18 without bands, level with the frame label).
#include "ZVRMLWriter.h"

#include <stdexcept>

namespace {

constexpr float kTitleHeightWithoutBands = 18.0f;
constexpr float kTextSize = 1.0f;
constexpr float kLabelSize = 0.7f;

}  // namespace

void ZVRMLWriter::writeSpectrumLegend(int colorCount, const float* levels, std::vector<int> colors,
                                      bool contoursShown, const char* resultLocation,
                                      const char* resultName, float minValue, float maxValue,
                                      const char* title, int frameIndex, float time,
                                      int showColorBar) {
    if (legendWritten) return;

    writeText("\n");
    beginTransform("Spectrum");
    writeText("\n");
    writeText("DEF Quads Transform {");
    newLineDeeper();
    writeText("translation -25 -5 -35");
    newLineDeeper();
    writeText("children [");
    newLineDeeper();

    writeFrameLabel(frameIndex, time);
    writeLegendTitle(title, colorCount);
    if (contoursShown) {
        writeSpectrumBands(colors, showColorBar);
        writeLevelLabels(colorCount, levels, minValue, maxValue, showColorBar);
        writeRangeLabels(resultLocation, resultName, minValue, maxValue, colorCount, contoursShown);
    }

    closeGroup();  // Quads
    closeGroup();  // Spectrum
    writeProximitySensor();
    legendWritten = true;
}

void ZVRMLWriter::writeFrameLabel(int frameIndex, float time) {
    writeText("Transform {");
    writeText("translation 35 18 0");
    writeText("\n");
    writeText("children [");

    GuString label;
    label.FromInt(frameIndex + 1, 10);
    label.Append(" / ");
    GuString timeText;
    timeText.FromFloat(time, -1);
    label.Append(timeText.GetBuffer());
    writeTextShape({label});

    closeBracket();
    closeBrace();
    level = 0;
}

void ZVRMLWriter::writeLegendTitle(const char* title, int colorCount) {
    writeText("\n");
    writeText("Transform{");
    newLineDeeper();
    writeText("translation\t");
    const float height = colorCount == 0 ? kTitleHeightWithoutBands : static_cast<float>(colorCount + 3);
    writeTriple(1.0, height, 0.0);
    writeText("\n");
    writeText("children [");
    writeText("\n");

    // The title is cleaned as a DEF name is, so file names and paths in it read as one word.
    GuString line;
    makeDefName(title, line);
    writeTextShape({line});

    closeBracket();
    closeBrace();
    level = 0;
}

void ZVRMLWriter::writeTextShape(std::vector<GuString> lines) {
    beginTransform(nullptr);
    writeDeeperTabs();
    beginShape();
    newLineDeeper();
    writeText("geometry Text {");
    newLineDeeper();
    writeText("string [");
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) writeText(", ");
        writeQuoted(lines[i]);
    }
    newLineShallower();
    writeText("]");
    newLineDeeper();
    writeFontStyle(kTextSize);
    closeBrace();  // Text
    closeBrace();  // Shape
    newLineShallower();
    writeText("]");
    closeBrace();  // Transform
    level = 0;
}

void ZVRMLWriter::writeFontStyle(float size) {
    writeText("fontStyle FontStyle {");
    newLineDeeper();
    writeText("family\t");
    writeText("\"SANS\"");
    newLine();
    writeText("size\t");
    writeFloat(size);
    newLine();
    writeText("spacing 1.45");
    closeBrace();
}

void ZVRMLWriter::writeSpectrumBands(const std::vector<int>& colors, int showColorBar) {
    if (showColorBar == 0) return;

    float y = -1.0f;
    for (size_t i = 0; i < colors.size(); i += 3) {
        writeText("\n");
        writeText("Transform{");
        newLineDeeper();
        writeText("translation ");
        writeTriple(0.0, y, 0.0);
        y = static_cast<float>(static_cast<double>(y) + 1.0);

        newLineDeeper();
        writeText("children [");
        newLineDeeper();
        writeText("Shape {");
        newLineDeeper();
        writeText("appearance Appearance {");
        newLineDeeper();
        writeText("material Material {");

        // A colour list is whole triples; a partial one is a caller's fault, not a colour.
        if (i + 2 >= colors.size()) throw std::out_of_range("invalid vector subscript");
        newLineDeeper();
        writeText("diffuseColor\t");
        writeTriple(static_cast<float>(colors[i]) / 255.0f, static_cast<float>(colors[i + 1]) / 255.0f,
                    static_cast<float>(colors[i + 2]) / 255.0f);

        writeText("\n");
        closeBrace();  // Material
        closeBrace();  // Appearance
        newLine();
        writeSpectrumQuad();

        writeText("\n");
        closeBrace();  // Shape
        newLineShallower();
        writeText("]");
        closeBrace();  // Transform
    }
    writeSpectrumTicks(static_cast<int>(colors.size() / 3));
}

void ZVRMLWriter::writeSpectrumQuad() {
    static constexpr float kUnitSquare[] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
    static constexpr int kCorners[] = {0, 1, 2, 3};
    constexpr int kQuadrilateral = 1;

    // The legend's coordinates are its own: they must never stand in for the model's shared list.
    coordDefined = false;
    newLineDeeper();
    writeText("geometry IndexedFaceSet {");
    writeCoordinate(4, kUnitSquare, "SpectrumCoords", false);
    writeCoordIndex(kQuadrilateral, kCorners, 1, {});
    writeText("\n");
    newLine();
    writeText("solid FALSE");
    newLine();
    writeText("creaseAngle 0.785");
    closeBrace();
    coordDefined = false;
}

void ZVRMLWriter::writeSpectrumTicks(int bandCount) {
    if (bandCount <= 0) return;
    float y = -1.0f;
    for (int tick = 0; tick <= bandCount; ++tick) {
        writeText("\n");
        writeText("Transform {");
        writeDeeperTabs();
        writeText("translation\t");
        writeTriple(0.0, y, 0.0);
        y = static_cast<float>(static_cast<double>(y) + 1.0);

        newLineDeeper();
        writeText("children [");
        newLineDeeper();
        writeText("Shape {");
        newLineDeeper();
        writeText("geometry IndexedLineSet {");
        newLineDeeper();
        writeText("coord Coordinate {");
        newLineDeeper();
        writeText("point [");
        writeText("0 0 0");
        newLine();
        writeText("1.5 0 0");
        newLineShallower();
        writeText("]");
        closeBrace();  // Coordinate

        writeText("coordIndex [0 1]");
        closeBrace();  // IndexedLineSet
        closeBrace();  // Shape
        newLineShallower();
        writeText("]");
        closeBrace();  // Transform
        level = 0;
    }
}

void ZVRMLWriter::writeLevelLabels(int colorCount, const float* levels, float minValue,
                                   float maxValue, int showColorBar) {
    if (colorCount == 0 || showColorBar == 0) return;

    writeText("\n");
    writeText("Transform {");
    newLineDeeper();
    writeText("translation\t");
    writeTriple(2.0, colorCount - 1, 0.0);
    newLineDeeper();
    writeText("children [");
    newLineDeeper();
    beginShape();
    newLineDeeper();
    writeText("geometry Text {");
    writeText("string [");

    // Highest level first: the text runs downwards from the top of the bar.
    const bool scientific = needsScientific(minValue, maxValue);
    GuString number;
    for (int i = colorCount; i >= 0; --i) {
        formatLegendNumber(levels[i], scientific, number);
        writeQuoted(number);
        writeText(", ");
    }

    writeText("\n");
    closeBracket();
    newLine();
    writeFontStyle(kLabelSize);
    closeBrace();    // Text
    closeBrace();    // Shape
    closeBracket();  // children
    closeBrace();    // Transform
}

void ZVRMLWriter::writeRangeLabels(const char* resultLocation, const char* resultName,
                                   float minValue, float maxValue, int colorCount,
                                   bool contoursShown) {
    if (colorCount < 1 || !contoursShown) return;

    const bool scientific = needsScientific(minValue, maxValue);
    GuString number;
    GuString result(resultLocation);
    result.Append(" : ");
    result.Append(resultName);
    GuString minimum("min = ");
    formatLegendNumber(minValue, scientific, number);
    minimum.Append(number.GetBuffer());
    GuString maximum("max = ");
    formatLegendNumber(maxValue, scientific, number);
    maximum.Append(number.GetBuffer());

    writeText("\n");
    writeText("Transform {");
    newLineDeeper();
    writeText("translation\t");
    writeDeeperTabs();
    writeTriple(1.0, colorCount + 2, 0.0);
    newLineDeeper();
    writeText("children [");
    writeDeeperTabs();
    beginShape();
    newLineDeeper();
    writeText("geometry Text {");
    newLineDeeper();
    writeText("string [");
    for (const GuString* line : {&result, &minimum, &maximum}) {
        writeQuoted(*line);
        writeText(" , ");
    }
    closeBracket();
    writeFontStyle(kLabelSize);
    closeBrace();    // Text
    closeBrace();    // Shape
    closeBracket();  // children
    closeBrace();    // Transform
    level = 0;
}
