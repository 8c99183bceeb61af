#include "test_support.h"

#include "session.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

namespace testing_support {

TempDir::TempDir() {
    std::random_device random;
    do m_path = std::filesystem::temp_directory_path() / ("sceneport-test-" + std::to_string(random()));
    while (!std::filesystem::create_directory(m_path));
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    EXPECT_TRUE(in.is_open()) << "cannot read " << file;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

int occurrences(const std::string& text, const std::string& what) {
    int found = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++found;
    return found;
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string afterHeader(const std::string& text) {
    const size_t secondBreak = text.find('\n', text.find('\n') + 1);
    return secondBreak == std::string::npos ? text : text.substr(secondBreak + 1);
}

std::wstring widen(std::string_view ascii) { return {ascii.begin(), ascii.end()}; }

std::string libraryIn(const char* variable, const char* file) {
    const char* directory = std::getenv(variable);
    return directory != nullptr ? std::string(directory) + "/" + file : std::string();
}

std::string readelf(const std::string& options, const std::string& file) {
    const std::string command = "readelf " + options + " -W '" + file + "'";
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    EXPECT_NE(pipe, nullptr) << "cannot run " << command;
    if (pipe == nullptr) return output;
    char chunk[4096];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) output.append(chunk, n);
    EXPECT_EQ(pclose(pipe), 0) << command;
    return output;
}

namespace {

// Where the running test keeps its next scene file ("<suite>.<test>[-n].wrl"); empty when the
// build set no sample directory.
std::filesystem::path nextSamplePath() {
#ifdef SCENEPORT_VRML_SAMPLE_DIR
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::filesystem::create_directories(SCENEPORT_VRML_SAMPLE_DIR);
    std::string name = std::string(test->test_suite_name()) + "." + test->name();
    std::replace(name.begin(), name.end(), '/', '_');  // parameterised tests
    static std::map<std::string, int> kept;
    if (const int files = ++kept[name]; files > 1) name += "-" + std::to_string(files);
    return std::filesystem::path(SCENEPORT_VRML_SAMPLE_DIR) / (name + ".wrl");
#else
    return {};
#endif
}

void writeSample(const std::filesystem::path& file, const std::string& content) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << content;
    EXPECT_TRUE(out.good()) << "cannot keep the sample " << file;
}

}  // namespace

void keepVrmlSample(const std::string& text, const std::optional<ExpectedGeometry>& expected) {
    const std::filesystem::path file = nextSamplePath(), counts = file.string() + ".counts";
    if (file.empty()) return;
    writeSample(file, text);
    std::error_code ignored;
    if (!expected) std::filesystem::remove(counts, ignored);  // one left by an earlier run must not stand for this file
    else writeSample(counts, "# What the model holds, counted by the test that wrote the scene\npoints " + std::to_string(expected->points) +
                                 "\npolygons " + std::to_string(expected->polygons) + "\ntexture-coordinates " +
                                 std::to_string(expected->textureCoordinates) + "\n");
}

void HostTest::SetUp() { host::resetSession(); }
void HostTest::TearDown() { host::resetSession(); }

}  // namespace testing_support
