#pragma once

// The duplicate comparer: decides, on a worker thread, which of the found paths are files with
// byte-for-byte identical contents, and hands each duplicate group to its owner's
// user-interface thread.

#include "engine/content_classes.h"
#include "engine/first_block_filter.h"
#include "engine/report_batch.h"
#include "engine/string_list.h"
#include "engine/worker_driver.h"
#include "engine/worker_thread.h"
#include "platform/file_info.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

namespace corvane::engine {

class CompareWorker;

// A file the system would not open or read, with its reason (errno).
struct UnreadableFile {
    std::string path;
    int error = 0;
};

// A group of identical files, as the comparer hands it to its owner. Valid during the report
// only.
struct FoundGroup {
    const std::string& file;      // the group's first file
    const StringList& duplicates; // the files identical to it; never empty
    // What each was when it was compared, for a later check that it has not changed since.
    const platform::FileInfo& fileInfo;
    const std::vector<platform::FileInfo>& duplicateInfos; // parallel to duplicates
};

// The end report of a comparison. Valid during the report only. `failure` tells why a run ended
// early (the groups reported before it stand); the handler shows it to the user and handles its
// own failures: nothing reports for it.
struct CompareEnd {
    int32_t listCount = 0;
    int32_t duplicatesFound = 0;
    std::exception_ptr failure;
    // Files the system would not open or read, in the order met.
    const std::vector<UnreadableFile>& unreadableFiles;
};

using CompareProgressHandler =
    std::function<void(int32_t position, int32_t listCount, int32_t duplicatesFound)>;
using CompareFinishedHandler = std::function<void(const CompareEnd& end)>;
// While the files of one run of equal size are compared: fileCount files of fileSize bytes each,
// of whose fileCount * fileSize bytes bytesRead have been read so far (a file that differs from
// all others early is not read further, and a file may be read more than once).
using RunProgressHandler = std::function<void(int32_t fileCount, int64_t fileSize, int64_t bytesRead)>;
// While the first look reads the start of every file that may have a twin (see
// FirstBlockFilter): filesRead of fileCount files read so far.
using FirstLookProgressHandler = std::function<void(int32_t filesRead, int32_t fileCount)>;
using DuplicateGroupHandler = std::function<void(const FoundGroup& group)>;

// The comparer's driver: holds the list to compare; WorkerDriver starts and stops its worker.
class DuplicateComparer final : public WorkerDriver<CompareWorker> {
public:
    explicit DuplicateComparer(std::shared_ptr<UiThread> uiThread) : WorkerDriver(std::move(uiThread)) {}

    CompareProgressHandler onCompareProgress;
    CompareFinishedHandler onCompareFinished;
    DuplicateGroupHandler onDuplicateGroup;
    // Raised while a run takes long to compare, at most every runProgressInterval, before the
    // progress of its positions: a run of large files can take minutes.
    RunProgressHandler onRunProgress;
    // Raised at most every runProgressInterval while the first look runs, before any position's
    // progress: on a million files it takes seconds.
    FirstLookProgressHandler onFirstLookProgress;
    std::chrono::milliseconds runProgressInterval{250};
    // The full paths to compare, sorted by size ascending; or, with fileOrder, in any order.
    StringList fileList;
    // Empty, or the places in fileList of the paths to compare, sorted by size ascending: the
    // list compared is then fileList[fileOrder[0]], fileList[fileOrder[1]], ... A search keeps
    // its paths where the scan put them and orders only their numbers, and the first look reads
    // the files in fileList's order, the order the scan found them in.
    std::vector<uint32_t> fileOrder;
    // The sizes the scan reported for the list's entries, in the list's order, or empty: the
    // worker then looks each size up. The worker's copy is emptied once it has found the runs. Only the
    // bounds of the runs of equal size come from here; every file is checked again when it is read.
    std::vector<int64_t> fileSizes;
    // Memory for the chunks that one thread holds while it compares (see ContentClasses). A run
    // that cannot be compared within it ends the comparison with std::bad_alloc, as a machine
    // out of memory would.
    size_t memoryBudget = ContentClasses::kMemoryBudget;
    // The digest of the first look at every file (see FirstBlockFilter); tests give one that
    // collides.
    BlockDigest firstBlockDigest = blockDigest;
    // Empty, or one per position of the list: the order in which the first look reads the files,
    // best the order the scan found them in (see FirstBlockFilter::sift). Taken over by the next
    // start().
    std::vector<uint32_t> readingOrder;
    // Empty, or one per entry of fileList: what a look at the file's first block found while the
    // scan went on (FileScanner::lookAhead), made with firstBlockDigest; those files are not read
    // again for the first look. Taken over by the next start.
    std::deque<FirstLook> earlierLooks;

