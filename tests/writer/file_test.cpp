// Opening, replacing and closing files, the stream's fail state, and the two header lines.
#include "writer_fixture.h"

#include "session.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using testing_support::readFile;
using testing_support::splitLines;

const std::string kDatePattern =
    "(Mon|Tue|Wed|Thu|Fri|Sat|Sun) (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
    "[ 123][0-9] [0-2][0-9]:[0-5][0-9]:[0-6][0-9] [0-9]{4}";

std::string regexEscape(const std::string& text) {
    static const std::regex special(R"([.^$|()\[\]{}*+?\\])");
    return std::regex_replace(text, special, R"(\$&)");
}

// Seconds since the epoch of a header date such as "Tue Mar  4 09:05:17 2025", read as local
// time; -1 when it cannot be read.
std::time_t parseHeaderDate(const std::string& date) {
    char weekday[4] = {}, month[4] = {};
    std::tm tm{};
    if (std::sscanf(date.c_str(), "%3s %3s %d %d:%d:%d %d", weekday, month, &tm.tm_mday,
                    &tm.tm_hour, &tm.tm_min, &tm.tm_sec, &tm.tm_year) != 7)
        return -1;
    static const std::string months = "JanFebMarAprMayJunJulAugSepOctNovDec";
    const size_t at = months.find(month);
    if (at == std::string::npos || at % 3 != 0) return -1;
    tm.tm_mon = static_cast<int>(at / 3);
    tm.tm_year -= 1900;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

class WriterHeader : public testing_support::HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        host::application().hasApplicationObject = true;
        host::application().applicationName = "Modeler";
        host::application().applicationVersion = "7.2 (64-bit)";
        host::application().productName = "Post Studio";
        host::application().productData = "build 4711";
    }

    // The lines of a freshly opened and closed file; the whole text in `text`.
    std::vector<std::string> header() {
        ZVRMLWriter writer;
        before = std::time(nullptr);
        EXPECT_TRUE(writer.openFile(guName(file)));
        after = std::time(nullptr);
        writer.closeFile();
        text = readFile(file);
        return splitLines(text);
    }

    testing_support::TempDir dir;
    fs::path file = dir / "header.wrl";
    std::string text;
    std::time_t before = 0;
    std::time_t after = 0;
};

TEST_F(WriterHeader, TwoLinesNameTheApplicationTheProductAndTheDate) {
    const auto lines = header();
    ASSERT_EQ(lines.size(), 2u) << text;
    EXPECT_EQ(lines[0], "#VRML V2.0 utf8");
    EXPECT_TRUE(std::regex_match(
        lines[1], std::regex("# File saved in Modeler 7\\.2 \\(64-bit\\) from application "
                             "Post Studio on " + kDatePattern)))
        << lines[1];
    EXPECT_EQ(lines[1].find("build 4711"), std::string::npos) << "product data is not shown";
    EXPECT_EQ(text.back(), '\n');
}

TEST_F(WriterHeader, TheDateIsTheLocalTimeOfOpening) {
    const auto lines = header();
    ASSERT_EQ(lines.size(), 2u) << text;
    const std::string date = lines[1].substr(lines[1].rfind(" on ") + 4);
    ASSERT_EQ(date.size(), 24u) << date;
    const std::time_t written = parseHeaderDate(date);
    ASSERT_NE(written, -1) << date;
    EXPECT_GE(written, before - 1);
    EXPECT_LE(written, after + 1);
}

TEST_F(WriterHeader, WithoutAnApplicationObjectBothAttributesAreEmpty) {
    host::application().hasApplicationObject = false;
    const auto lines = header();
    ASSERT_EQ(lines.size(), 2u) << text;
    EXPECT_TRUE(std::regex_match(
        lines[1], std::regex("# File saved in   from application Post Studio on " + kDatePattern)))
        << lines[1];
}

TEST_F(WriterHeader, LineBreaksInHostTextsBecomeBlanksSoTheCommentStaysOneLine) {
    host::application().applicationName = "Mod\neler";
    host::application().applicationVersion = "7.2\r";
    host::application().productName = "Post\r\nStudio";
    const auto lines = header();
    ASSERT_EQ(lines.size(), 2u) << text;
    EXPECT_TRUE(std::regex_match(
        lines[1], std::regex("# File saved in Mod eler 7\\.2  from application Post  Studio on " +
                             kDatePattern)))
        << lines[1];
}

TEST_F(WriterHeader, LongestHostTextsKeepTheDateAndTheFinalLineBreak) {
    const std::string name(255, 'n');
    const std::string version(255, 'v');
    const std::string product(1023, 'p');
    host::application().applicationName = name;
    host::application().applicationVersion = version;
    host::application().productName = product;
    const auto lines = header();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(std::regex_match(
        lines[1], std::regex(regexEscape("# File saved in " + name + " " + version +
                                         " from application " + product + " on ") +
                             kDatePattern)))
        << lines[1].size() << " characters";
    EXPECT_EQ(text.back(), '\n');
}

class WriterFile : public testing_support::HostTest {
protected:
    testing_support::TempDir dir;
};

TEST_F(WriterFile, OpeningInAMissingDirectoryFailsAndCreatesNothing) {
    ZVRMLWriter writer;
    const fs::path missing = dir / "no such directory";
    EXPECT_FALSE(writer.openFile(guName(missing / "scene.wrl")));
    EXPECT_FALSE(writer.stream.is_open());
    EXPECT_TRUE(writer.stream.fail());
    EXPECT_FALSE(fs::exists(missing));
}

