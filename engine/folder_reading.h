#pragma once

// Reading the folders of a scan: one folder's listing with the details of the entries a pattern
// takes, and threads that read the folders of the walk ahead of it, in the order the walk will
// visit them, so that listing and looking up entries overlap with reporting them.

#include "engine/first_block_filter.h"
#include "platform/file_info.h"
#include "platform/folder_handles.h"
#include "platform/folder_listing.h"
#include "platform/start_reads.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_set>
#include <utility>
#include <vector>

namespace corvane::engine {

class DiskThreads;

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
    // Empty, or per entry: what a look at its first block found while the folder was read ahead
    // (see FirstLookAhead); kNotLooked for the files not looked at.
    std::vector<FirstLook> looks;
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

// Optional, while the folders of a scan are read ahead: a first look at files (see
// FirstBlockFilter). The first block of a regular file of `minSize` to `maxSize` bytes is read and
// digested when another file of its size was looked up before it: nearly every such file belongs
// to a run of equal size that the comparison looks at, and a file of a size met once is never read.
struct FirstLookAhead {
    bool enabled = false;
    int64_t minSize = 1;
    int64_t maxSize = std::numeric_limits<int64_t>::max();
    BlockDigest digest = blockDigest;
};

// The folders that the walks of `passes` (see FolderWalk) will visit, read in that order, at most
// a bounded amount ahead of the scanner's own walks. The scanner's walks reach the same folders in
// the same order, since both walk the same listings in the same way. Passes over a file have no
// folders.
//
// One thread lists the folders in the walk's order; the lookups of their entries, one system call
// each and most of the work on a cold cache, are shared among threads that grow in number while
// the entries have to come from the disk (see DiskThreads), a piece of a folder at a time, the
// folders nearest to the walk first. A folder goes to the walk once all of its lookups are done,
// so the walk meets the folders in its own order whatever order the lookups finish in.
class FolderReadAhead {
public:
    // The lookups start on `lookupThreads` threads (tests ask for many, to see that the walk's
    // order holds whatever order the lookups finish in).
    FolderReadAhead(const std::vector<ScanPass>& passes, bool recursive, EntryFilter leaveOut = {},
                    FirstLookAhead lookAhead = {}, unsigned lookupThreads = 1);
    // Stops the threads and waits for them.
    ~FolderReadAhead();
    FolderReadAhead(const FolderReadAhead&) = delete;
    FolderReadAhead& operator=(const FolderReadAhead&) = delete;

    // The next folder of the walks, in their order. Nothing once the threads have ended early (out
    // of memory, most likely): the scanner then reads the remaining folders itself. A scanner that
    // leaves the order (after a stop) takes no more.
    std::optional<ScannedFolder> next();

    // Folders and entries held at most before the walk takes them.
    static constexpr size_t kMaxFolders = 256;
    static constexpr size_t kMaxEntries = 200000;
    // Entries of a folder looked up by one thread in one go.
    static constexpr size_t kPiece = 32;

private:
    // A folder listed, waiting for its entries to be looked up.
    struct Pending {
        ScannedFolder folder;
        std::unique_ptr<platform::FolderListing> listing; // open until every lookup is done
        std::vector<uint32_t> wanted;                     // the entries to look up
        size_t piecesHandedOut = 0;
        size_t piecesLeft = 0;
    };

    void list(const std::vector<ScanPass>& passes, bool recursive, const EntryFilter& leaveOut);
    void lookUp(DiskThreads& threads);
    void lookUpPiece(Pending& pending, size_t from, size_t to, platform::StartReads* reads);
    // False once the scanner wants no more folders.
    bool push(Pending pending);
    void end(); // the listing thread is done, or gives up

    FirstLookAhead lookAhead_;
    std::mutex mutex_;
    // Each waiter has its own signal, so that the many lookup threads are not all woken for each
    // folder done.
    std::condition_variable workCame_;  // for the lookup threads: pieces to do, or the end
    std::condition_variable frontDone_; // for the walk: the first folder is complete, or the end
    std::condition_variable roomFreed_; // for the listing thread: the walk took a folder, or the end
    std::deque<Pending> queue_;
    size_t queuedEntries_ = 0;
    size_t firstUnclaimed_ = 0; // the first folder of queue_ with pieces not handed out yet
    bool listed_ = false;       // the listing thread has pushed every folder of the walk
    bool failed_ = false;       // a thread ended early: no more folders come
    bool abandoned_ = false;    // the scanner wants no more folders
    // Sizes of the files looked up so far, for the look ahead.
    std::mutex sizesMutex_;
    std::unordered_set<int64_t> sizesSeen_;
    std::unique_ptr<DiskThreads> lookups_;
    std::thread listing_;
};

} // namespace corvane::engine
