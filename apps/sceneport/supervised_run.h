// The command's work runs in a child process that the process the user started watches. Gmsh is
// not hardened against damaged files: a damaged UNV file crashes it, a damaged count or tag in
// an MSH file makes it take gigabytes for a minute or more. Watched from outside, such a read
// ends with a message that names the file and exit status 1, never with a core dump or a machine
// out of memory, and a scene file that a crash cut short is removed.
#pragma once

#include <cstdint>
#include <functional>

namespace sceneport {

// How far reading a model file of `fileSize` bytes may go before it counts as a runaway: the
// working process's resident memory, and the time since the read began. Both are far above
// what Gmsh and the host need for an intact file of that size (docs/robustness.md).
struct ReadLimits {
    std::uintmax_t memoryBytes;
    double seconds;
};
ReadLimits readLimitsFor(std::uintmax_t fileSize);

// Runs `work` in a child process and returns its exit status. While the child reads a model
// file (run_state.h) it is stopped once past the file's ReadLimits. A child that ends by a crash,
// by being stopped, or by exit() before `work` returned is reported on stderr (what it was
// reading or writing, and why it ended), the scene file it was writing is removed, and the
// status is 1. SIGINT, SIGTERM and SIGHUP are passed on to the child; a child ended by one of
// them, or by SIGPIPE, ends this process by the same signal.
int runSupervised(const std::function<int()>& work);

}  // namespace sceneport
