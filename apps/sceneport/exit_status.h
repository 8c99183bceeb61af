// What the command's exit status tells a script.
#pragma once

namespace sceneport {

enum ExitStatus : int {
    kExitWritten = 0,        // every file was written (export results 1, 2 and 3)
    kExitFailed = 1,         // the model could not be read, or the export stopped on an error
    kExitUsage = 2,          // the command line asks for something impossible
    kExitNothingToExport = 3,  // the model has no parts
    kExitNotWritten = 4,     // a file could not be written or was left incomplete
};

}  // namespace sceneport
