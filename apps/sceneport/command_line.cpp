#include "command_line.h"

#include "view_presets.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <sched.h>
#include <string_view>
#include <thread>

namespace sceneport {
namespace {

// The spectrum texture is one row of 256 pixels; more bands than pixels could not be shown.
constexpr int kMaxBands = 256;
// Far beyond the cores of one machine; more would only divide the same cores finer.
constexpr int kMaxJobs = 256;

template <typename Number>
Number parseNumber(std::string_view option, std::string_view text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || text.empty())
        throw UsageError(std::string(option) + ": \"" + std::string(text) + "\" is not a number");
    if constexpr (std::is_floating_point_v<Number>) {
        if (!std::isfinite(value))
            throw UsageError(std::string(option) + ": \"" + std::string(text) + "\" is not a finite number");
    }
    return value;
}

ValueRange parseRange(std::string_view text) {
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        throw UsageError("--range: expected MIN:MAX, got \"" + std::string(text) + "\"");
    const ValueRange range{parseNumber<float>("--range", text.substr(0, colon)),
                           parseNumber<float>("--range", text.substr(colon + 1))};
    if (!(range.minimum < range.maximum))
        throw UsageError("--range: the minimum must be below the maximum, got \"" + std::string(text) + "\"");
    return range;
}

std::vector<std::string> splitNames(std::string_view text) {
    std::vector<std::string> names;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = std::min(text.find(',', start), text.size());
        if (comma > start) names.emplace_back(text.substr(start, comma - start));
        start = comma + 1;
    }
    if (names.empty()) throw UsageError("--parts: no part named");
    return names;
}

// Walks the arguments after the command name; options take their value from "--name=value" or
// from the next argument.
class ArgumentReader {
public:
    explicit ArgumentReader(const std::vector<std::string>& arguments) : m_arguments(arguments) {}

    bool next() {
        if (++m_index >= m_arguments.size()) return false;
        const std::string& argument = m_arguments[m_index];
        const size_t equals = argument.find('=');
        if (argument.starts_with("--") && equals != std::string::npos) {
            m_name = argument.substr(0, equals);
            m_inlineValue = argument.substr(equals + 1);
        } else {
            m_name = argument;
            m_inlineValue.reset();
        }
        return true;
    }
    const std::string& name() const { return m_name; }
    bool isOption() const { return m_name.size() > 1 && m_name[0] == '-'; }

    std::string value() {
        if (m_inlineValue) return *std::exchange(m_inlineValue, std::nullopt);
        if (m_index + 1 >= m_arguments.size()) throw UsageError(m_name + ": a value is missing");
        return m_arguments[++m_index];
    }
    void noValue() const {
        if (m_inlineValue) throw UsageError(m_name + " takes no value");
    }

private:
    const std::vector<std::string>& m_arguments;
    size_t m_index = 0;  // the command name
    std::string m_name;
    std::optional<std::string> m_inlineValue;
};

void takeModel(std::optional<std::string>& model, const std::string& argument) {
    if (model) throw UsageError("one model at a time: \"" + *model + "\" and \"" + argument + "\"");
    model = argument;
}

// --displacement and --failed, which export and info share; false for any other option.
bool takeFieldRole(ArgumentReader& reader, FieldRoles& roles) {
    std::string* role = reader.name() == "--displacement" ? &roles.displacement
                        : reader.name() == "--failed"     ? &roles.failed
                                                          : nullptr;
    if (role == nullptr) return false;
    *role = reader.value();
    if (role->empty()) throw UsageError(reader.name() + ": no field named");
    return true;
}

// The lines of both commands' help on --displacement and --failed.
constexpr const char* kFieldRoleHelp =
    "  --displacement FIELD   the node vector field that moves the nodes (default: one named\n"
    "                         displacement, displ, disp, depl, u, ..., in any case); none: no field\n"
    "  --failed FIELD         the element field whose non-zero values fail elements (default: one\n"
    "                         named failed, deleted or erosion); an element stays failed from the\n"
    "                         first frame it fails in, even where the value returns to 0\n";

