#include "interrupt_cleanup.h"

#include "run_state.h"

#include <algorithm>
#include <array>
#include <csignal>
#include <unistd.h>

namespace sceneport {
namespace {

constexpr std::array<int, 3> kStopSignals{SIGINT, SIGTERM, SIGHUP};

// What the handler touches: the run state's fixed buffer and flag, written only with the signals
// blocked. A supervising process reads them too, should this one end without its handler.
struct sigaction g_previous[kStopSignals.size()];

extern "C" void removeFileAndStop(int signal) {
    const RunState& state = runState();
    if (state.hasOutput) unlink(state.output);
    // Ends the process by the signal itself, so the caller sees why it stopped.
    std::signal(signal, SIG_DFL);
    raise(signal);
}

// Changes to the path happen with the stop signals blocked, so the handler never reads half.
class SignalsBlocked {
public:
    SignalsBlocked() {
        sigset_t blocked;
        sigemptyset(&blocked);
        for (int signal : kStopSignals) sigaddset(&blocked, signal);
        sigprocmask(SIG_BLOCK, &blocked, &m_previous);
    }
    ~SignalsBlocked() { sigprocmask(SIG_SETMASK, &m_previous, nullptr); }

private:
    sigset_t m_previous;
};

}  // namespace

FileInProgress::FileInProgress() {
    struct sigaction action {};
    action.sa_handler = removeFileAndStop;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < kStopSignals.size(); ++i) sigaction(kStopSignals[i], &action, &g_previous[i]);
}

FileInProgress::~FileInProgress() {
    clear();
    for (size_t i = 0; i < kStopSignals.size(); ++i) sigaction(kStopSignals[i], &g_previous[i], nullptr);
}

void FileInProgress::set(std::string_view path) {
    const SignalsBlocked blocked;
    RunState& state = runState();
    state.hasOutput = false;
    // A path too long for the buffer is not removed rather than cut to another file's name.
    if (path.size() >= sizeof state.output) return;
    std::copy(path.begin(), path.end(), state.output);
    state.output[path.size()] = '\0';
    state.hasOutput = true;
}

void FileInProgress::clear() {
    const SignalsBlocked blocked;
    runState().hasOutput = false;
}

}  // namespace sceneport
