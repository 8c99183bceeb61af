#include "ZVRMLWriter.h"

#include "ZVRMLPutArea.h"
#include "ZVRMLSceneText.h"

#include "hostmodel.h"
#include "hoststr.h"

#include <cstring>
#include <ctime>
#include <new>
#include <string>

ZVRMLWriter globalVRMLWriter;

namespace {

constexpr std::size_t kStreamBufferSize = std::size_t{1} << 20;

// Sizes of the narrow buffers the host fills for the header line.
constexpr int kApplTextSize = DBS_TEXT_BUFFER_SIZE;
constexpr int kProductTextSize = 1024;

// The header is a single comment line, so a line break inside a host text would turn the rest of
// that text into VRML content.
void appendOneLine(std::string& line, const char* text) {
    for (const char* c = text; *c != '\0'; ++c) line.push_back(*c == '\r' || *c == '\n' ? ' ' : *c);
}

}  // namespace

ZVRMLWriter::ZVRMLWriter()
    : level(0),
      coordDefined(false),
      legendWritten(false),
      globalModelWritten(false),
      texCoordDefined(false),
      pixmapDefined(false),
      m_streamBuffer(new (std::nothrow) char[kStreamBufferSize]) {
    // The buffer is installed while no file is open, which is the only time a filebuf accepts
    // one; it then serves every file the writer opens. Without it the stream keeps its own
    // default buffer.
    if (m_streamBuffer) stream.rdbuf()->pubsetbuf(m_streamBuffer.get(), kStreamBufferSize);
}

ZVRMLWriter::~ZVRMLWriter() {
    // Closed here, while the stream buffer still exists: the buffer member is destroyed before
    // the stream, and closing flushes through it.
    if (stream.is_open()) stream.close();
}

void ZVRMLWriter::reset() {
    level = 0;
    coordDefined = false;
    legendWritten = false;
    globalModelWritten = false;
    texCoordDefined = false;
    pixmapDefined = false;
}

bool ZVRMLWriter::openFile(const GuString& fileName) {
    GuConversionAllocator allocator;
    const char* narrowName = allocator.UnicodeToAnsi(fileName.GetBuffer());

    if (stream.is_open()) {
        // The file in progress must not be cut short; failing the stream instead drops the
        // header below and everything else until that file is closed.
        stream.setstate(std::ios::failbit);
    } else {
        stream.open(narrowName, std::ios::out | std::ios::trunc);
        if (!stream.is_open()) {
            stream.setstate(std::ios::failbit);
            return false;
        }
        // A fail state left by an earlier closeFile must not swallow the new file.
        stream.clear();
        m_lastFileName = narrowName;
    }

    writeText("#VRML V2.0 utf8");
    writeText("\n");
    writeHeaderLine();
    return true;
}

void ZVRMLWriter::writeHeaderLine() {
    char applName[kApplTextSize] = {};
    char applVersion[kApplTextSize] = {};
    if (ZDbs* application = ApplGetApplObject()) {
        DbsVaGetValues(application, DBS_APPL_NAME, applName, DBS_APPL_VERSION, applVersion, 0);
        applName[kApplTextSize - 1] = '\0';
        applVersion[kApplTextSize - 1] = '\0';
    }

    char productName[kProductTextSize] = {};
    char productData[kProductTextSize] = {};
    ApplEnvGetProductNameAndData(productName, productData);
    productName[kProductTextSize - 1] = '\0';

    // ctime_r needs 26 bytes for its 24-character form, the line break and the NUL.
    char date[32] = {};
    const std::time_t now = std::time(nullptr);
    if (now == static_cast<std::time_t>(-1) || ctime_r(&now, date) == nullptr) date[0] = '\0';
    // The line break is added below in every case, also when the date could not be formed.
    if (char* dateEnd = std::strchr(date, '\n')) *dateEnd = '\0';

    // Composed in a growing string rather than a fixed buffer, so long host texts can never cut
    // off the date or the line break that ends the header.
    std::string line;
    line.reserve(kProductTextSize);
    line += "# File saved in ";
    appendOneLine(line, applName);
    line += ' ';
    appendOneLine(line, applVersion);
    line += " from application ";
    appendOneLine(line, productName);
    line += " on ";
    line += date;
    line += '\n';
    writeText(line.c_str());
}

void ZVRMLWriter::closeFile() {
    if (!stream.is_open()) {
        stream.setstate(std::ios::failbit);
        return;
    }
    stream.close();  // sets the fail state itself when flushing or closing fails
}

bool ZVRMLWriter::reopenLastFile() {
    if (stream.is_open() || m_lastFileName.empty()) return false;
    stream.open(m_lastFileName, std::ios::out | std::ios::app);
    if (!stream.is_open()) return false;
    stream.clear();
    return true;
}

// Straight into the file's buffer (see ZVRMLPutArea.h): a formatted insertion would build a
// sentry and consult the stream's locale for every literal, number and tab. The stream's state
// still rules as it does for an insertion: once the stream has failed nothing more is written,
// and a short write (the disk is full) fails it.
void ZVRMLWriter::writeBytes(const char* text, std::size_t length) {
    if (!stream.good()) {
        stream.setstate(std::ios::failbit);
        return;
    }
    if (!ZVRMLPutArea::Write(*stream.rdbuf(), text, length)) stream.setstate(std::ios::badbit);
}

void ZVRMLWriter::writeString(const GuString& s) {
    GuConversionAllocator allocator;
    writeBytes(allocator.UnicodeToAnsi(s.GetBuffer()));
}

