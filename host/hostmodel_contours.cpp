// hostmodel: contour values, spectra and the spectrum texture of a window.
#include "host_calls.h"
#include "scene.h"
#include "session_state.h"

CZdbSpectrum::~CZdbSpectrum() = default;
ZETextureManager::~ZETextureManager() = default;

CZdbSpectrum* ApplGetSpectrum(WindowStr* window, const GuString* /*name*/) {
    HOST_CALL();
    // A window has one spectrum; it is the current one whatever name is asked for.
    if (window == nullptr || !window->hasSpectrum) return nullptr;
    return &window->spectrum;
}

ContourInfoStr* WindowGetContourInfo(WindowStr* window, ModelStr* model) {
    HOST_CALL();
    static ContourInfoStr none{};
    if (window == nullptr || window->model != model) {
        none = {};
        return &none;
    }
    return &window->contourInfo;
}

WindowInfoStr* WindowGetWinInfoPtr(WindowStr* window, ModelStr* model) {
    HOST_CALL();
    if (window == nullptr || window->model != model) return nullptr;
    return &window->info;
}

ZDbs* WindowInfoGetContour(WindowInfoStr* info) {
    HOST_CALL();
    if (info == nullptr || !info->contour.window->contourShown) return nullptr;
    return &info->contour;
}

int ContourDBUpdateValues(ModelStr* model, ZDbs* contourSettings, ContourUpdateStr* /*update*/, int /*flags*/) {
    HOST_CALL();
    auto* settings = dynamic_cast<host::ContourSettings*>(contourSettings);
    if (model == nullptr || settings == nullptr || settings->window->model != model) return 0;
    return settings->window->computeContour(model->result.currentState - 1) ? 1 : 0;
}

void ContourUpdateTexture(WindowStr* window, ModelStr* /*model*/, ZDbs* /*contourSettings*/, ContourUpdateStr* update) {
    HOST_CALL();
    if (window == nullptr || update == nullptr) return;
    window->texture.rebuild(update->colorCount, update->colorTable);
}

ZETextureManager* WindowGetTextureManager(WindowStr* window) {
    HOST_CALL();
    return window != nullptr ? &window->texture : nullptr;
}
