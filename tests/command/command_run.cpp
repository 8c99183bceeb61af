#include "command_run.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <iterator>
#include <pty.h>
#include <sstream>
#include <string_view>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace command_test {
namespace {

std::vector<char*> argumentVector(std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    return argv;
}

[[noreturn]] void execute(std::vector<char*>& argv, const RunSettings& settings) {
    if (settings.asUser && (setgid(*settings.asUser) != 0 || setuid(*settings.asUser) != 0)) _exit(126);
    if (settings.fileSizeLimit) {
        std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails, as on a full disk
        const rlimit limit{static_cast<rlim_t>(*settings.fileSizeLimit), static_cast<rlim_t>(*settings.fileSizeLimit)};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    if (settings.crashesAsSignals) {
        const char* options = std::getenv("ASAN_OPTIONS");
        const std::string withSegvPassed = std::string(options ? options : "") + ":handle_segv=0";
        setenv("ASAN_OPTIONS", withSegvPassed.c_str(), 1);
    }
    execv(argv[0], argv.data());
    _exit(127);
}

void waitFor(pid_t child, CommandResult& result) {
    int status = 0;
    if (waitpid(child, &status, 0) != child) return;
    if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
}

// Runs the command with stdout into the file `outPath` and stderr on a pipe read here until the
// command ends; `onErr` sees all of stderr so far after each piece. stderr is a pipe so that a
// limit on file sizes never cuts short what the command (or a sanitizer's report) says; read all
// along, it never blocks the command, and stdout, a file, cannot either.
CommandResult runReadingStderr(std::vector<char*>& argv, const RunSettings& settings, const std::string& outPath,
                               const std::function<void(pid_t, const std::string&)>& onErr) {
    int errPipe[2];
    if (pipe(errPipe) != 0) return {};
    const pid_t child = fork();
    if (child < 0) return {};
    if (child == 0) {
        close(errPipe[0]);
        dup2(errPipe[1], STDERR_FILENO);
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, STDOUT_FILENO);
        execute(argv, settings);
    }
    close(errPipe[1]);
    CommandResult result;
    char buffer[4096];
    for (ssize_t count; (count = read(errPipe[0], buffer, sizeof buffer)) > 0;) {
        result.err.append(buffer, count);
        if (onErr) onErr(child, result.err);
    }
    close(errPipe[0]);
    waitFor(child, result);
    return result;
}

// Stops the command with a signal as soon as it shows progress.
CommandResult runAndInterrupt(std::vector<char*>& argv, const RunSettings& settings) {
    bool sent = false;
    return runReadingStderr(argv, settings, "/dev/null", [&](pid_t child, const std::string& err) {
        if (!sent && err.find("Exporting") != std::string::npos) {
            kill(child, settings.signalOnProgress);
            sent = true;
        }
    });
}

CommandResult runOnTerminal(std::vector<char*>& argv, const RunSettings& settings) {
    int terminal = -1;
    const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child < 0) return {};
    if (child == 0) execute(argv, settings);
    CommandResult result;
    char buffer[4096];
    for (ssize_t count; (count = read(terminal, buffer, sizeof buffer)) > 0;) result.out.append(buffer, count);
    close(terminal);
    waitFor(child, result);
    return result;
}

// stdout into a file rather than a second pipe: nothing can block however much the command writes.
CommandResult runWithFiles(std::vector<char*>& argv, const RunSettings& settings) {
    const testing_support::TempDir capture;
    const std::string outPath = capture / "stdout";
    CommandResult result = runReadingStderr(argv, settings, outPath, {});
    result.out = testing_support::readFile(outPath);
    return result;
}

// The first line of every report of AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer.
constexpr std::string_view kSanitizerReportMarks[] = {"ERROR: AddressSanitizer", "ERROR: LeakSanitizer",
                                                      "runtime error: "};

// A sanitized build's report in the command's output fails the test that ran it, whatever that
// test checks: a test that expects a failure could otherwise take the sanitizer's exit for it.
void expectNoSanitizerReport(const CommandResult& result) {
    for (const std::string* text : {&result.err, &result.out}) {
        const auto inText = [text](std::string_view mark) { return text->find(mark) != std::string::npos; };
        if (std::any_of(std::begin(kSanitizerReportMarks), std::end(kSanitizerReportMarks), inText))
            ADD_FAILURE() << "the sceneport command's sanitizer report:\n" << *text;
    }
}

}  // namespace

CommandResult runSceneport(const std::vector<std::string>& arguments, const RunSettings& settings) {
    std::vector<std::string> all{SCENEPORT_COMMAND};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv = argumentVector(all);
    const CommandResult result = settings.terminal                  ? runOnTerminal(argv, settings)
                                 : settings.signalOnProgress != 0 ? runAndInterrupt(argv, settings)
                                                                  : runWithFiles(argv, settings);
    expectNoSanitizerReport(result);
    return result;
}

std::string valueAfter(const std::string& text, const std::string& key) {
    const size_t start = text.find(key);
    if (start == std::string::npos) return {};
    const size_t from = start + key.size();
    return text.substr(from, text.find('\n', from) - from);
}

std::vector<float> numbersAfter(const std::string& text, const std::string& key) {
    std::vector<float> numbers;
    const size_t start = text.find(key);
    if (start == std::string::npos) return numbers;
    const size_t open = text.find('[', start);
    const size_t close = text.find(']', open);
    std::string inside = text.substr(open + 1, close - open - 1);
    for (char& c : inside)
        if (c == ',') c = ' ';
    std::istringstream stream(inside);
    for (float value; stream >> value;) numbers.push_back(value);
    return numbers;
}

void keepScenesFor(const std::filesystem::path& directory, const ExpectedScenes& expected) {
    std::vector<std::filesystem::path> scenes;
    for (const auto& entry : std::filesystem::directory_iterator(directory))
        if (entry.path().extension() == ".wrl" && entry.is_regular_file()) scenes.push_back(entry.path());
    std::sort(scenes.begin(), scenes.end());
    for (const auto& scene : scenes) {
        const std::string text = testing_support::readFile(scene);
        const auto geometry = expected.find(scene.filename().string());
        if (geometry == expected.end())
            testing_support::keepVrmlSample(text);
        else
            testing_support::keepVrmlSample(text, geometry->second);
    }
    for (const auto& [name, geometry] : expected)
        EXPECT_TRUE(std::filesystem::exists(directory / name))
            << "geometry is expected of " << name << ", which is not there";
}

std::string CommandTest::write(const std::string& name, std::string_view content) const {
    std::ofstream(dir / name, std::ios::binary) << content;
    return path(name);
}

}  // namespace command_test