// Measured here rather than with strlen: the text is nearly always one number, and the library's
// strlen costs more to set up than this loop takes for a few characters.
void ZVRMLWriter::writeBytes(const char* text) {
    const char* end = text;
    while (*end != '\0') ++end;
    writeBytes(text, static_cast<std::size_t>(end - text));
}

void ZVRMLWriter::writeInt(int value) {
    m_number.FromInt(value, 10);
    writeString(m_number);
}

void ZVRMLWriter::writeFloat(float value) {
    m_number.FromFloat(value, -1);
    writeString(m_number);
}

void ZVRMLWriter::writeTriple(double x, double y, double z) {
    m_number.Format(L"%f %f %f ", x, y, z);
    writeString(m_number);
}

void ZVRMLWriter::writeFormatted(const wchar_t* format, double value) {
    m_number.Format(format, value);
    writeString(m_number);
}

// VRML strings end at an unescaped double quote, and a backslash escapes the next character, so
// both are escaped; every other character stands as it is.
void ZVRMLWriter::writeQuoted(const GuString& text) {
    writeText("\"");
    const wchar_t* begin = text.GetBuffer();
    const wchar_t* plainStart = begin;
    for (const wchar_t* c = begin; *c != L'\0'; ++c) {
        if (*c != L'"' && *c != L'\\') continue;
        if (c > plainStart) writeString(GuString(plainStart, static_cast<int>(c - plainStart)));
        writeText(*c == L'"' ? "\\\"" : "\\\\");
        plainStart = c + 1;
    }
    if (*plainStart != L'\0') writeString(GuString(plainStart));
    writeText("\"");
}

void ZVRMLWriter::writeTabs(int n) {
    static constexpr char kTabs[] = "\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t";
    constexpr int kRun = sizeof kTabs - 1;
    for (; n > 0; n -= kRun) writeBytes(kTabs, static_cast<std::size_t>(n < kRun ? n : kRun));
}

void ZVRMLWriter::writeDeeperTabs() {
    ++level;
    writeTabs(level);
}

void ZVRMLWriter::newLine() {
    writeText("\n");
    writeTabs(level);
}

void ZVRMLWriter::newLineDeeper() {
    writeText("\n");
    ++level;
    writeTabs(level);
}

void ZVRMLWriter::newLineShallower() {
    writeText("\n");
    --level;
    writeTabs(level);
}

void ZVRMLWriter::closeBrace() {
    writeText("\n");
    --level;
    writeTabs(level);
    if (level < 0) level = 0;
    writeText("}");
}

void ZVRMLWriter::closeBracket() {
    newLineShallower();
    writeText("]");
}

void ZVRMLWriter::openBrace() {
    writeText("\n");
    writeText("{");
}

void ZVRMLWriter::closeGroup() {
    closeBracket();
    closeBrace();
    level = 0;
}

void ZVRMLWriter::makeDefName(const char* name, GuString& out) {
    out = name != nullptr ? name : "";
    // Characters that VRML does not accept inside a node name; quotes would also end the name
    // early in viewers that read it as a string.
    out.Replace(L' ', L'_');
    out.Replace(L'/', L'_');
    out.Replace(L'\\', L'_');
    out.Replace(L'.', L'_');
    out.Replace(L'#', L'_');
    out.Replace(L',', L'_');
    out.Remove(L'\'');
    out.Remove(L'"');
}

void ZVRMLWriter::beginTransform(const char* name) {
    writeText("\n");
    writeText("DEF ");
    if (name != nullptr) {
        GuString defName;
        makeDefName(name, defName);
        writeString(defName);
        writeText(" Transform {");
    } else {
        writeText("_ Transform {");
    }
    newLineDeeper();
    writeText("children [");
}

void ZVRMLWriter::beginShape() {
    newLineDeeper();
    writeText("Shape {");
}

void ZVRMLWriter::writeCoordUse(const char* name) {
    newLineDeeper();
    writeText("coord USE ");
    writeText(name);
}

void ZVRMLWriter::writeColorIndex(int count) {
    newLine();
    writeText("colorIndex [");
    for (int i = 0; i < count; ++i) {
        writeInt(i);
        writeText(" ");
    }
    newLineShallower();
    writeText("]");
    newLine();
    writeText("colorPerVertex FALSE");
}

void ZVRMLWriter::writeProximitySensor() {
    writeText("\n");
    writeText("DEF prox ProximitySensor {");
    newLineDeeper();
    writeText("size 1e+006 1e+006 1e+006");
    closeBrace();
    writeText("\n");
    writeText("ROUTE prox.position_changed TO Spectrum.translation");
    writeText("\n");
    writeText(kVRMLSceneLastLine.data());
}

void ZVRMLWriter::writeTimeSensor(const char* name) {
    writeText("\n");
    writeText("DEF ");
    writeText(name);
    writeText(" TimeSensor ");
    writeText("\n");
    writeText("{");
    writeText("\n");
    writeText("cycleInterval ");
    writeText("1");
    writeText("\n");
    writeText("loop TRUE");
    writeText("\n");
    closeBrace();
}

void ZVRMLWriter::writeInterpolatorRoutes(const char* timer, const char* interpolator,
                                          const char* target) {
    writeText("\n");
    writeText("ROUTE ");
    writeText(timer);
    writeText(".fraction_changed TO ");
    writeText(interpolator);
    writeText(".set_fraction");
    writeText("\n");
    writeText("ROUTE ");
    writeText(interpolator);
    writeText(".value_changed TO ");
    writeText(target);
    writeText(".set_point");
}
