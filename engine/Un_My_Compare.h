#pragma once

// The duplicate comparer: decides, on a worker thread, which of the found paths are files with
// byte-for-byte identical contents, and hands each duplicate group to its owner's
// user-interface thread.

#include "engine/string_list.h"
#include "engine/worker_thread.h"
#include "platform/file_info.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

namespace corvane::engine {

class TCompareThread;

using TCompareProgressEvent =
    std::function<void(TCompareThread* Sender, int32_t Position, int32_t ListCount, int32_t DuplicatesFound)>;
using TCompareFinishedEvent =
    std::function<void(TCompareThread* Sender, int32_t ListCount, int32_t DuplicatesFound)>;
// GroupDuplicates is never empty; it is valid during the call only.
using TDuplicateGroupEvent = std::function<void(TCompareThread* Sender, const std::string& GroupFile,
                                                const StringList& GroupDuplicates)>;

// The comparer's driver: lives on the owner's user-interface thread, holds the list to compare,
// starts and stops its worker. Never waits for the worker.
class TmFileCompare {
public:
    explicit TmFileCompare(std::shared_ptr<UiThread> uiThread);
    // Detaches a running worker: it reports nothing more and ends on its own.
    ~TmFileCompare();
    TmFileCompare(const TmFileCompare&) = delete;
    TmFileCompare& operator=(const TmFileCompare&) = delete;

    TCompareThread* Worker = nullptr; // the current run's worker; valid only while Busy
    TCompareProgressEvent OnCompareProgress;
    TCompareFinishedEvent OnCompareFinished;
    TDuplicateGroupEvent OnDuplicateGroup;
    bool Busy = false;
    StringList FileList; // full paths, sorted by size ascending

    // FileList becomes a copy of `list`.
    void SetFileList(const StringList& list);
    // Starts a run unless one is under way; throws when the worker cannot be created (Busy then
    // stays false).
    void Start();
    // Asks a running worker to end; returns at once. Does nothing while idle.
    void Stop();

private:
    std::shared_ptr<UiThread> uiThread_;
    std::shared_ptr<WorkerControl> workerControl_; // outlives the worker
};

// The comparer's worker. It walks FileList: only files of equal size that stand next to each
// other are compared, and for each file with identical files later in its run of equal size it
// reports a group of those not reported before. Each file of a run is read at most once. A file
// that cannot be read (gone, not a regular file, access denied) joins no group and the files
// around it are compared as usual. Handlers may read its fields during a report.
class TCompareThread final : public WorkerThread {
public:
    TCompareThread(TmFileCompare* owner, TCompareProgressEvent onCompareProgress,
                   TCompareFinishedEvent onCompareFinished, TDuplicateGroupEvent onDuplicateGroup,
                   const StringList& fileList, std::shared_ptr<UiThread> uiThread,
                   std::shared_ptr<WorkerControl> control);

    TmFileCompare* Owner;
    TCompareProgressEvent OnCompareProgress;
    TCompareFinishedEvent OnCompareFinished;
    TDuplicateGroupEvent OnDuplicateGroup;
    StringList FileList;
    int32_t Position = 0;
    int32_t DuplicatesFound = 0;
    std::string GroupFile;
    std::unordered_set<std::string> ReportedFiles;
    StringList GroupDuplicates;
    // What GroupFile and each of GroupDuplicates were when they were compared, for a later check
    // that a file has not changed since.
    platform::FileInfo GroupFileInfo;
    std::vector<platform::FileInfo> GroupDuplicateInfos;

private:
    // One run of equal size: list positions [first, end) and what the comparison found.
    struct Run {
        size_t first = 0;
        size_t end = 0;
        std::vector<int32_t> classOf;             // per position of the run; -1: in no class
        std::vector<platform::FileInfo> info;     // per position of the run
        std::vector<int32_t> indexInClass;        // per position of the run
        std::vector<std::vector<size_t>> members; // per class: its positions, ascending
        std::vector<std::string> identity;        // per position: what tells two entries apart
        std::vector<bool> distinct;               // per class: no entry appears twice in it
        std::vector<size_t> scanned;              // per class: members before this one are reported
        bool complete = true;
    };

    void Execute() override;
    void Walk();
    Run CompareRun(size_t first);
    void CollectDuplicates(Run& run, size_t position);
    void ReportProgress();
    void ReportGroup();
    void ReportCompareEnd();
};

} // namespace corvane::engine
