// The running host application: its settings, its models and windows, and the frame it shows.
// One session per process; tests reset it before each case.
#pragma once

#include <string>

namespace host {

struct ApplicationSettings {
    bool hasApplicationObject = true;  // ApplGetApplObject returns null when false
    std::string applicationName = "Sceneport";        // attribute DBS_APPL_NAME
    std::string applicationVersion = "0.1.0";         // attribute DBS_APPL_VERSION
    std::string productName = "Sceneport host";       // ApplEnvGetProductNameAndData
    std::string productData = "in-memory scene";
    int solver = 0;                     // FeGetCurrentSolver (_FeSolverCode)
    bool unloadWarningEnabled = true;   // ZGenIsDLLUnloadWarningEnabled
};

ApplicationSettings& application();

// Drops every model and window, clears the log and call counts, and puts the application back
// to its defaults (frame 0, solver 0).
void resetSession();

// The frame the host shows (DrawGetCurrentFrameIndex). Showing a frame sets every model with a
// result to it and brings each window's contour values, spectrum and texture up to date, as the
// host's display does when the user changes frames.
void showFrame(int frameIndex);
int currentFrame();

}  // namespace host
