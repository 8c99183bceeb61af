#include "info_command.h"

#include "exit_status.h"
#include "mesh_types.h"
#include "model_loading.h"

#include <algorithm>
#include <iomanip>
#include <iostream>
#include <sstream>

namespace sceneport {
namespace {

// How many times are listed before the list is shortened to its ends.
constexpr int kTimesListed = 12;

std::string elementSummary(const host::Part& part) {
    std::string summary;
    auto add = [&summary](int count, const char* name) {
        if (count == 0) return;
        summary += (summary.empty() ? "" : ", ") + std::to_string(count) + " " + name;
    };
    for (const host::MeshTypeInfo& info : host::kMeshTypes) add(part.elementCount(info.type), info.name);
    add(part.lineElementCount(), "2-node line");
    return summary.empty() ? "no elements" : summary;
}

void printParts(const ModelStr& model, std::ostream& out) {
    size_t width = 4;
    for (const auto& part : model.parts) width = std::max(width, part->name.size());
    out << "Parts: " << model.parts.size() << "\n";
    for (const auto& part : model.parts) {
        out << "  " << std::left << std::setw(static_cast<int>(width)) << part->name << "  "
            << part->dimensionality() << "D  " << elementSummary(*part);
        if (!part->sourceName.empty()) out << "  (in the file: \"" << part->sourceName << "\")";
        out << "\n";
    }
}

void printFrames(const ModelStr& model, std::ostream& out) {
    const int count = model.frameCount();
    out << "Frames: " << count;
    if (count > 0) {
        out << ", times";
        for (int frame = 0; frame < count; ++frame) {
            if (count > kTimesListed && frame == kTimesListed / 2) {
                out << " ...";
                frame = count - kTimesListed / 2;
            }
            out << " " << model.times[frame];
        }
    }
    out << "\n";
}

void printFields(const ModelStr& model, std::ostream& out) {
    out << "Fields: " << model.fields.size() << "\n";
    for (const host::Field& field : model.fields)
        out << "  " << field.name << "  per " << (field.location == host::ValueLocation::Node ? "node" : "element") << "\n";
}

}  // namespace

int runInfo(const InfoOptions& options) {
    const LoadedModel loaded = loadModel(options.model);
    const ModelStr& model = *loaded.model;
    std::ostringstream out;
    out << "Model: " << model.title << "\n";
    out << "Nodes: " << model.nodeCount() << "\n";
    printParts(model, out);
    printFrames(model, out);
    printFields(model, out);
    // What an export does by default with the coordinates (docs/scene.md).
    out << "Scene coordinates: " << host::placementText(host::framingPlacement(model.referenceCoords, host::identityMatrix()))
        << "\n";
    if (!loaded.notes.lines.empty()) {
        out << "Notes:\n";
        for (const std::string& note : loaded.notes.lines) out << "  " << note << "\n";
    }
    std::cout << out.str();
    return kExitWritten;
}

}  // namespace sceneport
