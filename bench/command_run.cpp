#include "command_run.h"

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <vector>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace bench {
namespace {

using Clock = std::chrono::steady_clock;

// Often enough to see a frame's peak (a frame takes a few tenths of a second), seldom enough that
// reading /proc costs little: a read of smaps_rollup walks all of a process's pages, and every
// 50 ms it took a quarter of a core from the export it measured.
constexpr int kSampleMilliseconds = 250;

// What a process's pages weigh with the pages it shares divided among the processes sharing
// them, so that the sum over processes that share a model copy-on-write counts it once.
long long proportionalBytes(pid_t pid) {
    std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
    std::string name;
    long long kib = 0;
    while (rollup >> name) {
        if (name == "Pss:" && rollup >> kib) return kib * 1024;
        rollup.ignore(1 << 12, '\n');
    }
    return 0;
}

void addTree(pid_t pid, std::vector<pid_t>& into) {
    into.push_back(pid);
    std::ifstream children("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/children");
    for (pid_t child = 0; children >> child;) addTree(child, into);
}

bool hasMemory(pid_t pid) {
    std::ifstream statm("/proc/" + std::to_string(pid) + "/statm");
    long pages = 0;
    return statm >> pages && pages > 0;
}

// The memory of the process and all its descendants; 0 when one of them ended while it was
// measured: the pages it shared then count more in those read after it, and the sum overshoots.
long long treeBytes(pid_t pid) {
    std::vector<pid_t> tree;
    addTree(pid, tree);
    long long bytes = 0;
    for (const pid_t member : tree) bytes += proportionalBytes(member);
    for (const pid_t member : tree)
        if (!hasMemory(member)) return 0;
    return bytes;
}

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

}  // namespace

std::string sceneportCommand() {
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "sceneport").string();
}

CommandTimes runCommand(const std::string& command, const std::vector<std::string>& arguments) {
    int progress[2];
    if (pipe2(progress, O_CLOEXEC) != 0) throw std::runtime_error("no pipe for the command's progress");
    std::vector<char*> argv{const_cast<char*>(command.c_str())};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    const auto start = Clock::now();
    const pid_t child = fork();
    if (child < 0) throw std::runtime_error("cannot start " + command);
    if (child == 0) {
        dup2(progress[1], STDERR_FILENO);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        execv(command.c_str(), argv.data());
        _exit(127);
    }
    close(progress[1]);

    CommandTimes times;
    std::string errors;
    auto sampled = start;
    for (;;) {
        pollfd readable{progress[0], POLLIN, 0};
        if (poll(&readable, 1, kSampleMilliseconds) > 0) {
            char text[4096];
            const ssize_t count = read(progress[0], text, sizeof text);
            if (count <= 0) break;
            errors.append(text, static_cast<std::size_t>(count));
            // The first frame's progress line: the model is read and the host set up.
            if (times.readSeconds == 0 && errors.find("[1/") != std::string::npos) {
                times.readSeconds = secondsSince(start);
                // Again while a process ends meanwhile; a command already ending has none to give.
                for (int attempt = 0; attempt < 10 && times.readBytes == 0; ++attempt) times.readBytes = treeBytes(child);
                times.peakBytes = std::max(times.peakBytes, times.readBytes);
            }
        }
        if (Clock::now() - sampled >= std::chrono::milliseconds(kSampleMilliseconds)) {
            times.peakBytes = std::max(times.peakBytes, treeBytes(child));
            sampled = Clock::now();
        }
    }
    close(progress[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);  // its workers' time too: each process waits for its own
    times.totalSeconds = secondsSince(start);
    const auto seconds = [](const timeval& time) { return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6; };
    times.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    times.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (times.status != 0)
        throw std::runtime_error(command + " ended with status " + std::to_string(times.status) + ": " +
                                 errors.substr(errors.size() > 2000 ? errors.size() - 2000 : 0));
    return times;
}

}  // namespace bench
