// What the processes of a parallel --all-frames export share: the frames still to write, handed
// out one at a time so that a faster process takes more, and the notes each process sends the one
// that started them.
#pragma once

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstddef>
#include <limits.h>  // PIPE_BUF
#include <string>
#include <string_view>

namespace sceneport {

// Lives in memory mapped shared before the workers are forked.
class FrameQueue {
public:
    // The next frame to write (0-based), or -1 when there is none: all were handed out, or one
    // before it failed and an export stops at its first failure.
    int take(int frameCount) {
        const int frame = m_next.fetch_add(1);
        return frame < frameCount && frame < m_firstFailed.load() ? frame : -1;
    }
    void fail(int frame) {
        int known = m_firstFailed.load();
        while (frame < known && !m_firstFailed.compare_exchange_weak(known, frame)) {}
    }

private:
    std::atomic<int> m_next{0};
    std::atomic<int> m_firstFailed{INT_MAX};
};

enum class NoteKind : int {
    Started,     // the worker began the frame's file
    Written,     // the file is complete; `value` holds the plug-in's result
    CannotOpen,  // the file could not be opened
    CutShort,    // the file does not end as a scene does (a full disk); it was removed
    Stopped,     // the export threw; `text` says why, the file was removed
    Message,     // the host showed a message; `value` is its type
};

// One event, written whole to a pipe: no larger than PIPE_BUF, so notes of several workers never
// interleave.
struct WorkerNote {
    NoteKind kind;
    int worker;  // the worker's index
    int frame;
    int value;
    char text[480];

    void setText(std::string_view from) {
        const std::size_t length = std::min(from.size(), sizeof text - 1);
        from.copy(text, length);
        text[length] = '\0';
    }
};
static_assert(sizeof(WorkerNote) <= PIPE_BUF);

// The file --all-frames writes for `frame` (0-based): the plug-in puts the frame's number in front
// of the name's last four characters, the extension.
inline std::string frameFileName(const std::string& output, int frame) {
    const std::size_t at = output.size() >= 4 ? output.size() - 4 : 0;
    return output.substr(0, at) + std::to_string(frame + 1) + output.substr(at);
}

}  // namespace sceneport
