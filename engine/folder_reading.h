#pragma once

// Reading the folders of a scan: one folder's listing with the details of the entries a pattern
// takes, and a second thread that reads the folders of the walk ahead of it, in the order the
// walk will visit them, so that listing and looking up entries overlap with reporting them.

#include "platform/file_info.h"
#include "platform/folder_handles.h"
#include "platform/folder_listing.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace corvane::engine {

// One folder as the walk needs it.
struct ScannedFolder {
    std::string path; // the folder, ending in a separator
    bool listed = false;
    int error = 0;                                // why it could not be listed (errno)
    std::pair<uint64_t, uint64_t> identity{0, 0}; // device and inode of the folder
    std::vector<platform::FolderEntry> entries;
    // Per entry: its details when the file pass takes it (it matches the pattern, is not a system
    // entry nor "." or ".."); nothing otherwise, or when it has gone since the listing was read.
    std::vector<std::optional<platform::FileInfo>> details;
    // Trash folders among its subfolders, left out of `entries`: no search enters a trash. Their
    // paths, without a trailing separator.
    std::vector<std::string> trashFolders;
};

// Entries a scan leaves out by their path, beyond its patterns: a folder left out is not entered,
// a file left out is not found. Called with the entry's full path (no trailing separator) on the
// scanner's threads, several at once; it must give the same answer each time for one path.
using EntryFilter = std::function<bool(const std::string& path, platform::EntryKind kind)>;

// Lists the folder `path`, opened as `where` says, and looks up the entries that `pattern` takes.
// Entries that `leaveOut` names, subfolders on another device than `device` (unless it is 0) and
// trash folders are dropped from the listing.
ScannedFolder readFolder(const std::string& path, const std::string& pattern,
                         platform::FolderRelativeName where, const EntryFilter& leaveOut = {},
                         uint64_t device = 0);

struct ScanPass;

// The folders that the walks of `passes` (see FolderWalk) will visit, read in that order on a
// thread of its own, at most a bounded amount ahead of the scanner's own walks. The scanner's walks
// reach the same folders in the same order, since both walk the same listings in the same way.
// Passes over a file have no folders.
class FolderReadAhead {
public:
    FolderReadAhead(const std::vector<ScanPass>& passes, bool recursive, EntryFilter leaveOut = {});
    // Stops the thread and waits for it.
    ~FolderReadAhead();
    FolderReadAhead(const FolderReadAhead&) = delete;
    FolderReadAhead& operator=(const FolderReadAhead&) = delete;

    // The next folder of the walks, in their order. Nothing once the thread has ended early (out
    // of memory, most likely): the scanner then reads the remaining folders itself. A scanner that
    // leaves the order (after a stop) takes no more.
    std::optional<ScannedFolder> next();

    // Folders and entries held at most before the walk takes them.
    static constexpr size_t kMaxFolders = 256;
    static constexpr size_t kMaxEntries = 200000;

private:
    void run(const std::vector<ScanPass>& passes, bool recursive, const EntryFilter& leaveOut);
    // False once the scanner wants no more folders.
    bool push(ScannedFolder folder);

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<ScannedFolder> queue_;
    size_t queuedEntries_ = 0;
    bool finished_ = false;  // the thread has read every folder of the walk
    bool abandoned_ = false; // the scanner wants no more folders
    std::thread thread_;
};

} // namespace corvane::engine