TEST_F(WriterFile, AnExistingFileIsReplacedNotAppendedTo) {
    const fs::path file = dir / "scene.wrl";
    std::ofstream(file) << std::string(5000, 'x') << "\nold tail\n";
    ZVRMLWriter writer;
    ASSERT_TRUE(writer.openFile(guName(file)));
    writer.writeText("new");
    writer.closeFile();
    const std::string text = readFile(file);
    EXPECT_EQ(text.rfind("#VRML V2.0 utf8\n# File saved in ", 0), 0u) << text.substr(0, 80);
    EXPECT_EQ(text.find('x'), std::string::npos);
    EXPECT_EQ(text.find("old tail"), std::string::npos);
    EXPECT_EQ(splitLines(text).back(), "new");
}

TEST_F(WriterFile, OpeningWhileAFileIsOpenFailsTheStreamButReportsSuccess) {
    const fs::path first = dir / "first.wrl";
    const fs::path second = dir / "second.wrl";
    ZVRMLWriter writer;
    ASSERT_TRUE(writer.openFile(guName(first)));
    writer.writeText("kept");

    EXPECT_TRUE(writer.openFile(guName(second)));
    EXPECT_TRUE(writer.stream.fail());
    EXPECT_FALSE(fs::exists(second));
    writer.writeText("dropped");
    writer.closeFile();

    const auto lines = splitLines(readFile(first));
    ASSERT_EQ(lines.size(), 3u) << "one header only";
    EXPECT_EQ(lines[2], "kept");
}

TEST_F(WriterFile, ClosingWithoutAFileFailsTheStreamUntilTheNextOpen) {
    ZVRMLWriter writer;
    writer.closeFile();
    EXPECT_TRUE(writer.stream.fail());

    const fs::path file = dir / "scene.wrl";
    ASSERT_TRUE(writer.openFile(guName(file)));
    EXPECT_TRUE(writer.stream.good());
    writer.writeText("body");
    writer.closeFile();
    EXPECT_TRUE(writer.stream.good());
    const auto lines = splitLines(readFile(file));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "#VRML V2.0 utf8");
    EXPECT_EQ(lines[2], "body");
}

TEST_F(WriterFile, OneWriterWritesFileAfterFileEachWithItsOwnHeader) {
    ZVRMLWriter writer;
    for (const char* name : {"frame1.wrl", "frame2.wrl"}) {
        writer.reset();
        ASSERT_TRUE(writer.openFile(guName(dir / name)));
        writer.writeText(name);
        writer.closeFile();
    }
    for (const char* name : {"frame1.wrl", "frame2.wrl"}) {
        const auto lines = splitLines(readFile(dir / name));
        ASSERT_EQ(lines.size(), 3u) << name;
        EXPECT_EQ(lines[0], "#VRML V2.0 utf8");
        EXPECT_EQ(lines[2], name);
    }
}

TEST_F(WriterFile, DestroyingTheWriterClosesAndFlushesAnOpenFile) {
    const fs::path file = dir / "scene.wrl";
    {
        ZVRMLWriter writer;
        ASSERT_TRUE(writer.openFile(guName(file)));
        writer.writeText("unflushed tail");
    }
    EXPECT_EQ(splitLines(readFile(file)).back(), "unflushed tail");
}

TEST_F(WriterFile, TextLargerThanTheStreamBufferArrivesComplete) {
    const fs::path file = dir / "large.wrl";
    const std::string chunk = std::string(4095, 'a') + "\n";
    ZVRMLWriter writer;
    ASSERT_TRUE(writer.openFile(guName(file)));
    for (int i = 0; i < 768; ++i) writer.writeText(chunk.c_str());  // 3 MiB
    writer.closeFile();
    const auto lines = splitLines(readFile(file));
    ASSERT_EQ(lines.size(), 2u + 768u);
    for (size_t i = 2; i < lines.size(); ++i) ASSERT_EQ(lines[i].size(), 4095u) << "line " << i;
}

// Number text, separators and tabs reach the file buffer a few bytes at a time; pieces of every
// length from nothing up, crossing the buffer's end again and again, arrive whole and in order.
TEST_F(WriterFile, SmallPiecesAcrossTheStreamBufferArriveInOrder) {
    const fs::path file = dir / "pieces.wrl";
    ZVRMLWriter writer;
    ASSERT_TRUE(writer.openFile(guName(file)));
    std::string expected;
    std::string piece;
    for (int i = 0; expected.size() < (std::size_t{3} << 20); ++i) {
        // Lengths 0 to 40, each piece its own text, so a piece written twice, dropped or moved
        // shows.
        piece = std::to_string(i) + ':';
        piece.resize(static_cast<std::size_t>(i % 41), static_cast<char>('a' + i % 26));
        writer.writeText(piece.c_str());
        expected += piece;
    }
    writer.closeFile();
    EXPECT_TRUE(writer.stream.good());
    const std::string text = readFile(file);
    const std::string body = testing_support::afterHeader(text);
    ASSERT_EQ(body.size(), expected.size());
    EXPECT_TRUE(body == expected) << "the text differs from byte " << std::distance(
        body.begin(), std::mismatch(body.begin(), body.end(), expected.begin()).first);
}

// A device that takes no byte stands for a full disk: once the buffer has to be written out the
// stream fails, and it stays failed, as the export run expects when it checks the files.
TEST_F(WriterFile, AWriteThatCannotReachTheDiskFailsTheStream) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    ZVRMLWriter writer;
    ASSERT_TRUE(writer.openFile(GuString("/dev/full")));
    for (int i = 0; i < 400000 && writer.stream.good(); ++i) writer.writeText("12345, ");
    EXPECT_TRUE(writer.stream.bad()) << "writes to a full device went unnoticed";
    writer.writeText("x");
    EXPECT_TRUE(writer.stream.fail());
    writer.closeFile();
}

}  // namespace
