// Helpers shared by the test suites.
#pragma once

#include "expected_geometry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

// A fresh directory under the system's temporary directory, removed with its contents at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

// The whole file as bytes; fails the test when it cannot be read.
std::string readFile(const std::filesystem::path& file);
// How often `what` stands in `text`, overlapping occurrences included.
int occurrences(const std::string& text, const std::string& what);
// What follows a scene file's two header lines (the second holds the date); all of a text without them.
std::string afterHeader(const std::string& text);
// ASCII text as a wide string, for comparing with the host's wide texts.
std::wstring widen(std::string_view ascii);
// The text split at "\n"; a final line break does not add an empty line.
std::vector<std::string> splitLines(const std::string& text);

// `file` in the directory the environment variable `variable` names (ctest sets SCENEPORT_LIB_DIR
// for the product libraries, SCENEPORT_TEST_LIB_DIR for the test builds); empty when unset.
std::string libraryIn(const char* variable, const char* file);
// What `readelf <options>` prints for `file`; fails the test when readelf does not succeed.
std::string readelf(const std::string& options, const std::string& file);

// Keeps a complete VRML file for the independent readers that check every scene the suites write
// (tests/conformance), named after the running test; nothing when the build set no sample
// directory. With `expected`, also what the model it came from holds, which the readers compare
// with what they find (a sidecar "<name>.wrl.counts").
void keepVrmlSample(const std::string& text, const std::optional<ExpectedGeometry>& expected = std::nullopt);

// Every test starts from a fresh host session (no models, no windows, empty log, defaults).
class HostTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

}  // namespace testing_support
