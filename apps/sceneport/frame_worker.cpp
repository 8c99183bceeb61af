#include "frame_worker.h"

#include "ZVRMLExportResult.h"
#include "export_report.h"
#include "host_log.h"
#include "interrupt_cleanup.h"
#include "run_state.h"
#include "scene_file_check.h"
#include "session.h"

#include <cerrno>
#include <exception>
#include <sys/prctl.h>
#include <unistd.h>

namespace sceneport {
namespace {

class NoteSender {
public:
    NoteSender(int pipe, int worker) : m_pipe(pipe), m_worker(worker) {}

    void send(NoteKind kind, int frame, int value = 0, std::string_view text = {}) const {
        WorkerNote note{};
        note.kind = kind;
        note.worker = m_worker;
        note.frame = frame;
        note.value = value;
        note.setText(text);
        // A parent that is gone cannot be told; the worker then ends with the next frame it asks for.
        while (write(m_pipe, &note, sizeof note) < 0 && errno == EINTR) {}
    }

private:
    int m_pipe;
    int m_worker;
};

// Writes one frame's file; false when the export must stop there.
bool writeFrame(const FrameWork& work, ZVRMLAdapter::ExportParams request, int frame, const NoteSender& notes,
                FileInProgress& inProgress) {
    const std::string file = frameFileName(work.output, frame);
    request.fileName = GuString(file.c_str());
    request.allFrames = false;
    notes.send(NoteKind::Started, frame);
    inProgress.set(file);
    int result = 0;
    try {
        // The host at the frame, as --all-frames brings it there before writing it.
        host::showFrame(frame);
        ZVRMLAdapter adapter;
        result = adapter.ExportVRMLData(request);
    } catch (const std::exception& error) {
        removeUnfinished(file, work.lastLine);
        inProgress.clear();
        notes.send(NoteKind::Stopped, frame, 0, error.what());
        return false;
    }
    inProgress.clear();
    if (result == kVRMLExportCannotOpen) {
        notes.send(NoteKind::CannotOpen, frame);
        return false;
    }
    // A full disk does not stop the plug-in's stream; the file itself tells.
    if (!endsWithLine(file, work.lastLine)) {
        removeUnfinished(file, work.lastLine);
        notes.send(NoteKind::CutShort, frame);
        return false;
    }
    notes.send(NoteKind::Written, frame, result);
    return true;
}

}  // namespace

void runFrameWorker(const FrameWork& work, int index, pid_t parent, const sigset_t& mask) {
    keepOwnRunState();
    // A parent that is killed takes its workers along; each then removes its unfinished file.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(1);

    const NoteSender notes(work.notes, index);
    // The host's messages go to the parent, which shows them; progress is the parent's to show.
    host::Display display;
    display.message = [&notes](const host::UserMessage& message) {
        notes.send(NoteKind::Message, -1, message.type, message.text);
    };
    host::setDisplay(&display);

    int status = 0;
    {
        FileInProgress inProgress;  // catches the stop signals, which the mask lets through from here
        sigprocmask(SIG_SETMASK, &mask, nullptr);
        for (int frame = work.queue->take(work.frameCount); frame >= 0; frame = work.queue->take(work.frameCount)) {
            // The log would otherwise keep every prompt and line of every frame.
            host::hostLog().prompts.clear();
            host::hostLog().console.clear();
            if (!writeFrame(work, work.request, frame, notes, inProgress)) {
                work.queue->fail(frame);
                status = 1;
                break;
            }
        }
    }
    host::setDisplay(nullptr);
    _exit(status);
}

}  // namespace sceneport
