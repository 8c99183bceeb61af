#include "model_loading.h"

#include "ZVRMLSceneText.h"
#include "demo_model.h"
#include "io/file_format.h"
#include "run_state.h"

#include <filesystem>

namespace sceneport {

LoadedModel loadModel(const std::optional<std::string>& path) {
    if (!path) return {&host::buildDemoModel(), "the demo model", "demo.wrl", {}};
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
    loaded.model = &host::io::readModel(*path, loaded.notes, options);
    return loaded;
}

}  // namespace sceneport
