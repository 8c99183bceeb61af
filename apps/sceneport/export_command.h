// `sceneport export`: reads the model, sets up a window as the options say and drives the
// plug-in as the host does; then checks every file it wrote.
#pragma once

#include "command_line.h"

namespace sceneport {

// The exit status (exit_status.h). Throws UsageError and host::io::ModelReadError.
int runExport(const ExportOptions& options);

}  // namespace sceneport
