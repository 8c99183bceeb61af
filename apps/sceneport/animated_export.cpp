#include "animated_export.h"

#include "ZVRMLExportResult.h"
#include "scene.h"
#include "session.h"

#include <map>
#include <vector>

namespace {

// Interpolator keys run from 0 to 1: the frame times mapped onto that range, or evenly spaced
// frames when the times do not increase (a map would merge equal keys).
std::vector<double> animationKeys(const std::vector<float>& times) {
    const size_t count = times.size();
    std::vector<double> keys(count, 0.0);
    if (count < 2) return keys;
    bool increasing = true;
    for (size_t k = 1; k < count; ++k) increasing = increasing && times[k] > times[k - 1];
    const double first = times.front();
    const double span = static_cast<double>(times.back()) - first;
    for (size_t k = 0; k < count; ++k)
        keys[k] = increasing ? (times[k] - first) / span : static_cast<double>(k) / static_cast<double>(count - 1);
    keys.back() = 1.0;  // exactly, whatever the rounding
    return keys;
}

}  // namespace

int AnimatedExport::ExportAnimated(const ExportParams& request) {
    const int result = ExportVRMLData(request);
    if (result == kVRMLExportNoParts || result == kVRMLExportCannotOpen) return result;
    if (request.model != nullptr && request.model->hasResult) addAnimation(*request.model);
    return result;
}

void AnimatedExport::addAnimation(ModelStr& model) {
    const int frameCount = model.frameCount();
    const int nodeCount = model.nodeCount();
    std::vector<std::vector<float>> positions(static_cast<size_t>(frameCount));
    for (int frame = 0; frame < frameCount; ++frame) {
        model.setFrame(frame);
        positions[frame] = model.currentCoords;
    }
    host::showFrame(host::currentFrame());  // the model shows its own frame again

    const std::vector<double> keys = animationKeys(model.times);
    std::map<double, float*> frames;
    for (int frame = 0; frame < frameCount; ++frame) frames[keys[frame]] = positions[frame].data();
    initialize();  // the animation starts at the left margin, after the scene's last line
    exportAnimations(frames, nodeCount);
}
