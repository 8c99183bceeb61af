#include "supervised_run.h"

#include "exit_status.h"
#include "run_state.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <optional>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace sceneport {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uintmax_t kMiB = 1024 * 1024;
// The reader (Gmsh or VTK) and the host together hold an intact model in less than ten times its file's size, on
// top of the command's own 50 MB; AddressSanitizer adds its shadow memory and quarantine.
constexpr std::uintmax_t kBaseReadMemory = 1024 * kMiB;
constexpr std::uintmax_t kReadMemoryPerFileByte = 16;
// The readers read an intact file at several megabytes a second.
constexpr double kBaseReadSeconds = 60;
constexpr double kReadSecondsPerMiB = 10;
// How often the supervisor looks at a read in progress.
constexpr long kWatchNanoseconds = 100'000'000;

// Signals the user or the system sends to stop the command: the worker hears them and removes
// the file it was writing.
constexpr std::array<int, 3> kPassedOn{SIGINT, SIGTERM, SIGHUP};

volatile std::sig_atomic_t g_worker = 0;

extern "C" void passOn(int signal) {
    if (g_worker > 0) kill(static_cast<pid_t>(g_worker), signal);
}

bool endsTheCommandQuietly(int signal) {
    return signal == SIGPIPE || std::find(kPassedOn.begin(), kPassedOn.end(), signal) != kPassedOn.end();
}

// The worker's resident memory, from /proc; 0 when it cannot be read.
std::uintmax_t residentBytes(pid_t worker) {
    const std::string statm = "/proc/" + std::to_string(worker) + "/statm";
    const int file = open(statm.c_str(), O_RDONLY);
    if (file < 0) return 0;
    char text[128] = {};
    const ssize_t count = read(file, text, sizeof text - 1);
    close(file);
    unsigned long long sizePages = 0, residentPages = 0;
    if (count <= 0 || std::sscanf(text, "%llu %llu", &sizePages, &residentPages) != 2) return 0;
    return residentPages * static_cast<std::uintmax_t>(sysconf(_SC_PAGESIZE));
}

