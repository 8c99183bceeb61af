// What sceneport-bench is asked to do, from its command line.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace bench {

enum class ExportKind { Full, SkinOnly, ElementColours };

struct BenchOptions {
    int size = 100;  // hexahedra along each edge of the box
    int runs = 5;
    int frames = 0;  // above 0: the many-frames case instead of the single-frame exports
    std::vector<ExportKind> exports{ExportKind::Full, ExportKind::SkinOnly, ExportKind::ElementColours};
    bool elementValues = false;  // an element field of its own for the per-element colours
    std::string directory;       // empty: a temporary one, removed afterwards
    bool keepFiles = false;
    bool porcelain = false;  // tab-separated lines for scripts
    bool help = false;
};

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Throws UsageError naming the option at fault.
BenchOptions parseOptions(int argc, char** argv);
const char* exportName(ExportKind kind);
extern const char* const kUsage;

}  // namespace bench
