// The one writer of VRML text: it owns the output stream, the indentation level and the per-file
// flags that let a shared node be written once with DEF and referred to later with USE.
//
// Every line break is a single "\n"; an indented line gets exactly `level` tabs after its break,
// none when `level` is 0 or negative. `level` is deliberately not balanced: each node writer
// performs a fixed sequence of the line primitives, and that sequence alone decides the tabs.
// closeBrace is the only primitive that clamps `level` (back to 0); closeBracket and
// newLineShallower may take it below 0, after which newLineDeeper counts up from there.
#pragma once

#include <fstream>
#include <memory>

class GuString;

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

private:
    void writeHeaderLine();

    // Exported scenes run to hundreds of megabytes; a large buffer keeps the many small writes
    // (one literal, number or tab at a time) from turning into as many system calls.
    std::unique_ptr<char[]> m_streamBuffer;
};

// The writer of every export, constructed when the library is loaded and reused file after file.
extern ZVRMLWriter globalVRMLWriter;