std::string sizeText(std::uintmax_t bytes) {
    if (bytes < 10'000) return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
    const char* units[] = {"kB", "MB", "GB", "TB"};
    double value = static_cast<double>(bytes) / 1000;
    std::size_t unit = 0;
    for (; value >= 1000 && unit + 1 < std::size(units); ++unit) value /= 1000;
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %s", value, units[unit]);
    return text;
}

std::string signalText(int signal) {
    std::string text = strsignal(signal);
    if (!text.empty()) text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

// Why the supervisor stopped a read.
struct Runaway {
    std::string what;
};

// Stops the worker when its read goes past the file's limits; returns why it did.
std::optional<Runaway> watchRead(pid_t worker, Clock::time_point since) {
    const RunState& state = runState();
    const ReadLimits limits = readLimitsFor(state.modelSize);
    const std::uintmax_t resident = residentBytes(worker);
    const double seconds = std::chrono::duration<double>(Clock::now() - since).count();
    std::optional<Runaway> runaway;
    if (resident > limits.memoryBytes)
        runaway = Runaway{std::string(state.reader) + " took more than " + sizeText(limits.memoryBytes) + " of memory"};
    else if (seconds > limits.seconds)
        runaway = Runaway{std::string(state.reader) + " took more than " + std::to_string(static_cast<long>(limits.seconds)) + " s"};
    if (runaway) kill(worker, SIGKILL);
    return runaway;
}

// Waits for the worker to end, watching its reads meanwhile; returns its wait status.
int waitForWorker(pid_t worker, std::optional<Runaway>& runaway) {
    sigset_t childEnded;
    sigemptyset(&childEnded);
    sigaddset(&childEnded, SIGCHLD);
    std::optional<Clock::time_point> readingSince;
    for (;;) {
        int status = 0;
        const pid_t ended = waitpid(worker, &status, WNOHANG);
        if (ended == worker) return status;
        if (ended < 0 && errno != EINTR) return 0;
        if (runState().phase == RunPhase::Reading && !runaway) {
            if (!readingSince) readingSince = Clock::now();
            runaway = watchRead(worker, *readingSince);
        } else {
            readingSince.reset();
        }
        // Wakes as soon as the worker ends (SIGCHLD is blocked, so it waits here), else to watch.
        const timespec watchAgain{0, kWatchNanoseconds};
        sigtimedwait(&childEnded, nullptr, &watchAgain);
    }
}

// Removes the scene file the worker was writing; returns its name, empty when there was none.
std::string removeFileInProgress() {
    RunState& state = runState();
    if (!state.hasOutput) return {};
    unlink(state.output);
    state.hasOutput = false;
    return state.output;
}

// What to tell the user about a worker that ended without finishing its work.
std::string unfinishedReport(int status, const std::optional<Runaway>& runaway, const std::string& removed) {
    const RunState& state = runState();
    const std::string how = WIFSIGNALED(status) ? "(" + signalText(WTERMSIG(status)) + ")"
                                                : "(exit status " + std::to_string(WEXITSTATUS(status)) + ")";
    const std::string model = state.model;
    if (runaway)
        return model + ": stopped reading it: " + runaway->what + " for a file of " + sizeText(state.modelSize) +
               "; the file is probably damaged (a count or a tag far beyond what it holds)";
    if (state.phase == RunPhase::Reading)
        return std::string(state.reader) + (WIFSIGNALED(status) ? " crashed" : " ended the command") + " reading " + model +
               " " + how + "; the file is probably damaged";
    return std::string(WIFSIGNALED(status) ? "the command crashed " : "the command ended unexpectedly ") + how +
           (removed.empty() ? "" : " while writing " + removed + ", which was removed as unfinished");
}

[[noreturn]] void runWorker(const std::function<int()>& work, const sigset_t& originalMask, pid_t supervisor) {
    sigprocmask(SIG_SETMASK, &originalMask, nullptr);
    // A supervisor that is killed takes the worker along, which then removes its unfinished file.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != supervisor) raise(SIGTERM);
    const int status = work();
    std::cout.flush();
    std::cerr.flush();
    announceFinished();
    std::exit(status);
}

}  // namespace

ReadLimits readLimitsFor(std::uintmax_t fileSize) {
    return {kBaseReadMemory + kReadMemoryPerFileByte * fileSize,
            kBaseReadSeconds + kReadSecondsPerMiB * static_cast<double>(fileSize) / static_cast<double>(kMiB)};
}

int runSupervised(const std::function<int()>& work) {
    shareRunState();
    // SIGCHLD stays blocked in the supervisor, so that its arrival wakes the wait for it.
    sigset_t childEnded, originalMask;
    sigemptyset(&childEnded);
    sigaddset(&childEnded, SIGCHLD);
    sigprocmask(SIG_BLOCK, &childEnded, &originalMask);

    const pid_t supervisor = getpid();
    const pid_t worker = fork();
    if (worker < 0) {  // no second process to be had: work unwatched
        sigprocmask(SIG_SETMASK, &originalMask, nullptr);
        return work();
    }
    if (worker == 0) runWorker(work, originalMask, supervisor);

    g_worker = worker;
    struct sigaction action {};
    action.sa_handler = passOn;
    sigemptyset(&action.sa_mask);
    for (const int signal : kPassedOn) sigaction(signal, &action, nullptr);
    std::optional<Runaway> runaway;
    const int status = waitForWorker(worker, runaway);

    if (WIFEXITED(status) && runState().phase == RunPhase::Finished) return WEXITSTATUS(status);
    const std::string removed = removeFileInProgress();
    if (WIFSIGNALED(status) && endsTheCommandQuietly(WTERMSIG(status)) && !runaway) {
        // Ends as the worker did, so that the caller sees the signal.
        std::signal(WTERMSIG(status), SIG_DFL);
        sigprocmask(SIG_SETMASK, &originalMask, nullptr);
        raise(WTERMSIG(status));
        return 128 + WTERMSIG(status);
    }
    std::cerr << "sceneport: " << unfinishedReport(status, runaway, removed) << "\n";
    return kExitFailed;
}

}  // namespace sceneport
