#include "command_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <pty.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace command_test {
namespace {

[[noreturn]] void execute(std::vector<char*>& argv, const RunSettings& settings) {
    if (settings.asUser && (setgid(*settings.asUser) != 0 || setuid(*settings.asUser) != 0)) _exit(126);
    if (settings.fileSizeLimit) {
        std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails, as on a full disk
        const rlimit limit{static_cast<rlim_t>(*settings.fileSizeLimit), static_cast<rlim_t>(*settings.fileSizeLimit)};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    if (settings.crashesAsSignals) setenv("ASAN_OPTIONS", (std::string(getenv("ASAN_OPTIONS") ? getenv("ASAN_OPTIONS") : "") + ":handle_segv=0").c_str(), 1);
    execv(argv[0], argv.data());
    _exit(127);
}

void waitFor(pid_t child, CommandResult& result) {
    int status = 0;
    if (waitpid(child, &status, 0) != child) return;
    if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
}

// stdout into a file and stderr on a pipe read all along: nothing blocks the command, and a
// limit on file sizes never cuts short what it (or a sanitizer) says.
CommandResult runReadingStderr(std::vector<char*>& argv, const RunSettings& settings) {
    const testing_support::TempDir capture;
    const std::string outPath = capture / "stdout";
    int errPipe[2];
    if (pipe(errPipe) != 0) return {};
    const pid_t child = fork();
    if (child == 0) {
        close(errPipe[0]);
        dup2(errPipe[1], STDERR_FILENO);
        dup2(open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDOUT_FILENO);
        execute(argv, settings);
    }
    close(errPipe[1]);
    CommandResult result;
    char buffer[4096];
    bool sent = false;
    for (ssize_t count; (count = read(errPipe[0], buffer, sizeof buffer)) > 0;) {
        result.err.append(buffer, count);
        if (settings.signalOnProgress && !sent && result.err.find("Exporting") != std::string::npos)
            sent = kill(child, settings.signalOnProgress) == 0;
    }
    close(errPipe[0]);
    waitFor(child, result);
    result.out = testing_support::readFile(outPath);
    return result;
}

CommandResult runOnTerminal(std::vector<char*>& argv, const RunSettings& settings) {
    int terminal = -1;
    const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child == 0) execute(argv, settings);
    CommandResult result;
    char buffer[4096];
    for (ssize_t count; (count = read(terminal, buffer, sizeof buffer)) > 0;) result.out.append(buffer, count);
    close(terminal);
    waitFor(child, result);
    return result;
}

}  // namespace

CommandResult runSceneport(const std::vector<std::string>& arguments, const RunSettings& settings) {
    std::vector<std::string> all{SCENEPORT_COMMAND};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : all) argv.push_back(argument.data());
    argv.push_back(nullptr);
    const CommandResult result = settings.terminal ? runOnTerminal(argv, settings) : runReadingStderr(argv, settings);
    // A test that expects a failure could otherwise take a sanitizer's exit for it.
    const bool accepted = settings.acceptedReportIn != nullptr && result.err.find(settings.acceptedReportIn) != std::string::npos;
    for (const char* mark : {"ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error: "})
        if (!accepted && (result.err.find(mark) != std::string::npos || result.out.find(mark) != std::string::npos))
            ADD_FAILURE() << "the sceneport command's sanitizer report:\n" << result.err << result.out;
    return result;
}

std::string valueAfter(const std::string& text, const std::string& key) {
    const size_t start = text.find(key);
    return start == std::string::npos ? "" : text.substr(start + key.size(), text.find('\n', start + key.size()) - start - key.size());
}

std::vector<float> numbersAfter(const std::string& text, const std::string& key) {
    std::vector<float> numbers;
    const size_t start = text.find(key);
    if (start == std::string::npos) return numbers;
    const size_t open = text.find('[', start);
    std::string inside = text.substr(open + 1, text.find(']', open) - open - 1);
    std::replace(inside.begin(), inside.end(), ',', ' ');
    std::istringstream stream(inside);
    for (float value; stream >> value;) numbers.push_back(value);
    return numbers;
}

std::vector<std::filesystem::path> CommandTest::scenes() const {
    std::vector<std::filesystem::path> found;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        if (entry.path().extension() == ".wrl" && entry.is_regular_file()) found.push_back(entry.path());
    return found;
}

void CommandTest::TearDown() {
    for (const std::filesystem::path& scene : scenes()) {
        const auto geometry = expected.find(scene.filename().string());
        if (geometry == expected.end())
            testing_support::keepVrmlSample(testing_support::readFile(scene));
        else
            testing_support::keepVrmlSample(testing_support::readFile(scene), geometry->second);
    }
    for (const auto& [name, geometry] : expected)
        EXPECT_TRUE(std::filesystem::exists(dir / name)) << "geometry is expected of " << name << ", which is not there";
    HostTest::TearDown();
}

std::string CommandTest::write(const std::string& name, std::string_view content) const {
    std::ofstream(dir / name, std::ios::binary) << content;
    return path(name);
}

}  // namespace command_test
