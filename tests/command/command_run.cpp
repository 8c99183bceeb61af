#include "command_run.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <pty.h>
#include <sstream>
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
    execv(argv[0], argv.data());
    _exit(127);
}

void waitFor(pid_t child, CommandResult& result) {
    int status = 0;
    if (waitpid(child, &status, 0) != child) return;
    if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
}

// Reads the command's stderr from a pipe and stops it with a signal as soon as it shows progress.
CommandResult runAndInterrupt(std::vector<char*>& argv, const RunSettings& settings) {
    int errPipe[2];
    if (pipe(errPipe) != 0) return {};
    const pid_t child = fork();
    if (child < 0) return {};
    if (child == 0) {
        close(errPipe[0]);
        dup2(errPipe[1], STDERR_FILENO);
        const int nowhere = open("/dev/null", O_WRONLY);
        dup2(nowhere, STDOUT_FILENO);
        execute(argv, settings);
    }
    close(errPipe[1]);
    CommandResult result;
    bool sent = false;
    char buffer[4096];
    for (ssize_t count; (count = read(errPipe[0], buffer, sizeof buffer)) > 0;) {
        result.err.append(buffer, count);
        if (!sent && result.err.find("Exporting") != std::string::npos) {
            kill(child, settings.signalOnProgress);
            sent = true;
        }
    }
    close(errPipe[0]);
    waitFor(child, result);
    return result;
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

}  // namespace

CommandResult runSceneport(const std::vector<std::string>& arguments, const RunSettings& settings) {
    std::vector<std::string> all{SCENEPORT_COMMAND};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv = argumentVector(all);
    if (settings.terminal) return runOnTerminal(argv, settings);
    if (settings.signalOnProgress != 0) return runAndInterrupt(argv, settings);

    // Files rather than pipes: nothing can block however much the command writes.
    const testing_support::TempDir capture;
    const std::string outPath = capture / "stdout";
    const std::string errPath = capture / "stderr";
    const pid_t child = fork();
    if (child < 0) return {};
    if (child == 0) {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        execute(argv, settings);
    }
    CommandResult result;
    waitFor(child, result);
    result.out = testing_support::readFile(outPath);
    result.err = testing_support::readFile(errPath);
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