Command parseExport(const std::vector<std::string>& arguments) {
    ExportOptions options;
    bool demo = false;
    ArgumentReader reader(arguments);
    while (reader.next()) {
        const std::string& name = reader.name();
        if (!reader.isOption()) {
            takeModel(options.model, name);
            continue;
        }
        if (name == "--help" || name == "-h") return HelpRequest{"export"};
        if (name == "-o" || name == "--output") options.output = reader.value();
        else if (name == "--demo") reader.noValue(), demo = true;
        else if (name == "--all-frames") reader.noValue(), options.allFrames = true;
        else if (name == "--frame") {
            options.frame = parseNumber<int>(name, reader.value());
            if (*options.frame < 1) throw UsageError("--frame: frames are numbered from 1, got " + std::to_string(*options.frame));
        } else if (name == "--contour") options.contour = reader.value();
        else if (name == "--no-contours") reader.noValue(), options.noContours = true;
        else if (name == "--skin-only") reader.noValue(), options.skinOnly = true;
        else if (name == "--parts") options.parts = splitNames(reader.value());
        else if (name == "--bands") {
            options.bands = parseNumber<int>(name, reader.value());
            if (*options.bands < 1 || *options.bands > kMaxBands)
                throw UsageError("--bands: between 1 and " + std::to_string(kMaxBands) + ", got " + std::to_string(*options.bands));
        } else if (name == "--range") options.range = parseRange(reader.value());
        else if (name == "--scale") options.scale = parseNumber<double>(name, reader.value());
        else if (name == "--view") {
            options.view = reader.value();
            if (findViewPreset(options.view) == nullptr)
                throw UsageError("--view: unknown view \"" + options.view + "\" (views: " + viewPresetNames() + ")");
        } else if (name == "--length-unit") {
            options.lengthUnit = parseNumber<double>(name, reader.value());
            if (!(*options.lengthUnit > 0.0)) throw UsageError("--length-unit: file units per scene unit must be above 0");
        } else if (name == "--keep-coordinates") reader.noValue(), options.keepCoordinates = true;
        else if (name == "--animate") reader.noValue(), options.animate = true;
        else if (name == "--html") reader.noValue(), options.html = true;
        else if (name == "--quiet" || name == "-q") reader.noValue(), options.quiet = true;
        else if (name == "--jobs" || name == "-j") {
            options.jobs = parseNumber<int>(name, reader.value());
            if (*options.jobs < 1 || *options.jobs > kMaxJobs)
                throw UsageError("--jobs: between 1 and " + std::to_string(kMaxJobs) + " processes, got " + std::to_string(*options.jobs));
        }
        else if (!takeFieldRole(reader, options.fieldRoles)) throw UsageError("export: unknown option " + name + " (see sceneport export --help)");
    }
    if (demo && options.model) throw UsageError("--demo and a model file \"" + *options.model + "\": choose one");
    if (options.contour && options.noContours) throw UsageError("--contour and --no-contours: choose one");
    if (options.lengthUnit && options.keepCoordinates)
        throw UsageError("--length-unit and --keep-coordinates: choose one");
    if (options.animate && options.allFrames)
        throw UsageError("--animate writes one file that plays every frame; it does not go with --all-frames");
    if (options.jobs > 1 && !options.allFrames)
        throw UsageError("--jobs shares the frames of --all-frames among processes; it needs --all-frames");
    return options;
}

Command parseServe(const std::vector<std::string>& arguments) {
    ServeOptions options;
    bool named = false;
    ArgumentReader reader(arguments);
    while (reader.next()) {
        const std::string& name = reader.name();
        if (!reader.isOption()) {
            if (named) throw UsageError("serve: one folder at a time: \"" + options.directory + "\" and \"" + name + "\"");
            options.directory = name, named = true;
        } else if (name == "--help" || name == "-h") return HelpRequest{"serve"};
        else if (name == "--port") {
            options.port = parseNumber<int>(name, reader.value());
            if (options.port < 0 || options.port > 65535) throw UsageError("--port: 0 to 65535, got " + std::to_string(options.port));
        } else throw UsageError("serve: unknown option " + name + " (see sceneport serve --help)");
    }
    return options;
}

Command parseInfo(const std::vector<std::string>& arguments) {
    InfoOptions options;
    bool demo = false;
    ArgumentReader reader(arguments);
    while (reader.next()) {
        const std::string& name = reader.name();
        if (!reader.isOption()) takeModel(options.model, name);
        else if (name == "--help" || name == "-h") return HelpRequest{"info"};
        else if (name == "--demo") reader.noValue(), demo = true;
        else if (!takeFieldRole(reader, options.fieldRoles)) throw UsageError("info: unknown option " + name + " (see sceneport info --help)");
    }
    if (!options.model && !demo) throw UsageError("info: name a model file, or --demo for the demo model");
    return options;
}

}  // namespace

