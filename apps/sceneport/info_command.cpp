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

int componentsOf(const std::string& field, const host::io::ReadNotes& notes) {
    const auto found = notes.fieldComponents.find(field);
    return found == notes.fieldComponents.end() ? 1 : found->second;
}

std::string componentsText(int components) {
    return std::to_string(components) + (components == 1 ? " component" : " components");
}

void printFields(const ModelStr& model, const host::io::ReadNotes& notes, bool demo, std::ostream& out) {
    std::size_t width = 4;
    for (const host::Field& field : model.fields) width = std::max(width, field.name.size());
    out << "Fields: " << model.fields.size() << "\n";
    for (const host::Field& field : model.fields)
        out << "  " << std::left << std::setw(static_cast<int>(width)) << field.name << "  per "
            << std::setw(7) << (field.location == host::ValueLocation::Node ? "node" : "element") << "  "
            << componentsText(componentsOf(field.name, notes)) << "\n";
    if (demo) return;  // the demo model's roles are its own, not fields found by name
    out << "Deformed by: "
        << (notes.deformedBy.empty() ? "no field (name one with --displacement FIELD)"
                                     : "\"" + notes.deformedBy + "\", " + componentsText(componentsOf(notes.deformedBy, notes)) + " per node")
        << "\n";
    out << "Failures from: "
        << (notes.failuresFrom.empty() ? "nothing (name an element field with --failed FIELD)"
                                       : "\"" + notes.failuresFrom + "\", non-zero per element; an element stays failed from "
                                         "its first failed frame on")
        << "\n";
}

}  // namespace

int runInfo(const InfoOptions& options) {
    const LoadedModel loaded = loadModel(options.model, options.fieldRoles);
    const ModelStr& model = *loaded.model;
    std::ostringstream out;
    out << "Model: " << model.title << "\n";
    out << "Nodes: " << model.nodeCount() << "\n";
    printParts(model, out);
    printFrames(model, out);
    printFields(model, loaded.notes, !options.model, out);
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
