#include "job_plumbing.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <stdexcept>
#include <string>
#include <sys/mman.h>
#include <sys/signalfd.h>
#include <unistd.h>
#include <utility>

namespace sceneport {
namespace {

constexpr std::array<int, 3> kStopSignals{SIGINT, SIGTERM, SIGHUP};

[[noreturn]] void fail(const char* what) { throw std::runtime_error(std::string(what) + ": " + std::strerror(errno)); }

}  // namespace

SharedQueue::SharedQueue() {
    m_memory = mmap(nullptr, sizeof(FrameQueue), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (m_memory == MAP_FAILED) fail("no shared memory for the workers");
    m_queue = new (m_memory) FrameQueue;
}

SharedQueue::~SharedQueue() { munmap(m_memory, sizeof(FrameQueue)); }

NotePipe::NotePipe() {
    if (pipe2(m_ends, O_CLOEXEC) != 0) fail("no pipe for the workers");
    // The workers' writes wait for room; this process reads what is there and goes on.
    fcntl(m_ends[0], F_SETFL, fcntl(m_ends[0], F_GETFL) | O_NONBLOCK);
}

NotePipe::~NotePipe() {
    closeWriteEnd();
    close(m_ends[0]);
}

void NotePipe::closeWriteEnd() {
    if (m_ends[1] >= 0) close(std::exchange(m_ends[1], -1));
}

SignalsAsReads::SignalsAsReads() {
    sigset_t watched;
    sigemptyset(&watched);
    for (const int signal : kStopSignals) sigaddset(&watched, signal);
    sigaddset(&watched, SIGCHLD);
    sigprocmask(SIG_BLOCK, &watched, &m_previous);
    m_descriptor = signalfd(-1, &watched, SFD_CLOEXEC | SFD_NONBLOCK);
    if (m_descriptor < 0) {
        sigprocmask(SIG_SETMASK, &m_previous, nullptr);
        fail("cannot watch the workers");
    }
}

SignalsAsReads::~SignalsAsReads() {
    close(m_descriptor);
    sigprocmask(SIG_SETMASK, &m_previous, nullptr);
}

int SignalsAsReads::takeStopSignal() const {
    int stop = 0;
    signalfd_siginfo info{};
    while (read(m_descriptor, &info, sizeof info) == static_cast<ssize_t>(sizeof info))
        if (info.ssi_signo != SIGCHLD) stop = static_cast<int>(info.ssi_signo);
    return stop;
}

}  // namespace sceneport