int machineCores() {
    // The cores this process may run on (taskset, a batch system's allotment), not all the machine has.
    cpu_set_t allowed;
    const int cores = sched_getaffinity(0, sizeof allowed, &allowed) == 0 ? CPU_COUNT(&allowed)
                                                                         : static_cast<int>(std::thread::hardware_concurrency());
    return std::clamp(cores, 1, kMaxJobs);
}

Command parseCommandLine(const std::vector<std::string>& arguments) {
    if (arguments.empty()) throw UsageError("no command given (see sceneport --help)");
    const std::string& command = arguments.front();
    if (command == "--version" || command == "-V") return VersionRequest{};
    if (command == "--help" || command == "-h" || command == "help") return HelpRequest{""};
    if (command == "export") return parseExport(arguments);
    if (command == "info") return parseInfo(arguments);
    if (command == "serve") return parseServe(arguments);
    throw UsageError("unknown command \"" + command + "\" (commands: export, info, serve; see sceneport --help)");
}

std::string helpText(const std::string& topic) {
    if (topic == "export")
        return "Usage: sceneport export [MODEL | --demo] [options]\n"
               "Writes the scene of a model (the demo model without MODEL) as VRML 2.0 files.\n"
               "\n"
               "  -o, --output OUT.wrl   the file to write (default: the model's name with .wrl)\n"
               "  --all-frames           one file per frame: OUT1.wrl, OUT2.wrl, ...\n"
               "  --frame N              the frame to write, from 1 (default: the last)\n"
               "  --contour FIELD        the field whose contours colour the parts (default: the first)\n"
               "  --no-contours          parts in their own colours\n"
               "  --skin-only            solids as their outer skin only\n"
               "  --parts NAME,...       only these parts\n"
               "  --bands N              colour bands of the spectrum, 1 to 256 (default: 10); above 15\n"
               "                         the legend's title is cut off at the top of the view\n"
               "  --range MIN:MAX        a fixed spectrum range (default: the frame's values)\n"
               "  --scale S              deformation scale (default: 1)\n"
               "  --view " + viewPresetNames("|") + "   the direction the model is seen from (default: top)\n"
               "  --length-unit U        one scene unit is U file units (default: the power of ten that\n"
               "                         makes the model 40 to 400 units across)\n"
               "  --keep-coordinates     the file's own coordinates, not centred (models far from the\n"
               "                         origin or not tens of units across may be out of view)\n"
               "  --animate              one file that plays every frame's deformation\n"
               "  --html                 also OUT.html, a web page that shows the scenes (every frame\n"
               "                         with a slider, with --all-frames), and X_ITE in x_ite/ beside\n"
               "                         it; open it through a web server: sceneport serve FOLDER\n"
               "  -j, --jobs N           with --all-frames, N processes write the frames side by side\n"
               "                         after one read of the model (default: the machine's cores, " +
               std::to_string(machineCores()) + " here)\n"
               "  -q, --quiet            nothing on stdout or stderr unless something fails\n" +
               kFieldRoleHelp;
    if (topic == "serve")
        return "Usage: sceneport serve [FOLDER] [--port N]\n"
               "Serves FOLDER (default: the working directory) on http://127.0.0.1:N/ (default port\n"
               "8000; 0: any free one) with Python's http.server, for the pages export --html writes.\n"
               "Only this computer can connect. Ctrl-C stops it.\n";
    if (topic == "info")
        return std::string("Usage: sceneport info MODEL | --demo [options]\n"
                           "Lists a model's parts, nodes, frames and fields, the field that deforms it and\n"
                           "where its failures come from.\n\n") +
               kFieldRoleHelp;
    return "Usage: sceneport export [MODEL] [options]   write VRML scenes of a model\n"
           "       sceneport info MODEL                 list what a model holds\n"
           "       sceneport serve [FOLDER]             serve exported pages on 127.0.0.1\n"
           "       sceneport --version                  the plug-in's version\n"
           "\n"
           "MODEL is a result file: Exodus II, VTK (.vtu, .pvd, .vtk), EnSight Gold, LS-DYNA d3plot,\n"
           "CGNS, MSH with its views; or a mesh Gmsh reads (.unv, .bdf, .mesh, ...).\n"
           "See sceneport export --help for the export's options.\n";
}

}  // namespace sceneport
