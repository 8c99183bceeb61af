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

using WriterFile = WriterTest;

TEST_F(WriterFile, TheHeaderNamesApplicationProductAndLocalTimeOnOneLine) {
    const std::string n(255, 'n'), v(255, 'v'), p(1023, 'p');
    const struct {
        bool applicationObject;
        std::string name, version, product, line;
    } rows[] = {
        {true, "Modeler", "7.2 (64-bit)", "Post Studio", "# File saved in Modeler 7\\.2 \\(64-bit\\) from application Post Studio on "},
        {false, "Modeler", "7.2", "Post Studio", "# File saved in   from application Post Studio on "},
        {true, "Mod\neler", "7.2\r", "Post\r\nStudio", "# File saved in Mod eler 7\\.2  from application Post  Studio on "},
        {true, n, v, p, "# File saved in " + n + " " + v + " from application " + p + " on "},
    };
    for (const auto& row : rows) {
        host::application().hasApplicationObject = row.applicationObject;
        host::application().applicationName = row.name;
        host::application().applicationVersion = row.version;
        host::application().productName = row.product;
        host::application().productData = "build 4711";  // not shown
        const std::time_t before = std::time(nullptr);
        textOf([](ZVRMLWriter&) {});
        const std::string text = readFile(file);
        const auto lines = splitLines(text);
        ASSERT_EQ(lines.size(), 2u) << text;
        EXPECT_EQ(lines[0], "#VRML V2.0 utf8");
        EXPECT_TRUE(std::regex_match(lines[1], std::regex(row.line + "[A-Z][a-z]{2} [A-Z][a-z]{2} [ 123][0-9] [0-9:]{8} [0-9]{4}")))
            << lines[1];
        EXPECT_EQ(text.back(), '\n');
        std::tm tm{};  // the local time of opening
        ASSERT_NE(strptime(lines[1].substr(lines[1].size() - 24).c_str(), "%a %b %e %H:%M:%S %Y", &tm), nullptr);
        EXPECT_LE(std::abs((tm.tm_isdst = -1, std::mktime(&tm)) - before), 2);
    }
}

TEST_F(WriterFile, FailuresReplacingAndClosing) {
    ZVRMLWriter writer;
    writer.closeFile();
    EXPECT_TRUE(writer.stream.fail()) << "closing without a file";
    EXPECT_FALSE(writer.openFile(guName(dir / "missing" / "scene.wrl")));
    EXPECT_FALSE(fs::exists(dir / "missing"));
    std::ofstream(file) << std::string(5000, 'x') << "\nold tail\n";
    ASSERT_TRUE(writer.openFile(guName(file)));
    EXPECT_TRUE(writer.stream.good()) << "a new file clears an earlier failure";
    writer.writeText("kept");
    EXPECT_TRUE(writer.openFile(guName(dir / "second.wrl"))) << "a second open fails the stream, not the call";
    writer.writeText("dropped");
    writer.closeFile();
    EXPECT_FALSE(fs::exists(dir / "second.wrl"));
    EXPECT_EQ(splitLines(readFile(file)).size(), 3u) << "one header, nothing of the old file";
    EXPECT_EQ(splitLines(readFile(file))[2], "kept");
    {
        ZVRMLWriter unclosed;
        ASSERT_TRUE(unclosed.openFile(guName(file)));
        unclosed.writeText("unflushed tail");
    }
    EXPECT_EQ(splitLines(readFile(file)).back(), "unflushed tail") << "the destructor flushes";
}

// Pieces of every length from 0 to 40, and some of 4 KiB, cross the stream buffer's end again
// and again; each arrives whole and in order.
TEST_F(WriterFile, PiecesAcrossTheStreamBufferArriveInOrder) {
    std::string expected, piece;
    const std::string body = textOf([&](ZVRMLWriter& w) {
        for (int i = 0; expected.size() < (std::size_t{3} << 20); ++i) {
            piece = std::to_string(i) + ':';
            piece.resize(i % 97 == 0 ? 4096 : static_cast<std::size_t>(i % 41), static_cast<char>('a' + i % 26));
            w.writeText(piece.c_str());
            expected += piece;
        }
    });
    EXPECT_TRUE(body == expected);
}

// A device that takes no byte stands for a full disk: the stream fails and stays failed.
TEST_F(WriterFile, AWriteThatCannotReachTheDiskFailsTheStream) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    ZVRMLWriter writer;
    ASSERT_TRUE(writer.openFile(GuString("/dev/full")));
    for (int i = 0; i < 400000 && writer.stream.good(); ++i) writer.writeText("12345, ");
    writer.writeText("x");
    EXPECT_TRUE(writer.stream.bad());
}

}  // namespace
