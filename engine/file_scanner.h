#pragma once

// The file scanner: finds every file that a search asks for, on a worker thread, and hands each
// one to its owner's user-interface thread as it is found.

#include "engine/folder_walk.h"
#include "engine/report_batch.h"
#include "engine/string_list.h"
#include "engine/worker_driver.h"
#include "engine/worker_thread.h"
#include "platform/file_info.h"
#include "platform/local_time.h"

#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>

namespace corvane::engine {

class ScanWorker;

// A folder below a search path that could not be listed, with the system's reason (errno).
struct UnreadableFolder {
    std::string path; // ending in a separator
    int error = 0;
};

// One file found, as the scan hands it to its owner. Valid during the report only.
struct FoundFile {
    std::string_view path;
    // What the listing gave for it: size, creation time, identity.
    const platform::FileInfo& info;
    // The local calendar day of info.creationTime (1900-01-01 where the system cannot tell).
    platform::CivilDate createdOn;
    // The running totals of the scan, this file included.
    int64_t totalSize = 0;
    int32_t folderCount = 0;
    int32_t fileCount = 0;
};
using FileFoundHandler = std::function<void(const FoundFile& file)>;

// The end report of a scan. Valid during the report only; the handler may take over what the
// non-const members hold. `failure` tells why a run ended early (foundFiles then holds what was
// reported before); the handler shows it to the user and handles its own failures: nothing
// reports for it.
struct ScanEnd {
    StringList& foundFiles; // every path reported, in the order found
    std::exception_ptr failure;
    int32_t folderCount = 0; // subfolders entered
    // The subfolders that could not be listed, in the order met (once per pass that met them).
    const std::vector<UnreadableFolder>& unreadableFolders;
    // The trash folders passed over (subfolders, and search paths that lie in a trash), each
    // once, in the order met, without a trailing separator.
    const std::vector<std::string>& trashFoldersPassedOver;
    // With FileScanner::lookAhead: one per entry of foundFiles, what a look at its first block
    // found (kNotLooked for a file not looked at), for DuplicateComparer::EarlierLooks. Empty
    // otherwise.
    std::deque<FirstLook>& firstLooks;
};
using ScanFinishedHandler = std::function<void(ScanEnd& end)>;
// The date text of the command line: yyyy-MM-dd.
std::string isoDateText(const platform::CivilDate& date);

// Splits a pattern text into its patterns: ";" or blanks separate them, a pattern in double
// quotes may hold both, and a ";" at the very end adds one empty pattern.
StringList splitPatternText(const std::string& text);

// The path followed by a folder separator, unless it already ends in one.
std::string withTrailingSeparator(const std::string& path);

// The walks of a scan, in order: each search path once per pattern of its pattern text (entry i
// of `fileTypes` belongs to entry i of `searchPaths`); a text that names no pattern, none.
std::vector<ScanPass> scanPasses(const StringList& searchPaths, const StringList& fileTypes);

// The scanner's driver: holds the settings of the next run; WorkerDriver starts and stops its
// worker.
class FileScanner final : public WorkerDriver<ScanWorker> {
public:
    explicit FileScanner(std::shared_ptr<UiThread> uiThread) : WorkerDriver(std::move(uiThread)) {}

    FileFoundHandler onFileFound;
    ScanFinishedHandler onScanFinished;
    StringList fileTypes; // entry i: the pattern text of search path i
    bool recursive = true;
    StringList searchPaths; // the folders to search, parallel to fileTypes
    // Optional, for the command line; unset, they cost nothing.
    // Entries to leave out by their path (see EntryFilter): folders not entered, files not found.
    EntryFilter leaveOut;
    // Folders on another device than their search path are not entered.
    bool oneFileSystem = false;
    // A search path that is a regular file is searched as that one file (its patterns apply to its
    // name); otherwise it is a folder that cannot be listed.
    bool searchFileRoots = false;
    // The comparer's first look at files, taken while the scan goes on (see
    // FirstLookAhead): ScanWorker::firstLooks then holds what it found.
    FirstLookAhead lookAhead;

private:
    ScanWorker* makeWorker(std::shared_ptr<WorkerControl> control) override;
};

// The scanner's worker: one pass over every search path and pattern, one report per file found,
// exactly one end report, then it deletes itself. Everything a handler learns comes in its
// report.
class ScanWorker final : public WorkerThread {
public:
    // Takes the settings and handlers of `driver`'s next run, and starts.
    ScanWorker(FileScanner* driver, std::shared_ptr<UiThread> uiThread,
               std::shared_ptr<WorkerControl> control);

    FileScanner* owner;
    bool recursive;
    StringList fileTypes;
    StringList searchPaths;
    FileFoundHandler onFileFound;
    ScanFinishedHandler onScanFinished;
    StringList foundFiles;
    int64_t totalSize = 0;
    int32_t folderCount = 0;
    int32_t fileCount = 0;
    // What the end report hands over (see ScanEnd), complete when it runs.
    std::vector<UnreadableFolder> unreadableFolders;
    std::deque<FirstLook> firstLooks;
    std::vector<std::string> trashFoldersPassedOver;

private:
    void execute() override;
    void reportEnd() override;
    // Marks the passes over files and the devices of the search paths, as the settings ask.
    void lookAtRoots(std::vector<ScanPass>& passes) const;
    // The file pass of one folder: its entries that the pattern takes, reported as found.
    void scanFiles(const ScannedFolder& folder);
    platform::CivilDate localDate(int64_t seconds);
    bool alreadyFound(const std::string& path);
    // Hands the queued reports of files found over to the owner's thread.
    void deliverReports();
    // Winds the fields back to the last of the queued reports delivered (none: to before them).
    void forgetReportsAfter(size_t delivered);
    void noteTrashFolder(const std::string& path);

    EntryFilter leaveOut_;
    bool oneFileSystem_;
    bool searchFileRoots_;
    FirstLookAhead lookAhead_;
    std::string currentPattern;

    // The found-path test over foundFiles, by index, so that a path is stored only once.
    struct FoundHash {
        const StringList* list;
        size_t operator()(size_t index) const { return std::hash<std::string_view>{}((*list)[index]); }
    };
    struct FoundEqual {
        const StringList* list;
        bool operator()(size_t a, size_t b) const { return (*list)[a] == (*list)[b]; }
    };
    std::unordered_set<size_t, FoundHash, FoundEqual> foundIndex_;
    size_t indexed_ = 0; // foundFiles before this are in foundIndex_
    int passes_ = 0;     // walks begun, one per search path and pattern

    // A file found and not yet reported, with the totals as they were when it was found.
    struct FoundReport {
        size_t found = 0; // its place in foundFiles
        platform::FileInfo info;
        platform::CivilDate createdOn;
        int64_t totalSize = 0;
        int32_t fileCount = 0;
    };
    void reportFile(const FoundReport& report);
    ReportBatch<FoundReport> reports_;
    std::optional<std::pair<int64_t, platform::CivilDate>> lastDate_;
};

} // namespace corvane::engine
