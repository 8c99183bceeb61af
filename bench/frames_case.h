// sceneport-bench --frames F: a long result exported by the sceneport command, frame after frame
// in one process (--jobs 1) and in two worker processes (--jobs 2), from a model file of the box
// with F frames. Reading the file is timed apart from the frames' export.
#pragma once

#include "bench_options.h"

namespace bench {

int runFramesCase(const BenchOptions& options);

}  // namespace bench
