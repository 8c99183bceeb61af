// sceneport: a host application that reads finite-element models and drives the Sceneport
// plug-in to write VRML scenes of them.
#include "SceneportModule.h"
#include "command_line.h"
#include "exit_status.h"
#include "export_command.h"
#include "info_command.h"
#include "serve_command.h"
#include "io/model_reader.h"
#include "supervised_run.h"

#include <iostream>
#include <variant>

namespace {

using namespace sceneport;

int runVersion() {
    std::cout << "sceneport " << Sceneport_get_module_info(1) << "\n" << Sceneport_get_module_info(2) << "\n";
    return kExitWritten;
}

int run(const Command& command) {
    struct Runner {
        int operator()(const ExportOptions& options) const { return runExport(options); }
        int operator()(const InfoOptions& options) const { return runInfo(options); }
        int operator()(const ServeOptions& options) const { return runServe(options); }
        int operator()(const VersionRequest&) const { return runVersion(); }
        int operator()(const HelpRequest& help) const {
            std::cout << helpText(help.topic);
            return kExitWritten;
        }
    };
    return std::visit(Runner{}, command);
}

int runCommandLine(const std::vector<std::string>& arguments) {
    try {
        return run(parseCommandLine(arguments));
    } catch (const UsageError& error) {
        std::cerr << "sceneport: " << error.what() << "\n";
        return kExitUsage;
    } catch (const host::io::ModelReadError& error) {
        std::cerr << "sceneport: " << error.what() << "\n";
        return kExitFailed;
    } catch (const std::exception& error) {
        std::cerr << "sceneport: " << error.what() << "\n";
        return kExitFailed;
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    // The server reads no model, and Ctrl-C must reach it alone, once.
    if (!arguments.empty() && arguments.front() == "serve") return runCommandLine(arguments);
    return runSupervised([&arguments] { return runCommandLine(arguments); });
}
