// sceneport-bench: how fast the plug-in exports a large model, against the fastest way this
// machine can write the same text. See docs/performance.md for the figures and how to read them.
#include "ZVRMLAdapter.h"
#include "baseline_scenes.h"
#include "bench_options.h"
#include "box_model.h"
#include "frames_case.h"
#include "peak_memory.h"
#include "scratch_directory.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr double kMiB = 1024.0 * 1024.0;

struct Measurement {
    long long bytes = 0;
    std::vector<double> seconds;
    long long peakBytes = 0;  // beyond the resident memory when the run started, largest of the runs
    bool peakKnown = true;    // false where the kernel does not let the high-water mark be reset

    double medianSeconds() const {
        std::vector<double> sorted = seconds;
        std::sort(sorted.begin(), sorted.end());
        const std::size_t n = sorted.size();
        return n % 2 == 1 ? sorted[n / 2] : 0.5 * (sorted[n / 2 - 1] + sorted[n / 2]);
    }
    double megabytesPerSecond() const { return static_cast<double>(bytes) / 1e6 / medianSeconds(); }
};

// Runs `work`, which returns the bytes it wrote, and adds its time and peak memory.
void measure(Measurement& into, const std::function<long long()>& work) {
    const bool peakReset = bench::resetPeakResident();
    const long long residentBefore = bench::residentBytes();
    const auto start = std::chrono::steady_clock::now();
    into.bytes = work();
    into.seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    if (peakReset)
        into.peakBytes = std::max(into.peakBytes, bench::peakResidentBytes() - residentBefore);
    else
        into.peakKnown = false;
}

long long exportScene(const bench::BoxModel& box, bench::ExportKind kind, const std::string& file) {
    ZVRMLAdapter::ExportParams request;
    request.model = box.model;
    request.window = kind == bench::ExportKind::ElementColours ? box.elementWindow : box.nodeWindow;
    request.fileName = GuString(file.c_str());
    request.allFrames = false;
    request.exportContours = true;
    request.skinOnly = kind == bench::ExportKind::SkinOnly;
    request.flaggedPartsOnly = false;
    ZVRMLAdapter adapter;
    // 1: done, every part written (the box has no one-dimensional part to leave out).
    if (const int result = adapter.ExportVRMLData(request); result != 1)
        throw std::runtime_error("the export of " + file + " ended with result " + std::to_string(result));
    std::error_code error;
    const auto bytes = fs::file_size(file, error);
    if (error) throw std::runtime_error("the export wrote no " + file);
    return static_cast<long long>(bytes);
}

long long writeBaseline(const bench::BoxModel& box, bench::ExportKind kind, const std::vector<int>& colours,
                        const std::string& file) {
    switch (kind) {
    case bench::ExportKind::Full: return bench::writeFullBaseline(box, file);
    case bench::ExportKind::SkinOnly: return bench::writeSkinBaseline(box, file);
    case bench::ExportKind::ElementColours: return bench::writeElementColourBaseline(box, colours, file);
    }
    return 0;
}

// The files of one run go before the next: a full export of the default box is 300 MB.
void removeFile(const std::string& file, bool keep) {
    if (keep) return;
    std::error_code ignored;
    fs::remove(file, ignored);
}

// One line on stderr that each step overwrites on a terminal; elsewhere (a log) a line per step.
class Progress {
public:
    void show(const std::string& step) {
        if (m_terminal) {
            std::cerr << "\rsceneport-bench: " << step << "\x1b[K" << std::flush;
        } else {
            std::cerr << "sceneport-bench: " << step << "\n";
        }
    }
    void clear() {
        if (m_terminal) std::cerr << "\r\x1b[K" << std::flush;
    }

private:
    bool m_terminal = isatty(STDERR_FILENO) != 0;
};

