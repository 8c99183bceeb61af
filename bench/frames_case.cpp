#include "frames_case.h"

#include "command_run.h"
#include "frames_model_file.h"
#include "scratch_directory.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include <unistd.h>

namespace bench {
namespace {

namespace fs = std::filesystem;
constexpr double kMiB = 1024.0 * 1024.0;
constexpr int kJobCounts[] = {1, 2};

// The machine's load average over the last minute, as the kernel counts it.
std::string loadAverage() {
    std::ifstream loadavg("/proc/loadavg");
    std::string lastMinute;
    loadavg >> lastMinute;
    return lastMinute.empty() ? "?" : lastMinute;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
}

struct JobsFigures {
    int jobs = 0;
    std::vector<double> read, exported, total, cpu;
    long long peakBytes = 0;
    long long beyondModelBytes = 0;  // the peak beyond the memory the read model takes
};

void removeScenes(const fs::path& directory) {
    for (const auto& entry : fs::directory_iterator(directory))
        if (entry.path().extension() == ".wrl") fs::remove(entry.path());
}

void printTable(const BenchOptions& options, const std::vector<JobsFigures>& figures, const std::string& command,
                const std::string& loadBefore, std::uintmax_t modelBytes) {
    std::printf("many frames: box of %d^3 hexahedra, %d frames of node displacement and a node field; model file %.0f MB;\n"
                "%s, median of %d runs; peak MiB: the command's processes together (PSS);\n"
                "load average %s before, %s after (%ld cores)\n\n",
                options.size, options.frames, static_cast<double>(modelBytes) / 1e6, command.c_str(), options.runs,
                loadBefore.c_str(), loadAverage().c_str(), sysconf(_SC_NPROCESSORS_ONLN));
    std::printf("%-6s %8s %9s %9s %9s %8s %6s %9s %15s\n", "jobs", "read s", "export s", "s/frame", "total s", "CPU s",
                "cores", "peak MiB", "MiB/process*");
    for (const JobsFigures& row : figures)
        std::printf("%-6d %8.2f %9.2f %9.3f %9.2f %8.2f %6.2f %9.0f %15.1f\n", row.jobs, median(row.read),
                    median(row.exported), median(row.exported) / options.frames, median(row.total), median(row.cpu),
                    median(row.cpu) / median(row.total), static_cast<double>(row.peakBytes) / kMiB,
                    static_cast<double>(row.beyondModelBytes) / kMiB / row.jobs);
    const JobsFigures& one = figures.front();
    const JobsFigures& two = figures.back();
    std::printf("\nCPU s: user and system time of the command's processes; cores: CPU s / total s, the cores it\n"
                "had on average (below the job count on a machine that other work keeps busy)\n");
    std::printf("* the peak beyond the memory at the first frame's start (the model read, the host set up), per\n"
                "  writing process\nspeed-up with --jobs 2: export %.2f x, end to end %.2f x\n",
                median(one.exported) / median(two.exported), median(one.total) / median(two.total));
}

}  // namespace

int runFramesCase(const BenchOptions& options) {
    ScratchDirectory scratch(options.directory);
    if (options.keepFiles) scratch.keep();
    const fs::path& directory = scratch.path();
    const fs::path model = directory / "box.msh";
    std::cerr << "sceneport-bench: writing a box of " << options.size << "^3 hexahedra with " << options.frames
              << " frames to " << model.string() << "...\n";
    writeFramesModelFile(model, options.size, options.frames);

    const std::string command = sceneportCommand();
    const std::string loadBefore = loadAverage();
    std::vector<JobsFigures> figures;
    for (const int jobs : kJobCounts) figures.emplace_back().jobs = jobs;
    // The runs alternate between the job counts, so that a change in the machine's load falls on both.
    for (int run = 1; run <= options.runs; ++run) {
        for (JobsFigures& row : figures) {
            std::cerr << "sceneport-bench: --jobs " << row.jobs << ", run " << run << " of " << options.runs << "\n";
            const CommandTimes times = runCommand(command, {"export", model.string(), "--all-frames", "--jobs", std::to_string(row.jobs),
                                                            "-o", (directory / "box.wrl").string()});
            row.read.push_back(times.readSeconds);
            row.exported.push_back(times.totalSeconds - times.readSeconds);
            row.total.push_back(times.totalSeconds);
            row.cpu.push_back(times.cpuSeconds);
            row.peakBytes = std::max(row.peakBytes, times.peakBytes);
            row.beyondModelBytes = std::max(row.beyondModelBytes, times.peakBytes - times.readBytes);
            if (!(options.keepFiles && run == options.runs && row.jobs == kJobCounts[std::size(kJobCounts) - 1])) removeScenes(directory);
        }
    }

    if (options.porcelain) {
        for (const JobsFigures& row : figures)
            std::printf("%d\t%.3f\t%.3f\t%.4f\t%.3f\t%.3f\t%.1f\n", row.jobs, median(row.read), median(row.exported),
                        median(row.exported) / options.frames, median(row.total), median(row.cpu),
                        static_cast<double>(row.peakBytes) / kMiB);
    } else {
        printTable(options, figures, command, loadBefore, fs::file_size(model));
    }
    return 0;
}

}  // namespace bench
