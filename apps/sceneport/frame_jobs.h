// `sceneport export --all-frames --jobs N`: the frames of one export written by N worker
// processes forked after the model was read, so that they share it copy-on-write. The files are
// those one process writes; the progress display and the report at the end are this process's.
// An export stops at its first failure as in one process: files of earlier frames stay, files of
// later frames that a worker already wrote are removed. A stop signal stops every worker, and
// no unfinished file stays behind.
#pragma once

#include "ZVRMLAdapter.h"

#include <string>
#include <string_view>

namespace sceneport {

struct ParallelExport {
    ZVRMLAdapter::ExportParams request;  // request.allFrames set, request.model with its parts
    std::string output;
    std::string_view lastLine;
    int jobs = 2;
    bool quiet = false;
};

// The exit status (exit_status.h). A stop signal ends this process by that signal, once the
// workers ended and the unfinished files are gone.
int exportFramesInParallel(const ParallelExport& job);

}  // namespace sceneport
