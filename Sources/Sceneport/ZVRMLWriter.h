// The one writer of VRML text: it owns the output stream, the indentation level and the per-file
// flags that let a shared node be written once with DEF and referred to later with USE.
//
// Every line break is a single "\n"; an indented line gets exactly `level` tabs after its break,
// none when `level` is 0 or negative. `level` is deliberately not balanced: each node writer
// performs a fixed sequence of the line primitives, and that sequence alone decides the tabs.
// closeBrace is the only primitive that clamps `level` (back to 0); closeBracket and
// newLineShallower may take it below 0, after which newLineDeeper counts up from there.
#pragma once

#include "hoststr.h"

#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

// The red, green and blue (0..255) of a face whose element has no contour colour: no window
// shows the model's spectrum, or the element lies past the end of the contour values.
inline constexpr int kVRMLNeutralGrey = 128;

// The material of one shape; all zero to start.
struct MaterialInfo {
    float diffuseColor[3] = {0.0f, 0.0f, 0.0f};  // red, green, blue, 0..1
    float transparency = 0.0f;                    // 0 opaque .. 1 fully transparent
};

// The spectrum texture of one shape: a one-row image and the value range it spans.
struct TextureInfo {
    int width = 0;
    const unsigned char* pixels = nullptr;  // 4 bytes per pixel: red, green, blue, unused; borrowed
    bool enabled = false;
    float minValue = 0.0f;  // maps to the start of the image
    float maxValue = 0.0f;  // maps to its end
};

class ZVRMLWriter {
public:
    ZVRMLWriter();
    virtual ~ZVRMLWriter();

    ZVRMLWriter(const ZVRMLWriter&) = delete;
    ZVRMLWriter& operator=(const ZVRMLWriter&) = delete;

    std::ofstream stream;
    int level;
    bool coordDefined;
    bool legendWritten;
    bool globalModelWritten;
    bool texCoordDefined;
    bool pixmapDefined;

    void reset();
    bool openFile(const GuString& fileName);
    void closeFile();

    void writeText(const char* text);
    void writeString(const GuString& s);
    void writeInt(int value);
    void writeTabs(int n);

    void newLine();
    void newLineDeeper();
    void newLineShallower();
    void closeBrace();
    void closeBracket();
    void openBrace();
    void closeGroup();

    void makeDefName(const char* name, GuString& out);
    void beginTransform(const char* name);
    void beginShape();
    void writeCoordUse(const char* name);
    void writeColorIndex(int count);
    void writeProximitySensor();
    void writeTimeSensor(const char* name);
    void writeInterpolatorRoutes(const char* timer, const char* interpolator,
                                 const char* target);

    // Geometry of one element kind (see ZVRMLElementKinds.h). Elements are counted from 0 within
    // `connectivity`; those in `skippedElements` leave no face, colour or colour index behind.
    // `elementColors` holds red, green, blue (0..255) for every face of every element, skipped
    // ones included.
    void writeIndexedFaceSet(int kind, int nodeCount, const float* nodeCoords, int elementCount,
                             const int* connectivity, const char* coordName,
                             const float* contourValues, const std::vector<int>& elementColors,
                             const std::set<int>& skippedElements, bool perElementColors,
                             bool shareCoords, bool partHasContours);
    void writeCoordinate(int nodeCount, const float* nodeCoords, const char* name, bool shareCoords);
    void writeColor(const std::vector<int>& elementColors, std::set<int> skippedElements, int kind);
    void writeCoordIndex(int kind, const int* connectivity, int elementCount,
                         const std::set<int>& skippedElements);
    void writeTextureCoordinate(const float* values, int count);

    // The scene frame: the viewpoint, and the one transform that holds every part, turned by a
    // sphere sensor.
    void writeViewpoint(float largest, const float* center);
    // Zeroes the caller's `center`: the camera's translation already places the model.
    void beginGlobalModel(float* center, const float* scale, const float* rotation,
                          const float* translation);
    void endGlobalModel();

    // Appearance of a shape; the texture parts only for an enabled texture.
    void writeAppearance(const MaterialInfo& material, const TextureInfo& texture);
    void writePixelTexture(const TextureInfo& texture);
    void writeTextureTransform(float minValue, float maxValue);

    // The spectrum legend, kept in front of the viewer by a proximity sensor. `levels` holds
    // colorCount + 1 values; `colors` red, green, blue (0..255) per band.
    void writeSpectrumLegend(int colorCount, const float* levels, std::vector<int> colors,
                             bool contoursShown, const char* resultLocation,
                             const char* resultName, float minValue, float maxValue,
                             const char* title, int frameIndex, float time, int showColorBar);
    void writeFrameLabel(int frameIndex, float time);
    void writeLegendTitle(const char* title, int colorCount);
    void writeSpectrumBands(const std::vector<int>& colors, int showColorBar);
    void writeSpectrumQuad();
    void writeSpectrumTicks(int bandCount);
    void writeLevelLabels(int colorCount, const float* levels, float minValue, float maxValue,
                          int showColorBar);
    void writeRangeLabels(const char* resultLocation, const char* resultName, float minValue,
                          float maxValue, int colorCount, bool contoursShown);
    void writeTextShape(std::vector<GuString> lines);
    void writeFontStyle(float size);
    void formatLegendNumber(float value, bool scientific, GuString& out);
    bool needsScientific(float minValue, float maxValue);

    // A looping one-second animation of every node's coordinates, keyed 0..1, driving the
    // coordinate node named `target`. Between files the writer's position is the end of the
    // file it wrote last, so a host can add an animation to a scene an export has just written.
    void writeCoordinateAnimation(const std::map<double, float*>& frames, int nodeCount,
                                  const char* target);

private:
    void writeBytes(const char* text, std::size_t length);
    void writeBytes(const char* text);
    void writeHeaderLine();
    void writeFloat(float value);
    void writeTriple(double x, double y, double z);
    void writeFormatted(const wchar_t* format, double value);
    void writeDeeperTabs();
    void writeQuoted(const GuString& text);
    void closePointList();
    // Opens the file written last again, to add to its end; false when a file is open already
    // or none can be.
    bool reopenLastFile();

    // Exported scenes run to hundreds of megabytes; a large buffer keeps the many small writes
    // (one literal, number or tab at a time) from turning into as many system calls.
    std::unique_ptr<char[]> m_streamBuffer;
    // The text of the number being written, one string for all of them: each is formatted,
    // converted and written before the next, and a large export writes tens of millions.
    GuString m_number;
    std::string m_lastFileName;  // narrow, as opened
};

// Defined here so that the length of a literal is known where it is written.
inline void ZVRMLWriter::writeText(const char* text) {
    // Inserting a null pointer would put the stream into a failed state and silently lose the
    // rest of the file; a missing text simply writes nothing.
    if (text != nullptr) writeBytes(text, std::strlen(text));
}

// The writer of every export, constructed when the library is loaded and reused file after file.
extern ZVRMLWriter globalVRMLWriter;
