#include "host_log.h"

#include "handed_memory.h"
#include "host_calls.h"

#include <vector>

namespace host {
namespace {

std::vector<CallCounter*>& counters() {
    static std::vector<CallCounter*> all;
    return all;
}

const Display* g_display = nullptr;

}  // namespace

CallCounter::CallCounter(std::string_view name) : function(name) { counters().push_back(this); }

long HostLog::calls(std::string_view function) const {
    long total = 0;
    for (const CallCounter* counter : counters())
        if (counter->function == function) total += counter->count;
    return total;
}

long HostLog::outstandingAllocations() const { return handedOverBlocks(); }

void HostLog::clear() {
    console.clear();
    prompts.clear();
    messages.clear();
    frees.clear();
    for (CallCounter* counter : counters()) counter->count = 0;
}

HostLog& hostLog() {
    static HostLog log;
    return log;
}

void setDisplay(const Display* display) { g_display = display; }
const Display* currentDisplay() { return g_display; }

}  // namespace host
