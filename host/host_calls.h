// Counting host calls: each hostapi function starts with HOST_CALL(), which bumps a counter
// of its own; HostLog::calls reads them by name. One static counter per function, so counting
// costs an increment, not a lookup.
#pragma once

#include <string_view>

namespace host {

struct CallCounter {
    explicit CallCounter(std::string_view function);
    std::string_view function;
    long count = 0;
};

}  // namespace host

#define HOST_CALL()                                           \
    static ::host::CallCounter hostCallCounter_{__func__};    \
    ++hostCallCounter_.count
