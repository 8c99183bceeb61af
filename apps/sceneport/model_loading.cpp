#include "model_loading.h"

#include "ZVRMLSceneText.h"
#include "demo_model.h"
#include "io/field_roles.h"
#include "io/file_format.h"
#include "run_state.h"

#include <filesystem>
#include <string_view>

namespace sceneport {
namespace {

bool isNone(std::string_view name) { return host::io::sameName(name, "none"); }

// A field the command line names that the file does not have in its role is a mistake of the
// command line, like --contour's: say which fields there are.
void checkFieldRoles(const LoadedModel& loaded, const FieldRoles& roles) {
    const auto refuse = [&](const std::string& option, const std::string& name, const std::string& wanted) {
        throw UsageError(option + ": " + loaded.shownName + " has no " + wanted + " \"" + name +
                         "\" (fields: " + fieldList(*loaded.model, loaded.notes) + ")");
    };
    if (!roles.displacement.empty() && !isNone(roles.displacement) &&
        !host::io::sameName(loaded.notes.deformedBy, roles.displacement))
        refuse("--displacement", roles.displacement, "vector field per node");
    if (!roles.failed.empty() && !host::io::sameName(loaded.notes.failuresFrom, roles.failed))
        refuse("--failed", roles.failed, "field per element");
}

}  // namespace

std::string fieldList(const ModelStr& model, const host::io::ReadNotes& notes) {
    std::string list;
    const auto add = [&](const std::string& name, bool atNodes) {
        const auto found = notes.fieldComponents.find(name);
        const int components = found == notes.fieldComponents.end() ? 1 : found->second;
        list += (list.empty() ? "\"" : ", \"") + name + "\" (" + std::to_string(components) +
                (components == 1 ? " component" : " components") + (atNodes ? " per node)" : " per element)");
    };
    if (!notes.deformedBy.empty()) add(notes.deformedBy, true);
    for (const host::Field& field : model.fields) add(field.name, field.location == host::ValueLocation::Node);
    if (!notes.failuresFrom.empty()) add(notes.failuresFrom, false);
    return list.empty() ? "none" : list;
}

LoadedModel loadModel(const std::optional<std::string>& path, const FieldRoles& roles) {
    if (!path) {
        if (!roles.displacement.empty() || !roles.failed.empty())
            throw UsageError("--displacement and --failed name fields of a model file; the demo model's are fixed");
        return {&host::buildDemoModel(), "the demo model", "demo.wrl", {}};
    }
    LoadedModel loaded{nullptr, *path, std::filesystem::path(*path).stem().string() + ".wrl", {}};
    // The supervisor watches the read for as long as it lasts, however it ends.
    struct Reading {
        explicit Reading(const std::string& file) {
            const host::io::FileFormat& format = host::io::fileFormatOf(file);
            announceReading(file, host::io::modelBytes(file, format), host::io::readerName(format.reader));
        }
        ~Reading() { announceWorking(); }
        Reading(const Reading&) = delete;
        Reading& operator=(const Reading&) = delete;
    } reading(*path);
    host::io::ReadOptions options;
    options.reservedNames = kVRMLWriterNodeNames;
    options.displacementField = roles.displacement;
    options.failedField = roles.failed;
    loaded.model = &host::io::readModel(*path, loaded.notes, options);
    checkFieldRoles(loaded, roles);
    return loaded;
}

}  // namespace sceneport
