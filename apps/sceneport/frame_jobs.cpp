#include "frame_jobs.h"

#include "ZVRMLExportResult.h"
#include "ZVRMLSceneText.h"
#include "exit_status.h"
#include "export_report.h"
#include "frame_worker.h"
#include "hostgen.h"
#include "hostmodel.h"
#include "hostrender.h"
#include "job_plumbing.h"
#include "terminal_display.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <poll.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace sceneport {
namespace {

enum class FrameState { Waiting, Writing, Written, Failed };

struct Worker {
    pid_t pid = -1;
    int frame = -1;  // the frame it writes, -1 between frames
    bool ended = false;
    bool stoppedOnPurpose = false;
};

// The first failure of the run: the export stops at its frame.
struct Failure {
    int frame;
    NoteKind kind;
    std::string why;  // what stopped the export, for Stopped
};

std::string signalText(int signal) {
    std::string text = strsignal(signal);
    if (!text.empty()) text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

class ParallelRun {
public:
    ParallelRun(const ParallelExport& job, int frameCount)
        : m_job(job), m_frames(static_cast<std::size_t>(frameCount), FrameState::Waiting), m_display(job.quiet, frameCount) {}

    void start(int workerCount, const sigset_t& workerMask) {
        FrameWork work{m_job.request, m_job.output, frameCount(), m_job.lastLine, m_queue.get(), m_pipe.writeEnd()};
        // Buffered output would otherwise be written again by every worker.
        std::cout.flush();
        std::cerr.flush();
        std::fflush(nullptr);
        const pid_t parent = getpid();
        for (int index = 0; index < workerCount; ++index) {
            const pid_t pid = fork();
            if (pid == 0) {
                close(m_pipe.readEnd());
                runFrameWorker(work, index, parent, workerMask);
            }
            if (pid < 0) {
                if (index == 0) throw std::runtime_error(std::string("cannot start a worker: ") + std::strerror(errno));
                break;  // fewer workers take more frames each
            }
            m_workers.push_back(Worker{pid});
        }
        m_pipe.closeWriteEnd();
    }

    // Until every worker ended: shows their progress, stops them on a failure or a stop signal.
    void watch(const SignalsAsReads& signals) {
        while (m_pipeOpen || !allEnded()) {
            pollfd watched[2] = {{signals.descriptor(), POLLIN, 0}, {m_pipe.readEnd(), POLLIN, 0}};
            if (poll(watched, m_pipeOpen ? 2 : 1, -1) < 0 && errno != EINTR) break;
            readNotes();
            if (const int stop = signals.takeStopSignal(); stop != 0 && m_stopSignal == 0) {
                m_stopSignal = stop;
                for (Worker& worker : m_workers) stopWorker(worker, stop);
            }
            reapWorkers();
        }
    }

    int stopSignal() const { return m_stopSignal; }

    // Removes what must not stay and tells the user how the export went; the exit status.
    int finish() {
        for (int frame = 0; frame < frameCount(); ++frame)
            if (m_frames[frame] == FrameState::Writing || m_frames[frame] == FrameState::Failed)
                removeUnfinished(fileOf(frame), m_job.lastLine);
        if (m_stopSignal != 0) return kExitFailed;
        if (m_failure) return reportFailure();
        if (m_job.quiet) return kExitWritten;
        // The line the plug-in ends an --all-frames run with.
        const GuString directory = GuStringFileName(m_job.request.fileName).GetPathName();
        ZGenWriteConsoleLinkMessage(ZGEN_MESSAGE_INFO, L"Exported all frames to directory: <a>%s</a>\n",
                                    directory.GetBuffer());
        if (m_leftOutParts) reportLeftOutParts(*m_job.request.model);
        return kExitWritten;
    }

private:
    int frameCount() const { return static_cast<int>(m_frames.size()); }
    std::string fileOf(int frame) const { return frameFileName(m_job.output, frame); }
    bool allEnded() const {
        return std::all_of(m_workers.begin(), m_workers.end(), [](const Worker& worker) { return worker.ended; });
    }

    void stopWorker(Worker& worker, int signal) {
        if (worker.ended) return;
        worker.stoppedOnPurpose = true;
        kill(worker.pid, signal);
    }

    // Takes the notes waiting in the pipe; notes the pipe's end once every worker closed it.
    void readNotes() {
        while (m_pipeOpen) {
            WorkerNote note;
            const ssize_t count = read(m_pipe.readEnd(), &note, sizeof note);
            if (count == 0) m_pipeOpen = false;
            if (count < 0 && errno != EINTR) return;
            // Notes are written whole, so they are read whole.
            if (count == static_cast<ssize_t>(sizeof note)) take(note);
        }
    }

    void take(const WorkerNote& note) {
        if (note.worker < 0 || note.worker >= static_cast<int>(m_workers.size())) return;
        Worker& worker = m_workers[note.worker];
        if (note.kind == NoteKind::Message) {
            ApplicationMessage(note.value, note.text);
            return;
        }
        if (note.frame < 0 || note.frame >= frameCount()) return;
        switch (note.kind) {
        case NoteKind::Started: {
            worker.frame = note.frame;
            m_frames[note.frame] = FrameState::Writing;
            const std::string prompt = std::string(kVRMLExportingPrompt) + fileOf(note.frame) + std::string(kVRMLExportingPromptEnd);
            LumoPromptSetSimple(prompt.c_str());
            break;
        }
        case NoteKind::Written:
            worker.frame = -1;
            m_frames[note.frame] = FrameState::Written;
            m_leftOutParts = m_leftOutParts || note.value == kVRMLExportWrittenSinceSkip || note.value == kVRMLExportSkippedLast;
            break;
        default:
            worker.frame = -1;
            fail({note.frame, note.kind, note.text});
        }
    }

    // Workers that ended, and what their end means for the frame they were writing.
    void reapWorkers() {
        for (Worker& worker : m_workers) {
            int status = 0;
            if (worker.ended || waitpid(worker.pid, &status, WNOHANG) != worker.pid) continue;
            worker.ended = true;
            readNotes();  // what it said before it ended is in the pipe by now
            if (worker.frame < 0 || worker.stoppedOnPurpose) continue;
            // It ended in the middle of a frame without saying why: a crash.
            const std::string how = WIFSIGNALED(status) ? "the process writing it crashed (" + signalText(WTERMSIG(status)) + ")"
                                                        : "the process writing it ended (exit status " + std::to_string(WEXITSTATUS(status)) + ")";
            m_queue.get()->fail(worker.frame);
            fail({worker.frame, NoteKind::Stopped, how});
        }
    }

    // The export stops at the earliest frame that failed; workers on later frames stop at once,
    // those on earlier ones finish them.
    void fail(const Failure& failure) {
        m_frames[failure.frame] = FrameState::Failed;
        if (m_failure && m_failure->frame < failure.frame) return;
        m_failure = failure;
        for (Worker& worker : m_workers)
            if (worker.frame > failure.frame) stopWorker(worker, SIGTERM);
    }

    int reportFailure() {
        m_display.endProgress();
        const int failed = m_failure->frame;
        int removed = 0;
        for (int frame = failed + 1; frame < frameCount(); ++frame) {
            if (m_frames[frame] == FrameState::Waiting) continue;
            std::error_code error;
            if (std::filesystem::remove(fileOf(frame), error)) ++removed;
        }
        const std::string file = fileOf(failed) + " (frame " + std::to_string(failed + 1) + ")";
        int status = kExitNotWritten;
        if (m_failure->kind == NoteKind::CannotOpen) {
            std::cerr << "sceneport: cannot write " << file << ": " << whyNotWritable(fileOf(failed)) << "\n";
        } else if (m_failure->kind == NoteKind::CutShort) {
            std::cerr << "sceneport: " << file << " was not written to its end (is the disk full?) and was removed\n";
        } else {
            std::cerr << "sceneport: the export stopped while writing " << file << ": " << m_failure->why << "\n";
            status = kExitFailed;
        }
        if (removed > 0)
            std::cerr << "sceneport: removed the " << removed << " file" << (removed == 1 ? "" : "s")
                      << " of later frames already written: the export stops at its first failure\n";
        return status;
    }

    const ParallelExport& m_job;
    std::vector<FrameState> m_frames;
    TerminalDisplay m_display;
    std::vector<Worker> m_workers;
    SharedQueue m_queue;
    NotePipe m_pipe;
    bool m_pipeOpen = true;
    std::optional<Failure> m_failure;
    bool m_leftOutParts = false;
    int m_stopSignal = 0;
};

}  // namespace

int exportFramesInParallel(const ParallelExport& job) {
    const int frameCount = std::max(job.request.model->frameCount(), 1);
    int stopSignal = 0;
    int status = kExitFailed;
    {
        const SignalsAsReads signals;
        ParallelRun run(job, frameCount);
        run.start(std::min(job.jobs, frameCount), signals.previousMask());
        run.watch(signals);
        status = run.finish();
        stopSignal = run.stopSignal();
    }
    if (stopSignal != 0) {
        // Ends as one process would, by the signal, so that the caller sees why it stopped.
        std::signal(stopSignal, SIG_DFL);
        raise(stopSignal);
    }
    return status;
}

}  // namespace sceneport
