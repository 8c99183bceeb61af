#include "peak_memory.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

namespace bench {
namespace {

// The value of a "Name:   1234 kB" line, in bytes.
long long statusValue(const char* name) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const size_t nameLength = std::strlen(name);
    while (std::getline(status, line))
        if (line.compare(0, nameLength, name) == 0 && line.size() > nameLength && line[nameLength] == ':')
            return std::stoll(line.substr(nameLength + 1)) * 1024;
    return 0;
}

}  // namespace

long long residentBytes() { return statusValue("VmRSS"); }
long long peakResidentBytes() { return statusValue("VmHWM"); }

bool resetPeakResident() {
    std::FILE* file = std::fopen("/proc/self/clear_refs", "w");
    if (file == nullptr) return false;
    const bool written = std::fputs("5", file) >= 0;
    return std::fclose(file) == 0 && written;
}

}  // namespace bench
