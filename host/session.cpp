#include "session_state.h"

#include "handed_memory.h"
#include "host_log.h"
#include "hostgen.h"
#include "text_buffers.h"

#include <algorithm>

namespace host {

SessionState& sessionState() {
    static SessionState state;
    return state;
}

ApplicationSettings& application() { return sessionState().settings; }

void resetSession() {
    SessionState& state = sessionState();
    state.windows.clear();
    state.models.clear();
    state.settings = ApplicationSettings{};
    state.currentFrame = 0;
    hostLog().clear();
    releaseAllHandedOver();
    __ZxFreeLoopCount__ = 0;
}

ModelStr& addModel() {
    auto& models = sessionState().models;
    models.push_back(std::make_unique<ModelStr>());
    return *models.back();
}

WindowStr& addWindow(ModelStr& model) {
    auto& windows = sessionState().windows;
    windows.push_back(std::make_unique<WindowStr>());
    windows.back()->model = &model;
    return *windows.back();
}

bool isLiveModel(const ModelStr* model) {
    const auto& models = sessionState().models;
    return std::any_of(models.begin(), models.end(),
                       [model](const auto& owned) { return owned.get() == model; });
}

void showFrame(int frameIndex) {
    SessionState& state = sessionState();
    state.currentFrame = frameIndex;
    for (auto& model : state.models)
        if (model->hasResult && frameIndex >= 0 && frameIndex < model->frameCount())
            model->setFrame(frameIndex);
    for (auto& window : state.windows) window->refreshDisplay(frameIndex);
}

int currentFrame() { return sessionState().currentFrame; }

bool ApplicationObject::ReadValue(int key, void* out) const {
    const ApplicationSettings& settings = sessionState().settings;
    switch (key) {
        case DBS_APPL_NAME: copyToBuffer(settings.applicationName, static_cast<char*>(out), DBS_TEXT_BUFFER_SIZE); return true;
        case DBS_APPL_VERSION: copyToBuffer(settings.applicationVersion, static_cast<char*>(out), DBS_TEXT_BUFFER_SIZE); return true;
        default: return false;
    }
}

IZEView3D* ApplicationRoot::GetView3D(WindowStr* window) {
    if (window == nullptr || !window->hasView3D) return nullptr;
    return &window->view;
}

IZEModelObject* ApplicationRoot::GetModelObject(ModelStr* model) {
    if (model == nullptr || !isLiveModel(model)) return nullptr;
    return &model->appObject;
}

}  // namespace host
