// An adapter that adds motion: the scene of the host's current frame, followed in the same file
// by a coordinate animation that plays the node positions of every frame in a one-second loop.
#pragma once

#include "ZVRMLAdapter.h"

class AnimatedExport : public ZVRMLAdapter {
public:
    // The export's own result code; the animation is added only when the scene was written
    // (results 1, 2 and 3). `request.allFrames` must be clear.
    int ExportAnimated(const ExportParams& request);

private:
    void addAnimation(ModelStr& model);
};
