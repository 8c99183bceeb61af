// Running the sceneport command as a user does, and reading what it left behind.
#pragma once

#include "test_support.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace command_test {

struct CommandResult {
    int status = -1;  // the exit status; -1 when the command did not exit normally
    int signal = 0;   // the signal that ended it, if one did
    std::string out;  // stdout (on a terminal: everything the terminal showed)
    std::string err;
};

struct RunSettings {
    std::optional<long> fileSizeLimit;  // bytes a file may grow to, SIGXFSZ ignored: a full disk
    bool terminal = false;              // stdout and stderr on a pseudo-terminal
    int signalOnProgress = 0;           // sent once the first progress line is on stderr
    std::optional<unsigned> asUser;     // a user id to run as (status 126 when it cannot be taken)
    bool crashesAsSignals = false;      // a crash ends the process by its signal even under
                                        // AddressSanitizer: for input that crashes a library
    // A sanitizer report whose stack names this (a reader's class: "vtkLSDynaReader") is that
    // library's fault on input that breaks it, not the command's: it does not fail the test.
    const char* acceptedReportIn = nullptr;
};

// Runs the command; a sanitizer's report in its output fails the test.
CommandResult runSceneport(const std::vector<std::string>& arguments, const RunSettings& settings = {});

// The rest of the line after `key` in `text`; the numbers inside the first "[...]" after it.
std::string valueAfter(const std::string& text, const std::string& key);
std::vector<float> numbersAfter(const std::string& text, const std::string& key);

// A fresh session and a directory for the command's files. When the test ends, every scene
// there goes to the independent readers, with the geometry the test expects of it.
class CommandTest : public testing_support::HostTest {
protected:
    void TearDown() override;
    std::string path(const std::string& name) const { return (dir / name).string(); }
    std::string write(const std::string& name, std::string_view content) const;
    std::vector<std::filesystem::path> scenes() const;  // the .wrl files in the directory
    void expectGeometry(const std::string& name, const testing_support::ExpectedGeometry& geometry) { expected[name] = geometry; }

    testing_support::TempDir dir;
    std::map<std::string, testing_support::ExpectedGeometry> expected;
};

}  // namespace command_test
