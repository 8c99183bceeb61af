// `sceneport info`: what a model holds, as the export would see it.
#pragma once

#include "command_line.h"
#include "scene.h"

#include <ostream>

namespace sceneport {

int runInfo(const InfoOptions& options);

}  // namespace sceneport