void printRow(const bench::BenchOptions& options, bench::ExportKind kind, const Measurement& exported,
              const Measurement& baseline) {
    const double ratio = exported.medianSeconds() / baseline.medianSeconds();
    char peakMiB[32] = "?";
    if (exported.peakKnown) std::snprintf(peakMiB, sizeof peakMiB, "%.1f", static_cast<double>(exported.peakBytes) / kMiB);
    if (options.porcelain) {
        std::printf("%s\t%lld\t%.4f\t%.1f\t%s\t%lld\t%.4f\t%.2f\n", bench::exportName(kind), exported.bytes,
                    exported.medianSeconds(), exported.megabytesPerSecond(), peakMiB, baseline.bytes,
                    baseline.medianSeconds(), ratio);
    } else {
        std::printf("%-16s %12lld %9.3f %8.1f %9s   %12lld %9.3f %8.1f %7.2f\n", bench::exportName(kind),
                    exported.bytes, exported.medianSeconds(), exported.megabytesPerSecond(), peakMiB, baseline.bytes,
                    baseline.medianSeconds(), baseline.megabytesPerSecond(), ratio);
    }
    std::fflush(stdout);
}

int run(const bench::BenchOptions& options) {
    bench::ScratchDirectory directory(options.directory);
    if (options.keepFiles) directory.keep();

    std::cerr << "sceneport-bench: building a box of " << options.size << "^3 hexahedra...\n";
    const long long residentBefore = bench::residentBytes();
    const auto buildStart = std::chrono::steady_clock::now();
    const bench::BoxModel box = bench::buildBoxModel(options.size, options.elementValues);
    const double buildSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - buildStart).count();
    const std::vector<int> colours = bench::elementColours(box);
    host::Part& part = *box.model->parts.front();

    if (!options.porcelain) {
        std::printf("box of %d^3 hexahedra: %lld nodes, %lld elements; built in %.2f s, %.0f MiB; %d runs each, "
                    "median seconds; files in %s\n\n",
                    options.size, box.nodeCount(), box.elementCount(), buildSeconds,
                    static_cast<double>(bench::residentBytes() - residentBefore) / kMiB, options.runs,
                    directory.path().c_str());
        std::printf("%-16s %12s %9s %8s %9s   %12s %9s %8s %7s\n", "export", "bytes", "seconds", "MB/s", "peak MiB",
                    "baseline B", "seconds", "MB/s", "ratio");
    }
    Progress progress;
    for (const bench::ExportKind kind : options.exports) {
        const std::string name = bench::exportName(kind);
        Measurement exported;
        Measurement baseline;
        for (int runIndex = 1; runIndex <= options.runs; ++runIndex) {
            progress.show(name + ", run " + std::to_string(runIndex) + " of " + std::to_string(options.runs));
            const bool last = runIndex == options.runs;
            // Every skin-only export finds the skin again: the host keeps it once found.
            if (kind == bench::ExportKind::SkinOnly) part.skin.reset();
            const std::string sceneFile = directory.file(name + ".wrl");
            measure(exported, [&] { return exportScene(box, kind, sceneFile); });
            removeFile(sceneFile, options.keepFiles && last);
            const std::string baselineFile = directory.file(name + "-baseline.txt");
            measure(baseline, [&] { return writeBaseline(box, kind, colours, baselineFile); });
            removeFile(baselineFile, options.keepFiles && last);
        }
        progress.clear();
        printRow(options, kind, exported, baseline);
    }
    if (options.keepFiles) std::cerr << "sceneport-bench: the last run's files are in " << directory.path() << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const bench::BenchOptions options = bench::parseOptions(argc, argv);
        if (options.help) {
            std::cout << bench::kUsage;
            return 0;
        }
        return options.frames > 0 ? bench::runFramesCase(options) : run(options);
    } catch (const bench::UsageError& error) {
        std::cerr << "sceneport-bench: " << error.what() << "\n(sceneport-bench --help lists the options)\n";
        return 2;
    } catch (const std::exception& error) {
        std::cerr << "sceneport-bench: " << error.what() << "\n";
        return 1;
    }
}
