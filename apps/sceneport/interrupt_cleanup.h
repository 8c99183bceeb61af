// An export stopped by a signal (Ctrl-C, a scheduler's SIGTERM, a closed terminal) must not
// leave a scene cut short behind: the file being written is removed before the process ends.
#pragma once

#include <string_view>

namespace sceneport {

class FileInProgress {
public:
    FileInProgress();   // catches SIGINT, SIGTERM and SIGHUP
    ~FileInProgress();  // lets them through again, and forgets the file
    FileInProgress(const FileInProgress&) = delete;
    FileInProgress& operator=(const FileInProgress&) = delete;

    void set(std::string_view path);  // the file being written from now on
    void clear();                     // nothing is being written
};

}  // namespace sceneport
