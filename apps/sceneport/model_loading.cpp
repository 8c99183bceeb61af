#include "model_loading.h"

#include "io/demo_model.h"

#include <filesystem>

namespace sceneport {

LoadedModel loadModel(const std::optional<std::string>& path) {
    if (!path) return {&host::io::buildDemoModel(), "the demo model", "demo.wrl", {}};
    LoadedModel loaded{nullptr, *path, std::filesystem::path(*path).stem().string() + ".wrl", {}};
    loaded.model = &host::io::readModel(*path, loaded.notes);
    return loaded;
}

}  // namespace sceneport