    // fileList becomes a copy of `list`, and fileSizes `sizes` (parallel to it, or empty).
    void setFileList(const StringList& list, std::vector<int64_t> sizes = {});
    // The same, taking over a list the caller no longer needs; the next start hands both lists on
    // to its worker instead of copying them, and fileList and fileSizes are empty after it. A
    // million paths are tens of megabytes: one copy is enough.
    void setFileList(StringList&& list, std::vector<int64_t> sizes = {});
    // The same with an order of the list's own (see fileOrder); `sizes` follows that order.
    void setFileList(StringList&& list, std::vector<uint32_t> order, std::vector<int64_t> sizes);

private:
    CompareWorker* makeWorker(std::shared_ptr<WorkerControl> control) override;

    bool handOver_ = false; // the lists were given over and go to the next worker as they are
};

// The comparer's worker. It walks fileList: only files of equal size that stand next to each
// other are compared, and for each file with identical files later in its run of equal size it
// reports a group of those not reported before. ContentClasses splits each run into classes of
// identical files (how often it reads a file's bytes is told there). A file that cannot be read
// (gone, not a regular file, access denied) joins no group and the files around it are compared
// as usual. Everything a handler learns comes in its report.
class CompareWorker final : public WorkerThread {
public:
    // Takes the handlers and settings of `driver`'s next run, compares `list` (see
    // DuplicateComparer::fileList, fileOrder and fileSizes), and starts.
    CompareWorker(DuplicateComparer* driver, StringList list, std::vector<uint32_t> order,
                  std::vector<int64_t> sizes, std::shared_ptr<UiThread> uiThread,
                  std::shared_ptr<WorkerControl> control);

    DuplicateComparer* owner;
    CompareProgressHandler onCompareProgress;
    CompareFinishedHandler onCompareFinished;
    DuplicateGroupHandler onDuplicateGroup;
    RunProgressHandler onRunProgress;                // the owner's, taken at construction
    FirstLookProgressHandler onFirstLookProgress;    // likewise
    std::chrono::milliseconds runProgressInterval{}; // likewise
    StringList fileList;
    std::vector<uint32_t> fileOrder; // as the owner's: empty, or the places of the list's positions
    std::vector<int64_t> fileSizes;
    int32_t position = 0;
    int32_t duplicatesFound = 0;
    std::unordered_set<std::string> reportedFiles;
    // Files the system would not open or read, in the order met; complete when the end report
    // runs, which hands them over.
    std::vector<UnreadableFile> unreadableFiles;

    // The list compared, position by position: fileList in fileOrder.
    OrderedPaths orderedList() const { return {fileList, fileOrder}; }
    size_t listCount() const { return orderedList().size(); }

private:
    // A run of equal size as found in the list, with two entries or more that may be compared:
    // where it starts, the size, and the positions of those entries.
    using Span = SizeRun;
    // What the comparison found in one run, by position from `first` on.
    struct Run {
        size_t first = 0;
        std::vector<int32_t> classOf;             // -1: in no class
        std::vector<platform::FileInfo> info;     // as read
        std::vector<int32_t> indexInClass;        // place among its class's members
        std::vector<std::vector<size_t>> members; // per class: its positions, ascending, each entry once
        std::vector<size_t> scanned;              // per class: members before this one are reported
    };

    void execute() override;
    void reportEnd() override;
    std::vector<Span> findRuns() const;
    Run makeRun(const Span& span, ContentClasses::Result result) const;
    void collectDuplicates(Run& run, size_t at);
    // Hands the queued reports over to the owner's thread.
    void deliverReports();
    void reportProgress();
    void reportRunProgress(int32_t fileCount, int64_t fileSize, int64_t bytesRead);

    size_t memoryBudget_;
    BlockDigest firstBlockDigest_;
    std::vector<uint32_t> readingOrder_;
    std::deque<FirstLook> earlierLooks_;

    // A report not yet delivered: the progress of a position, or a group found there, with the
    // counts as they were then.
    struct CompareReport {
        bool group = false;
        int32_t position = 0;
        int32_t duplicatesFound = 0;
        std::string groupFile;
        StringList groupDuplicates;
        platform::FileInfo groupFileInfo;
        std::vector<platform::FileInfo> groupDuplicateInfos;
    };
    void reportGroup(const CompareReport& report);
    ReportBatch<CompareReport> reports_;
};

} // namespace corvane::engine
