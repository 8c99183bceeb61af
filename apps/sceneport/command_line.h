// The command line: `sceneport export ...`, `sceneport info MODEL`, `sceneport serve DIR`,
// `sceneport --version`.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace sceneport {

// A command line that cannot be carried out; the message says what and why.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ValueRange {
    float minimum;
    float maximum;
};

// The fields that play a part other than a contour's, as the command line names them; empty: the
// reader finds them by their names (io/field_roles.h).
struct FieldRoles {
    std::string displacement;  // the node vector field that moves the nodes, or "none"
    std::string failed;        // the element field whose non-zero values fail elements
};

// --jobs when not given: a process per core this process may run on (docs/performance.md has the
// figures on two cores), at most kMaxJobs.
int machineCores();

struct ExportOptions {
    std::optional<std::string> model;  // none: the demo model
    std::optional<std::string> output;  // none: the model's name with .wrl, in the working directory
    bool allFrames = false;
    std::optional<int> frame;  // 1-based; none: the last
    std::optional<std::string> contour;  // none: the model's first field
    bool noContours = false;
    bool skinOnly = false;
    std::vector<std::string> parts;  // empty: every part
    std::optional<int> bands;
    std::optional<ValueRange> range;
    double scale = 1.0;
    std::string view = "top";  // the model as stored, as the host shows it without a camera
    bool animate = false;
    bool quiet = false;
    std::optional<int> jobs;  // worker processes for --all-frames (frame_jobs.h); none: machineCores()
    // How coordinates reach the scene: by default centred and in a power of ten of the file's unit
    // that frames the model; `lengthUnit` fixes the file units per scene unit; `keepCoordinates`
    // writes the file's own coordinates.
    std::optional<double> lengthUnit;
    bool keepCoordinates = false;
    FieldRoles fieldRoles;
    bool html = false;  // also a web page of the scenes, OUT.html, with X_ITE beside it
};

struct InfoOptions {
    std::optional<std::string> model;  // none: the demo model
    FieldRoles fieldRoles;
};

// A local web server for a folder of pages: 127.0.0.1 only.
struct ServeOptions {
    std::string directory = ".";
    int port = 8000;  // 0: any free port
};

struct VersionRequest {};

struct HelpRequest {
    std::string topic;  // "", "export", "info" or "serve"
};

using Command = std::variant<ExportOptions, InfoOptions, ServeOptions, VersionRequest, HelpRequest>;

// Throws UsageError for an unknown command or option, a missing or malformed value, or options
// that contradict each other.
Command parseCommandLine(const std::vector<std::string>& arguments);

// The text `sceneport --help` (topic "") or `sceneport <topic> --help` prints.
std::string helpText(const std::string& topic);

}  // namespace sceneport
