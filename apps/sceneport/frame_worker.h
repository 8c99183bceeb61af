// One worker process of a parallel --all-frames export: forked after the model was read and the
// host set up, it takes frames from the shared queue until none is left and writes each, as the
// plug-in writes that frame in an --all-frames run, with a request of its own for that frame alone.
#pragma once

#include "ZVRMLAdapter.h"
#include "frame_queue.h"

#include <csignal>
#include <string>
#include <string_view>

namespace sceneport {

struct FrameWork {
    ZVRMLAdapter::ExportParams request;  // as for --all-frames; the worker asks for one frame at a time
    std::string output;                  // the name --all-frames numbers
    int frameCount = 0;
    std::string_view lastLine;           // how a complete file ends
    FrameQueue* queue = nullptr;
    int notes = -1;                      // the pipe's end to write notes to
};

// Never returns: the worker ends with _exit, leaving the model's memory to the kernel. `mask` is
// the signal mask to work with (the forking process blocks the stop signals around the fork).
[[noreturn]] void runFrameWorker(const FrameWork& work, int index, pid_t parent, const sigset_t& mask);

}  // namespace sceneport
