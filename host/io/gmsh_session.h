// Gmsh keeps its models, views and options in one state per process. Everything that calls
// Gmsh (the reader, and the tests that write files with it) starts it here, so it is set up
// once and the same way: silent, and reporting errors instead of throwing or exiting.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace host::io {

// What Gmsh reported while it ran one request: its messages without their "Error: " or
// "Warning: " prefix, made safe to show (Gmsh quotes bytes of the file it read).
struct GmshReport {
    std::vector<std::string> errors;
    std::vector<std::string> warnings;

    bool failed() const { return !errors.empty(); }
    // The first error, with how many followed and the last of them.
    std::string summary() const;
};

// Initialises Gmsh on first use: no configuration files, nothing on the terminal, errors
// logged rather than thrown, so a rejected file leaves Gmsh's state as usable as a read one.
void startGmsh();

// Runs `request` against Gmsh (started) and returns what it reported meanwhile. Gmsh throws
// std::string when told to abort on errors; such an exception becomes an error of the report.
GmshReport runGmsh(const std::function<void()>& request);

}  // namespace host::io
