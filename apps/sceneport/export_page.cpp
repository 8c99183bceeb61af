#include "export_page.h"

#include "exit_status.h"
#include "scene_page.h"
#include "session.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>

namespace sceneport {
namespace {

namespace fs = std::filesystem;

std::string shortNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

ScenePage pageOf(const ExportOptions& options, const ModelStr& model, const WindowStr& window,
                 const std::vector<std::string>& written) {
    ScenePage page;
    page.title = model.title.empty() ? "Sceneport scene" : model.title;
    if (window.contourShown && window.field >= 0 && window.field < static_cast<int>(model.fields.size()))
        page.title += " — " + model.fields[window.field].name;
    for (const std::string& file : written) page.files.push_back(fs::path(file).filename().string());

    const int frameCount = model.frameCount();
    const auto timeOf = [&model](int frame) { return frame < static_cast<int>(model.times.size()) ? model.times[frame] : 0.0; };
    if (options.allFrames) {
        for (int frame = 0; frame < static_cast<int>(page.files.size()); ++frame) {
            page.numbers.push_back(frame + 1);
            page.times.push_back(timeOf(frame));
        }
        return page;
    }
    const int shown = std::max(host::currentFrame(), 0);
    page.numbers.push_back(shown + 1);
    page.times.push_back(timeOf(shown));
    if (options.animate && frameCount > 1)
        page.caption = std::to_string(frameCount) + " frames, time " + shortNumber(timeOf(0)) + " to " +
                       shortNumber(timeOf(frameCount - 1)) + ", played in a one-second loop";
    else if (frameCount > 0)
        page.caption = "Frame " + std::to_string(shown + 1) + " of " + std::to_string(frameCount) + " · time " +
                       shortNumber(timeOf(shown));
    return page;
}

}  // namespace

int writeExportPage(const ExportOptions& options, const ModelStr& model, const WindowStr& window,
                    const std::string& output, const std::vector<std::string>& written) {
    const fs::path pageFile = fs::path(output).replace_extension(".html");
    try {
        writeScenePage(pageOf(options, model, window, written), pageFile, findXite());
    } catch (const PageError& error) {
        std::cerr << "sceneport: the scenes are written, but not the page: " << error.what() << "\n";
        return kExitNotWritten;
    }
    if (!options.quiet) {
        const fs::path folder = pageFile.parent_path().empty() ? fs::path(".") : pageFile.parent_path();
        std::cout << "Wrote " << pageFile.string() << ", with X_ITE in " << (folder / "x_ite").string()
                  << ". To open it: sceneport serve " << folder.string() << "\n";
    }
    return kExitWritten;
}

}  // namespace sceneport
