// The session's objects, for the host's own implementation files.
#pragma once

#include "scene.h"
#include "session.h"

#include <memory>
#include <vector>

namespace host {

// The application object of ApplGetApplObject.
struct ApplicationObject final : ZDbs {
    bool ReadValue(int key, void* out) const override;
};

// The application root of zeapputl::GetAppRoot.
struct ApplicationRoot final : IZEDS3D {
    IZEView3D* GetView3D(WindowStr* window) override;
    IZEModelObject* GetModelObject(ModelStr* model) override;
};

struct SessionState {
    ApplicationSettings settings;
    ApplicationObject applicationObject;
    ApplicationRoot root;
    std::vector<std::unique_ptr<ModelStr>> models;
    std::vector<std::unique_ptr<WindowStr>> windows;
    int currentFrame = 0;
};

SessionState& sessionState();
ModelStr& addModel();
WindowStr& addWindow(ModelStr& model);
bool isLiveModel(const ModelStr* model);

}  // namespace host
