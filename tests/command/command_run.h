// Running the sceneport command as a user does, and reading what it left behind.
#pragma once

#include "test_support.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string_view>
#include <string>
#include <vector>

namespace command_test {

struct CommandResult {
    int status = -1;  // the exit status; -1 when the command did not exit normally
    int signal = 0;   // the signal that ended it, if one did
    std::string out;  // stdout (with a terminal: everything the terminal showed)
    std::string err;  // stderr
};

struct RunSettings {
    std::optional<long> fileSizeLimit;  // bytes a file may grow to, with SIGXFSZ ignored: a full disk
    bool terminal = false;              // stdout and stderr on a pseudo-terminal
    int signalOnProgress = 0;           // sent once the first progress line is on stderr
    std::optional<unsigned> asUser;     // a user id to run as; 126 when it cannot be taken, 127
                                        // when that user cannot run the command
    bool crashesAsSignals = false;      // a segmentation fault ends the process by its signal even
                                        // under AddressSanitizer, which would report it and exit:
                                        // for input known to crash a library the command uses
};

CommandResult runSceneport(const std::vector<std::string>& arguments, const RunSettings& settings = {});

// The text that follows `key` up to the end of its line, in `text`; empty when absent.
std::string valueAfter(const std::string& text, const std::string& key);

// The numbers inside the first "[...]" after `key`.
std::vector<float> numbersAfter(const std::string& text, const std::string& key);

// What a scene must hold, by file name.
using ExpectedScenes = std::map<std::string, testing_support::ExpectedGeometry>;

// Keeps every scene in `directory` for the independent readers that check the suites' files,
// each with what `expected` says it holds; an expectation for a file that is not there fails.
void keepScenesFor(const std::filesystem::path& directory, const ExpectedScenes& expected = {});

// A fresh session and a directory for the command's files; every scene the command leaves
// there goes to the independent readers when the test ends, with the geometry the test expects
// in it.
class CommandTest : public testing_support::HostTest {
protected:
    void TearDown() override {
        keepScenesFor(dir.path(), expectedScenes);
        HostTest::TearDown();
    }
    std::string path(const std::string& name) const { return (dir / name).string(); }
    std::string write(const std::string& name, std::string_view content) const;
    // The scene `name` must hold `geometry`, which the readers check once the test has kept it.
    void expectGeometry(const std::string& name, const testing_support::ExpectedGeometry& geometry) {
        expectedScenes[name] = geometry;
    }

    testing_support::TempDir dir;
    ExpectedScenes expectedScenes;
};

}  // namespace command_test
