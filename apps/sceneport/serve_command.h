// `sceneport serve FOLDER`: Python's http.server for a folder of pages, on 127.0.0.1 only.
#pragma once

#include "command_line.h"

namespace sceneport {

// Prints the address and the folder's pages, then becomes the server (which stops on Ctrl-C).
// Returns only when the server cannot start.
int runServe(const ServeOptions& options);

}  // namespace sceneport
