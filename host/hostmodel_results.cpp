// hostmodel: the model's result, its frames and its camera.
#include "handed_memory.h"
#include "host_calls.h"
#include "scene.h"
#include "session_state.h"

#include <cstring>

FePostResultStr* MdbGetManagerObject(ModelStr* model, int kind) {
    HOST_CALL();
    if (model == nullptr || kind != 0 || !model->hasResult) return nullptr;
    return &model->result;
}

const char* FePostGetResultNameFromResultType(FePostResultStr* result, int resultType) {
    HOST_CALL();
    for (const auto& model : host::sessionState().models)
        if (&model->result == result && resultType >= 0 && resultType < static_cast<int>(model->fields.size()))
            return model->fields[resultType].name.c_str();
    return "";
}

int SimVidCommonGetTimeArray(ModelStr* model, float** times) {
    HOST_CALL();
    if (times != nullptr) *times = nullptr;
    if (model == nullptr) return 0;
    const int frames = model->frameCount();
    if (times != nullptr && frames > 0) {
        *times = host::handOverArray<float>(frames);
        std::memcpy(*times, model->times.data(), sizeof(float) * frames);
    }
    return frames;
}

int DrawGetCurrentFrameIndex() {
    HOST_CALL();
    return host::currentFrame();
}

int SimVideoCommonUpdateModelForGivenFrame(ModelStr* model, float /*time*/, int frameNumber, double scaleX,
                                           double scaleY, double scaleZ) {
    HOST_CALL();
    if (model == nullptr) return 0;
    return model->setFrame(frameNumber - 1, {scaleX, scaleY, scaleZ}) ? 1 : 0;
}

char* SimVidCommonGetModelTitle(ModelStr* model) {
    HOST_CALL();
    const std::string& title = model != nullptr ? model->title : std::string();
    char* text = host::handOverArray<char>(title.size() + 1);
    std::memcpy(text, title.c_str(), title.size() + 1);
    return text;
}

int ResultObjGetCameraMatrix(ModelStr* model, int frameIndex, double translationFactor, double matrix[4][4]) {
    HOST_CALL();
    if (model == nullptr || matrix == nullptr) return 0;
    const int frames = model->hasResult ? model->frameCount() : 1;
    if (frameIndex < 0 || frameIndex >= frames) return 0;
    const host::Matrix4 camera =
        frameIndex < static_cast<int>(model->cameras.size()) ? model->cameras[frameIndex] : host::identityMatrix();
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) matrix[row][column] = camera[row][column];
    for (int column = 0; column < 3; ++column) matrix[3][column] *= translationFactor;
    return 1;
}

int FeGetCurrentSolver() {
    HOST_CALL();
    return host::application().solver;
}
