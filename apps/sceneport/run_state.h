// What the command's working process is doing, kept where the process that supervises it can
// read it even after the worker died: the model file being read, the scene file being written.
// The worker writes; the supervisor reads (supervised_run.h). Signal handlers read it too, so
// everything here is lock-free and fixed in size.
#pragma once

#include <atomic>
#include <cstdint>
#include <string_view>

namespace sceneport {

enum class RunPhase : int {
    Starting,   // parsing the command line, building the demo model
    Reading,    // a model file is being read, by `reader`
    Working,    // the model is read: setting up the host and writing scenes
    Finished,   // the work returned its exit status; the process is ending
};

struct RunState {
    static constexpr std::size_t kPathCapacity = 4096;

    std::atomic<RunPhase> phase{RunPhase::Starting};
    std::atomic<std::uintmax_t> modelSize{0};  // bytes of the model file being read
    std::atomic<bool> hasOutput{false};        // whether `output` names a file being written
    char model[kPathCapacity] = {};            // the model file being read, as the user named it
    char output[kPathCapacity] = {};           // the scene file being written
    char reader[kPathCapacity] = {};           // what reads the model: "Gmsh", "VTK's LS-DYNA reader"
};

static_assert(std::atomic<RunPhase>::is_always_lock_free && std::atomic<bool>::is_always_lock_free &&
              std::atomic<std::uintmax_t>::is_always_lock_free);

// The process's run state: in memory shared with child processes once shareRunState() ran,
// in the process's own memory before that.
RunState& runState();

// Moves the run state into memory that a child process forked afterwards shares with this one.
void shareRunState();

// For a process forked to write beside others: from now on its state is its own again, as the
// supervisor follows one working process only (the one that forked it answers for this one).
void keepOwnRunState();

// The worker's side.
void announceReading(std::string_view model, std::uintmax_t size, std::string_view reader);
void announceWorking();
void announceFinished();

}  // namespace sceneport
