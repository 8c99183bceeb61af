// The sceneport command run as a user runs it, timed from outside: when it started showing
// progress (the model is read by then), when it ended, and the memory of all its processes.
#pragma once

#include <string>
#include <vector>

namespace bench {

struct CommandTimes {
    double readSeconds = 0;   // until the first progress line: start, read, setup
    double totalSeconds = 0;  // until the command ended
    long long peakBytes = 0;  // the largest sum of its processes' proportional set sizes (PSS)
    long long readBytes = 0;  // that sum at the first progress line: the model read, the host set up
    double cpuSeconds = 0;    // user and system time of all its processes
    int status = -1;
};

// The sceneport command beside this program's own file.
std::string sceneportCommand();

// Runs `command` with `arguments`, stdout discarded, stderr read for progress; throws
// std::runtime_error when it does not end with status 0.
CommandTimes runCommand(const std::string& command, const std::vector<std::string>& arguments);

}  // namespace bench
