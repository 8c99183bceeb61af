#include "vtk_messages.h"

#include <vtkLogger.h>
#include <vtkObjectFactory.h>
#include <vtkOutputWindow.h>
#include <vtkSmartPointer.h>

#include <algorithm>
#include <string_view>

namespace host::io {
namespace {

struct Collected {
    std::vector<std::string> errors, warnings;
};
Collected& collected() {
    static Collected messages;
    return messages;
}

// VTK's text as one line: its last line ("vtkXMLReader (0x55...): Error opening file"), less the
// object's name and address, with blanks trimmed.
std::string oneLine(std::string_view text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ' || text.back() == '\r')) text.remove_suffix(1);
    if (const std::size_t lastLine = text.find_last_of('\n'); lastLine != std::string_view::npos)
        text.remove_prefix(lastLine + 1);
    if (const std::size_t address = text.find("): "); address != std::string_view::npos && text.find(" (0x") < address)
        text.remove_prefix(address + 3);
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    return std::string(text);
}

// Each message once: readers repeat theirs for every array or piece.
void add(std::vector<std::string>& messages, const std::string& text) {
    const std::string line = oneLine(text);
    if (std::find(messages.begin(), messages.end(), line) == messages.end()) messages.push_back(line);
}

class CollectingWindow : public vtkOutputWindow {
public:
    static CollectingWindow* New();
    vtkTypeMacro(CollectingWindow, vtkOutputWindow)
    void DisplayText(const char*) override {}  // VTK's debug and plain text: not for the user
    void DisplayErrorText(const char* text) override { add(collected().errors, text); }
    // Some readers warn of what stops them ("Error reading ascii data"): such a warning is an error.
    void DisplayWarningText(const char* text) override {
        const std::string line = oneLine(text);
        add(line.starts_with("Error") ? collected().errors : collected().warnings, line);
    }
    void DisplayGenericWarningText(const char* text) override { DisplayWarningText(text); }
};
vtkStandardNewMacro(CollectingWindow);

// Messages some readers send to the logger directly.
void fromLogger(void*, const vtkLogger::Message& message) {
    if (message.verbosity == vtkLogger::VERBOSITY_ERROR) add(collected().errors, message.message);
    else if (message.verbosity == vtkLogger::VERBOSITY_WARNING) add(collected().warnings, message.message);
}
constexpr const char* kLoggerCallback = "sceneport";

}  // namespace

VtkMessages::VtkMessages() {
    clear();
    vtkOutputWindow::SetInstance(vtkSmartPointer<CollectingWindow>::New());
    vtkLogger::SetStderrVerbosity(vtkLogger::VERBOSITY_OFF);
    vtkLogger::AddCallback(kLoggerCallback, fromLogger, nullptr, vtkLogger::VERBOSITY_WARNING);
}

VtkMessages::~VtkMessages() {
    vtkLogger::RemoveCallback(kLoggerCallback);
    vtkOutputWindow::SetInstance(nullptr);
}

const std::vector<std::string>& VtkMessages::errors() const { return collected().errors; }
const std::vector<std::string>& VtkMessages::warnings() const { return collected().warnings; }

void VtkMessages::clear() { collected() = {}; }

std::string VtkMessages::summary() const {
    constexpr std::size_t kShown = 3;
    std::string text;
    for (std::size_t i = 0; i < errors().size() && i < kShown; ++i) text += (i ? "; " : "") + errors()[i];
    if (errors().size() > kShown) text += " (and " + std::to_string(errors().size() - kShown) + " more)";
    return text;
}

}  // namespace host::io
