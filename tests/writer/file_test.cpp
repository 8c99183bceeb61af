// Opening, replacing and closing files, the stream's fail state, and the two header lines.
#include "writer_fixture.h"

#include "session.h"

#include <ctime>
#include <fstream>
#include <regex>

namespace {

namespace fs = std::filesystem;
using testing_support::readFile;
using testing_support::splitLines;

const std::string kDate =
    "(Mon|Tue|Wed|Thu|Fri|Sat|Sun) (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
    "[ 123][0-9] [0-2][0-9]:[0-5][0-9]:[0-6][0-9] [0-9]{4}";

using WriterHeader = testing_support::HostTest;

TEST_F(WriterHeader, NamesApplicationProductAndDateOnOneLine) {
    const std::string n(255, 'n'), v(255, 'v'), p(1023, 'p');
    struct Row {
        bool applicationObject;
        std::string name, version, product, line;
    } rows[] = {
        {true, "Modeler", "7.2 (64-bit)", "Post Studio",
         "# File saved in Modeler 7\\.2 \\(64-bit\\) from application Post Studio on "},
        {false, "Modeler", "7.2", "Post Studio", "# File saved in   from application Post Studio on "},
        {true, "Mod\neler", "7.2\r", "Post\r\nStudio", "# File saved in Mod eler 7\\.2  from application Post  Studio on "},
        {true, n, v, p, "# File saved in " + n + " " + v + " from application " + p + " on "},
    };
    testing_support::TempDir dir;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line.substr(0, 60));
        host::application().hasApplicationObject = row.applicationObject;
        host::application().applicationName = row.name;
        host::application().applicationVersion = row.version;
        host::application().productName = row.product;
        host::application().productData = "build 4711";  // not shown
        ZVRMLWriter writer;
        const std::time_t before = std::time(nullptr);
        ASSERT_TRUE(writer.openFile(guName(dir / "header.wrl")));
        const std::time_t after = std::time(nullptr);
        writer.closeFile();
        const std::string text = readFile(dir / "header.wrl");
        const auto lines = splitLines(text);
        ASSERT_EQ(lines.size(), 2u) << text;
        EXPECT_EQ(lines[0], "#VRML V2.0 utf8");
        EXPECT_TRUE(std::regex_match(lines[1], std::regex(row.line + kDate))) << lines[1];
        EXPECT_EQ(text.back(), '\n');
        // The date is the local time of opening.
        std::tm tm{};
        ASSERT_NE(strptime(lines[1].substr(lines[1].size() - 24).c_str(), "%a %b %e %H:%M:%S %Y", &tm), nullptr);
        tm.tm_isdst = -1;
        EXPECT_GE(std::mktime(&tm), before - 1);
        EXPECT_LE(std::mktime(&tm), after + 1);
    }
}

using WriterFile = testing_support::HostTest;

TEST_F(WriterFile, OpeningFailuresAndReplacing) {
    testing_support::TempDir dir;
    ZVRMLWriter writer;
    writer.closeFile();
    EXPECT_TRUE(writer.stream.fail()) << "closing without a file";
    EXPECT_FALSE(writer.openFile(guName(dir / "missing" / "scene.wrl")));
    EXPECT_TRUE(writer.stream.fail());
    EXPECT_FALSE(fs::exists(dir / "missing"));

    std::ofstream(dir / "scene.wrl") << std::string(5000, 'x') << "\nold tail\n";
    ASSERT_TRUE(writer.openFile(guName(dir / "scene.wrl")));
    EXPECT_TRUE(writer.stream.good()) << "a new file clears an earlier failure";
    writer.writeText("kept");
    // A second open while a file is open reports success but fails the stream.
    EXPECT_TRUE(writer.openFile(guName(dir / "second.wrl")));
    EXPECT_TRUE(writer.stream.fail());
    writer.writeText("dropped");
    writer.closeFile();
    EXPECT_FALSE(fs::exists(dir / "second.wrl"));
    const auto lines = splitLines(readFile(dir / "scene.wrl"));
    ASSERT_EQ(lines.size(), 3u) << "one header, nothing of the old file";
    EXPECT_EQ(lines[2], "kept");

    ASSERT_TRUE(writer.openFile(guName(dir / "next.wrl")));
    writer.writeText("next");
    writer.closeFile();
    EXPECT_TRUE(writer.stream.good());
    EXPECT_EQ(splitLines(readFile(dir / "next.wrl")).size(), 3u) << "one writer, file after file";
    {
        ZVRMLWriter unclosed;
        ASSERT_TRUE(unclosed.openFile(guName(dir / "unclosed.wrl")));
        unclosed.writeText("unflushed tail");
    }
    EXPECT_EQ(splitLines(readFile(dir / "unclosed.wrl")).back(), "unflushed tail") << "the destructor flushes";
}

// Pieces of every length from 0 to 40, and a few of 4 KiB, cross the stream buffer's end again
// and again; each arrives whole and in order.
TEST_F(WriterFile, PiecesAcrossTheStreamBufferArriveInOrder) {
    testing_support::TempDir dir;
    ZVRMLWriter writer;
    ASSERT_TRUE(writer.openFile(guName(dir / "pieces.wrl")));
    std::string expected, piece;
    for (int i = 0; expected.size() < (std::size_t{3} << 20); ++i) {
        piece = std::to_string(i) + ':';
        piece.resize(i % 97 == 0 ? 4096 : static_cast<std::size_t>(i % 41), static_cast<char>('a' + i % 26));
        writer.writeText(piece.c_str());
        expected += piece;
    }
    writer.closeFile();
    EXPECT_TRUE(writer.stream.good());
    const std::string body = testing_support::afterHeader(readFile(dir / "pieces.wrl"));
    ASSERT_EQ(body.size(), expected.size());
    EXPECT_TRUE(body == expected);
}

// A device that takes no byte stands for a full disk: the stream fails and stays failed.
TEST_F(WriterFile, AWriteThatCannotReachTheDiskFailsTheStream) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    ZVRMLWriter writer;
    ASSERT_TRUE(writer.openFile(GuString("/dev/full")));
    for (int i = 0; i < 400000 && writer.stream.good(); ++i) writer.writeText("12345, ");
    EXPECT_TRUE(writer.stream.bad());
    writer.writeText("x");
    EXPECT_TRUE(writer.stream.fail());
    writer.closeFile();
}

}  // namespace
