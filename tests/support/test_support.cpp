#include "test_support.h"

#include "session.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace testing_support {

TempDir::TempDir() {
    std::random_device random;
    const auto base = std::filesystem::temp_directory_path();
    for (;;) {
        m_path = base / ("sceneport-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(m_path)) break;
    }
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
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string afterHeader(const std::string& text) {
    const size_t secondBreak = text.find('\n', text.find('\n') + 1);
    return secondBreak == std::string::npos ? text : text.substr(secondBreak + 1);
}

std::string libraryIn(const char* variable, const char* file) {
    const char* directory = std::getenv(variable);
    return directory != nullptr ? std::string(directory) + "/" + file : std::string();
}

std::string readelf(const std::string& options, const std::string& file) {
    const std::string command = "readelf " + options + " -W '" + file + "'";
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        ADD_FAILURE() << "cannot run " << command;
        return output;
    }
    char chunk[4096];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) output.append(chunk, n);
    EXPECT_EQ(pclose(pipe), 0) << command;
    return output;
}

std::wstring widen(std::string_view ascii) { return {ascii.begin(), ascii.end()}; }

namespace {

// Where the running test keeps its next scene file; empty when the build set no sample directory.
std::filesystem::path nextSamplePath() {
#ifdef SCENEPORT_VRML_SAMPLE_DIR
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::filesystem::path directory = SCENEPORT_VRML_SAMPLE_DIR;
    std::filesystem::create_directories(directory);
    std::string name = std::string(test->test_suite_name()) + "." + test->name();
    for (char& c : name)
        if (c == '/') c = '_';  // parameterised tests
    // A test that writes several files keeps each of them.
    static std::string previousTest;
    static int fileOfTest = 0;
    fileOfTest = name == previousTest ? fileOfTest + 1 : 1;
    previousTest = name;
    if (fileOfTest > 1) name.append(1, '-').append(std::to_string(fileOfTest));
    return directory / (name + ".wrl");
#else
    return {};
#endif
}

void writeSample(const std::filesystem::path& file, const std::string& content) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << content;
    EXPECT_TRUE(out.good()) << "cannot keep the sample " << file;
}

std::filesystem::path countsOf(const std::filesystem::path& sample) { return sample.string() + ".counts"; }

}  // namespace

void keepVrmlSample(const std::string& text) {
    const std::filesystem::path file = nextSamplePath();
    if (file.empty()) return;
    writeSample(file, text);
    // A run of one suite keeps the samples of an earlier run: a sidecar left from one must not
    // stand for this file.
    std::error_code ignored;
    std::filesystem::remove(countsOf(file), ignored);
}

void keepVrmlSample(const std::string& text, const ExpectedGeometry& expected) {
    const std::filesystem::path file = nextSamplePath();
    if (file.empty()) return;
    writeSample(file, text);
    std::ostringstream counts;
    counts << "# What the model holds, counted by the test that wrote the scene\n"
           << "points " << expected.points << "\n"
           << "polygons " << expected.polygons << "\n"
           << "texture-coordinates " << expected.textureCoordinates << "\n";
    writeSample(countsOf(file), counts.str());
}

void HostTest::SetUp() { host::resetSession(); }
void HostTest::TearDown() { host::resetSession(); }

}  // namespace testing_support
