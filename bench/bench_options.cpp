#include "bench_options.h"

#include <charconv>
#include <string_view>

namespace bench {
namespace {

constexpr ExportKind kKinds[] = {ExportKind::Full, ExportKind::SkinOnly, ExportKind::ElementColours};
// 64 million hexahedra: their connectivity alone takes 2 GB, the full export 20 GB of disk.
constexpr int kLargestSize = 400;
constexpr int kFramesCaseSize = 60;
constexpr int kFramesCaseRuns = 3;

int positiveNumber(std::string_view option, std::string_view text, int largest) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 1 || value > largest)
        throw UsageError(std::string(option) + ": expected a whole number from 1 to " + std::to_string(largest) +
                         ", got \"" + std::string(text) + "\"");
    return value;
}

std::vector<ExportKind> exportList(std::string_view text) {
    std::vector<ExportKind> kinds;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view name = text.substr(0, comma);
        bool known = false;
        for (const ExportKind kind : kKinds)
            if (name == exportName(kind)) kinds.push_back(kind), known = true;
        if (!known)
            throw UsageError("--exports: no export \"" + std::string(name) + "\" (exports: full, skin-only, element-colours)");
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    }
    if (kinds.empty()) throw UsageError("--exports: name at least one export");
    return kinds;
}

}  // namespace

const char* const kUsage =
    "Usage: sceneport-bench [options]\n"
    "Exports a box of N x N x N 8-node hexahedra with a per-node field, and writes the same lists of\n"
    "numbers with std::to_chars into a 4 MiB buffer and fwrite (the baseline); prints bytes, median\n"
    "seconds, MB/s, peak memory beyond the model and the ratio export / baseline for each export.\n"
    "\n"
    "  --size N               hexahedra along each edge (default 100: 1,000,000 elements)\n"
    "  --runs R               runs of each export and of its baseline (default 5)\n"
    "  --exports LIST         any of full,skin-only,element-colours (default: all three)\n"
    "  --element-values       colour elements by an element field of their own (default: the node\n"
    "                         field averaged per element)\n"
    "  --dir DIR              where the files go (default: a temporary directory, removed afterwards)\n"
    "  --keep                 keep the last run's files\n"
    "  --porcelain            one tab-separated line per export: export bytes seconds mb_per_s\n"
    "                         peak_mib baseline_bytes baseline_seconds ratio\n"
    "  --frames F             the many-frames case instead: the box (default --size 60) with F frames of\n"
    "                         node displacement and a node field, as a binary MSH file that the\n"
    "                         sceneport command beside this program exports with --all-frames and\n"
    "                         --jobs 1, then --jobs 2 (default --runs 3); --porcelain: one line per job\n"
    "                         count: jobs read_s export_s s_per_frame total_s cpu_s peak_mib\n";

const char* exportName(ExportKind kind) {
    switch (kind) {
    case ExportKind::Full: return "full";
    case ExportKind::SkinOnly: return "skin-only";
    case ExportKind::ElementColours: return "element-colours";
    }
    return "?";
}

BenchOptions parseOptions(int argc, char** argv) {
    BenchOptions options;
    bool sizeGiven = false, runsGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        auto value = [&]() -> std::string_view {
            if (i + 1 >= argc) throw UsageError(std::string(arg) + " needs a value");
            return argv[++i];
        };
        if (arg == "--size") {
            options.size = positiveNumber(arg, value(), kLargestSize);
            sizeGiven = true;
        } else if (arg == "--runs") {
            options.runs = positiveNumber(arg, value(), 1000);
            runsGiven = true;
        } else if (arg == "--frames") {
            options.frames = positiveNumber(arg, value(), 10000);
        } else if (arg == "--exports") {
            options.exports = exportList(value());
        } else if (arg == "--element-values") {
            options.elementValues = true;
        } else if (arg == "--dir") {
            options.directory = value();
        } else if (arg == "--keep") {
            options.keepFiles = true;
        } else if (arg == "--porcelain") {
            options.porcelain = true;
        } else if (arg == "-h" || arg == "--help") {
            options.help = true;
        } else {
            throw UsageError("unknown option \"" + std::string(arg) + "\"");
        }
    }
    // A long result of the full-size box would take gigabytes of file and an hour.
    if (options.frames > 0 && !sizeGiven) options.size = kFramesCaseSize;
    if (options.frames > 0 && !runsGiven) options.runs = kFramesCaseRuns;
    return options;
}

}  // namespace bench
