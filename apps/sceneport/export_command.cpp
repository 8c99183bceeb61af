#include "export_command.h"

#include "ZVRMLAdapter.h"
#include "ZVRMLExportResult.h"
#include "ZVRMLSceneText.h"
#include "animated_export.h"
#include "exit_status.h"
#include "export_page.h"
#include "export_report.h"
#include "export_setup.h"
#include "frame_jobs.h"
#include "frame_queue.h"
#include "host_log.h"
#include "interrupt_cleanup.h"
#include "model_loading.h"
#include "scene_page.h"
#include "scene_file_check.h"
#include "terminal_display.h"

#include <iostream>
#include <optional>

namespace sceneport {
namespace {

// The plug-in inserts the frame number in front of the name's last four characters.
void checkOutputName(const std::string& output) {
    const std::string extension = output.size() >= 4 ? output.substr(output.size() - 4) : "";
    if (extension != ".wrl" && extension != ".WRL")
        throw UsageError("-o: the file name must end in .wrl (frame numbers go in front of it), got \"" + output + "\"");
}

// The file a prompt announces: the plug-in shows one as it starts each file.
std::optional<std::string_view> fileOfPrompt(std::string_view prompt) {
    constexpr std::string_view kPrefix = kVRMLExportingPrompt;
    constexpr std::string_view kSuffix = kVRMLExportingPromptEnd;
    if (!prompt.starts_with(kPrefix) || !prompt.ends_with(kSuffix) || prompt.size() < kPrefix.size() + kSuffix.size())
        return std::nullopt;
    return prompt.substr(kPrefix.size(), prompt.size() - kPrefix.size() - kSuffix.size());
}

// The files the run started, in order.
std::vector<std::string> filesStarted() {
    std::vector<std::string> files;
    for (const std::string& prompt : host::hostLog().prompts)
        if (const auto file = fileOfPrompt(prompt)) files.emplace_back(*file);
    return files;
}

int exportOnce(ZVRMLAdapter::ExportParams& request, bool animate) {
    if (!animate) {
        ZVRMLAdapter adapter;
        return adapter.ExportVRMLData(request);
    }
    AnimatedExport adapter;
    return adapter.ExportAnimated(request);
}

}  // namespace

int runExport(const ExportOptions& options) {
    LoadedModel loaded = loadModel(options.model, options.fieldRoles);
    ModelStr& model = *loaded.model;
    const std::string output = options.output.value_or(loaded.defaultOutput);
    checkOutputName(output);
    if (options.html) findXite();  // before any scene is written
    WindowStr& window = prepareHost(model, options);
    if (!options.quiet) {
        for (const std::string& note : loaded.notes.lines)
            std::cerr << "sceneport: " << loaded.shownName << ": " << note << "\n";
        if (!model.placement.presentsFileCoordinates())
            std::cerr << "sceneport: " << loaded.shownName << ": " << host::placementText(model.placement) << "\n";
    }

    ZVRMLAdapter::ExportParams request;
    request.window = &window;
    request.model = &model;
    request.fileName = GuString(output.c_str());
    request.allFrames = options.allFrames;
    request.exportContours = !options.noContours;
    request.skinOnly = options.skinOnly;
    request.flaggedPartsOnly = !options.parts.empty();

    const std::string_view lastLine = options.animate ? kVRMLAnimationLastLine : kVRMLSceneLastLine;
    const int jobs = std::min(options.jobs.value_or(machineCores()), model.frameCount());
    if (options.allFrames && jobs > 1 && !model.parts.empty()) {
        const int status = exportFramesInParallel({request, output, lastLine, jobs, options.quiet});
        if (status != kExitWritten || !options.html) return status;
        std::vector<std::string> written;
        for (int frame = 0; frame < model.frameCount(); ++frame) written.push_back(frameFileName(output, frame));
        return writeExportPage(options, model, window, output, written);
    }
    int result = 0;
    {
        FileInProgress inProgress;
        TerminalDisplay display(options.quiet, options.allFrames ? model.frameCount() : 1,
                                [&inProgress](std::string_view prompt) {
                                    if (const auto file = fileOfPrompt(prompt)) inProgress.set(*file);
                                });
        try {
            result = exportOnce(request, options.animate);
            inProgress.clear();  // the files are closed; what the checks below find stays
        } catch (const std::exception& error) {
            display.endProgress();
            const std::vector<std::string> started = filesStarted();
            if (!started.empty()) removeUnfinished(started.back(), lastLine);
            std::cerr << "sceneport: the export stopped" << (started.empty() ? "" : " while writing " + started.back())
                      << ": " << error.what() << "\n";
            return kExitFailed;
        }
    }

    std::vector<std::string> written = filesStarted();
    if (result == kVRMLExportNoParts) {
        std::cerr << "sceneport: " << loaded.shownName << " has no parts to export\n";
        return kExitNothingToExport;
    }
    int status = kExitWritten;
    // With --all-frames the report names the frame, as the export in several processes does.
    const auto named = [&](const std::string& file, std::size_t position) {
        return options.allFrames ? file + " (frame " + std::to_string(position + 1) + ")" : file;
    };
    if (result == kVRMLExportCannotOpen) {
        // The run stops at the file it cannot open; those before it are complete and stay.
        const std::string failed = written.empty() ? output : written.back();
        if (!written.empty()) written.pop_back();
        std::cerr << "sceneport: cannot write " << named(failed, written.size()) << ": " << whyNotWritable(failed) << "\n";
        status = kExitNotWritten;
    }
    // A full disk does not stop the plug-in's stream; the files themselves tell.
    for (std::size_t position = 0; position < written.size(); ++position) {
        const std::string& file = written[position];
        if (endsWithLine(file, lastLine)) continue;
        removeUnfinished(file, lastLine);
        std::cerr << "sceneport: " << named(file, position) << " was not written to its end (is the disk full?) and was removed\n";
        status = kExitNotWritten;
    }
    if (status == kExitWritten && !options.quiet &&
        (result == kVRMLExportWrittenSinceSkip || result == kVRMLExportSkippedLast))
        reportLeftOutParts(model);
    if (status == kExitWritten && options.html) status = writeExportPage(options, model, window, output, written);
    return status;
}

}  // namespace sceneport
