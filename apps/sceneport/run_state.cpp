#include "run_state.h"

#include <algorithm>
#include <new>
#include <sys/mman.h>

namespace sceneport {
namespace {

RunState g_ownState;
RunState* g_state = &g_ownState;

// A path too long for the buffer is cut; it is only ever shown in a message.
void copyPath(std::string_view path, char (&into)[RunState::kPathCapacity]) {
    const std::size_t length = std::min(path.size(), RunState::kPathCapacity - 1);
    std::copy_n(path.data(), length, into);
    into[length] = '\0';
}

}  // namespace

RunState& runState() { return *g_state; }

void shareRunState() {
    if (g_state != &g_ownState) return;
    void* page = mmap(nullptr, sizeof(RunState), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (page == MAP_FAILED) return;  // the supervisor then learns nothing, and says less
    g_state = new (page) RunState;
}

void keepOwnRunState() {
    g_ownState.hasOutput = false;
    g_ownState.phase = RunPhase::Working;
    g_state = &g_ownState;
}

void announceReading(std::string_view model, std::uintmax_t size, std::string_view reader) {
    copyPath(model, g_state->model);
    copyPath(reader, g_state->reader);
    g_state->modelSize = size;
    g_state->phase = RunPhase::Reading;
}

void announceWorking() { g_state->phase = RunPhase::Working; }
void announceFinished() { g_state->phase = RunPhase::Finished; }

}  // namespace sceneport
