// What ties a parallel export's process to its workers: the frame queue in shared memory, the
// pipe of their notes, and the signals (stop signals, workers' ends) read from a descriptor.
#pragma once

#include "frame_queue.h"

#include <csignal>

namespace sceneport {

// The queue in memory that workers forked later share. Throws std::runtime_error.
class SharedQueue {
public:
    SharedQueue();
    ~SharedQueue();
    SharedQueue(const SharedQueue&) = delete;
    SharedQueue& operator=(const SharedQueue&) = delete;
    FrameQueue* get() const { return m_queue; }

private:
    void* m_memory;
    FrameQueue* m_queue;
};

// Workers write whole notes to it; this process reads what is there without waiting.
// Throws std::runtime_error.
class NotePipe {
public:
    NotePipe();
    ~NotePipe();
    NotePipe(const NotePipe&) = delete;
    NotePipe& operator=(const NotePipe&) = delete;
    int readEnd() const { return m_ends[0]; }
    int writeEnd() const { return m_ends[1]; }
    // This process's copy goes once the workers have theirs: the pipe then ends when they do.
    void closeWriteEnd();

private:
    int m_ends[2] = {-1, -1};
};

// The stop signals (SIGINT, SIGTERM, SIGHUP) and SIGCHLD, blocked and read from a descriptor
// rather than handled: what to do about them needs the whole state of the run. Throws
// std::runtime_error.
class SignalsAsReads {
public:
    SignalsAsReads();
    ~SignalsAsReads();  // unblocks them again
    SignalsAsReads(const SignalsAsReads&) = delete;
    SignalsAsReads& operator=(const SignalsAsReads&) = delete;

    int descriptor() const { return m_descriptor; }
    const sigset_t& previousMask() const { return m_previous; }
    // The stop signal read since the last call, 0 if none (SIGCHLD only wakes the reader).
    int takeStopSignal() const;

private:
    sigset_t m_previous;
    int m_descriptor = -1;
};

}  // namespace sceneport
