// One search from the command line, as the main window chains it.

#include "cli/search_run.h"

#include "cli/counted.h"
#include "cli/progress_line.h"
#include "cli/terminal_text.h"
#include "engine/duplicate_comparer.h"
#include "engine/file_scanner.h"
#include "engine/queued_ui_thread.h"
#include "engine/search_filters.h"
#include "engine/search_order.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <exception>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <set>
#include <unistd.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <sys/stat.h>

namespace corvane::cli {

namespace {

using engine::StringList;

struct UnreadableEntry {
    std::string path;
    int error = 0;
};

void reportUnreadable(const char* what, std::string path, int error) {
    // A folder's path without the separator the walk adds.
    if (path.size() > 1 && path.back() == platform::kPathSeparator) {
        path.pop_back();
    }
    std::fprintf(stderr, "corvane-cli: cannot read %s %s: %s\n", what, shownOn(stderr, path).c_str(),
                 error ? std::strerror(error) : "unknown reason");
}

void giveBackFreedMemory() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

// One search, step by step. The drivers' handlers only forward to the steps below, which run on
// the inline "user-interface thread" in the order the workers report: files found, the scan's
// end (which orders the files and starts the comparison), groups found, the comparison's end.
class SearchRun {
public:
    SearchRun(const SearchRequest& request, const FindSettings& settings, const SearchKeeps& keeps);

    // Runs the search to its end; throws what ended a worker's run early.
    SearchResult run();

private:
    using Clock = std::chrono::steady_clock;

    // The rows of the scan's list the comparer takes, in its order, with their sizes.
    struct RowsToCompare {
        std::vector<uint32_t> order;
        std::vector<int64_t> sizes;
    };

    const engine::SearchFilters& filters() const { return request_.filters; }

    // Before the search.
    void warnAboutPatterns() const;
    void checkRoots();
    void setUpScanner();
    void setUpComparer();
    // Starts the scan and waits until the comparison after it (or a failure) has ended the search.
    void scanAndCompare();

    // The workers' reports, in the order they come; each handler forwards its report to one of these.
    void fileFound(const engine::FoundFile& file);
    void scanFinished(engine::ScanEnd& end);
    // The two steps of the scan's end when it ended well.
    RowsToCompare orderFoundFiles(const StringList& foundFiles);
    void startComparing(StringList& foundFiles, RowsToCompare rows,
                        std::deque<engine::FirstLook>& firstLooks);
    void showCompareProgress(int32_t position, int32_t listCount, int32_t duplicatesFound);
    void duplicateGroupFound(const engine::FoundGroup& found);
    void compareFinished(const engine::CompareEnd& end);

    // The end of the search: on the workers' side, then on the caller's.
    void finish(std::exception_ptr endedBy);
    void waitUntilFinished();
    void reportUnreadableEntries();
    void printStageTimes() const;

    const SearchRequest& request_;
    const FindSettings& settings_;
    const SearchKeeps& keeps_;

    std::shared_ptr<engine::InlineUiThread> uiThread_ = std::make_shared<engine::InlineUiThread>();
    engine::FileScanner scanner_{uiThread_};
    engine::DuplicateComparer comparer_{uiThread_};
    ProgressLine progress_;
    SearchResult result_;

    Clock::time_point startedAt_, scannedAt_, orderedAt_, comparedAt_;
    // One per file found, in the order found: what the ordering step sorts by.
    std::vector<engine::SearchOrderKey> orderKeys_;
    // With --save: each row's size and day, in the order found.
    std::vector<SearchedFile> foundRows_;
    // With --skip-hard-links: the files met, and the rows that are a further name of one of them.
    engine::FurtherNames filesMet_;
    std::vector<bool> isFurtherName_;
    std::vector<UnreadableEntry> unreadableFolders_;
    std::vector<UnreadableEntry> unreadableFiles_;

    std::mutex finishedMutex_;
    std::condition_variable finishedChanged_;
    bool finished_ = false;
    std::exception_ptr failure_; // what ended the search early
};

SearchRun::SearchRun(const SearchRequest& request, const FindSettings& settings, const SearchKeeps& keeps)
    : request_(request), settings_(settings), keeps_(keeps), progress_(!request.quiet) {}

SearchResult SearchRun::run() {
    warnAboutPatterns();
    checkRoots();
    startedAt_ = Clock::now();
    setUpScanner();
    setUpComparer();
    scanAndCompare();
    reportUnreadableEntries();
    if (failure_) {
        std::rethrow_exception(failure_);
    }
    if (request_.stats) {
        printStageTimes();
    }
    return std::move(result_);
}

void SearchRun::warnAboutPatterns() const {
    for (const std::string& warning : patternWarnings(request_)) {
        std::fprintf(stderr, "corvane-cli: warning: %s\n", warning.c_str());
    }
}

// Names on stderr the FOLDERs that cannot be searched, and counts them: those that are not there
// (or are no folder or file) and those that cannot be read.
void SearchRun::checkRoots() {
    for (const std::string& folder : request_.folders) {
        bool isFile = false;
        if (const std::string reason = searchRootProblem(folder, &isFile); !reason.empty()) {
            std::fprintf(stderr, "corvane-cli: cannot search %s: %s\n", shownOn(stderr, folder).c_str(),
                         reason.c_str());
            ++result_.missingFolders;
            continue;
        }
        if (isFile) {
            continue; // searched as that one file
        }
        if (const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); fd < 0) {
            reportUnreadable("folder", folder, errno);
            ++result_.unreadableFolders;
        } else {
            ::close(fd);
        }
    }
}

void SearchRun::setUpScanner() {
    scanner_.recursive = true;
    scanner_.searchPaths = request_.folders;
    scanner_.fileTypes = request_.patterns;
    scanner_.searchFileRoots = true;
    engine::applyToScanner(filters(), scanner_);
    // The first look at the files the comparison will read goes on while the scan does: the
    // comparison then reads again only files whose size the scan met once.
    scanner_.lookAhead.enabled = true;
    scanner_.lookAhead.minSize = std::max<int64_t>(filters().minSize, 1);
    scanner_.lookAhead.maxSize = filters().maxSize;
    scanner_.onFileFound = [this](const engine::FoundFile& file) { fileFound(file); };
    scanner_.onScanFinished = [this](engine::ScanEnd& end) { scanFinished(end); };
}

void SearchRun::setUpComparer() {
    comparer_.memoryBudget = settings_.compareMemoryBudget;
    comparer_.onCompareProgress = [this](int32_t position, int32_t listCount, int32_t duplicatesFound) {
        showCompareProgress(position, listCount, duplicatesFound);
    };
    comparer_.onDuplicateGroup = [this](const engine::FoundGroup& found) { duplicateGroupFound(found); };
    comparer_.onCompareFinished = [this](const engine::CompareEnd& end) { compareFinished(end); };
}

void SearchRun::scanAndCompare() {
    // Driver calls belong on the "user-interface thread" too: under the inline runner's lock.
    uiThread_->runAndWait([this] { scanner_.start(); });
    waitUntilFinished();
    progress_.clear();
    // The workers have delivered their end reports; let their threads finish before the drivers go.
    engine::WorkerThread::waitUntilNoneRuns(std::chrono::seconds(10));
}

void SearchRun::fileFound(const engine::FoundFile& file) {
    orderKeys_.push_back({file.info.size, engine::dayNumber(file.createdOn)});
    if (filters().skipHardLinks) {
        isFurtherName_.push_back(filesMet_.isFurtherName(file.info));
    }
    if (keeps_.searchedFiles) {
        foundRows_.push_back({{}, file.info.size, file.createdOn});
    }
    progress_.show([&] {
        return "Found " + counted(file.fileCount, "file", "files") + " in " +
               counted(file.folderCount, "folder", "folders");
    });
}

void SearchRun::scanFinished(engine::ScanEnd& end) {
    for (const engine::UnreadableFolder& folder : end.unreadableFolders) {
        unreadableFolders_.push_back({folder.path, folder.error});
    }
    result_.trashFoldersPassedOver = end.trashFoldersPassedOver;
    if (end.failure) {
        finish(end.failure);
        return;
    }
    StringList& foundFiles = end.foundFiles;
    try {
        scannedAt_ = Clock::now();
        RowsToCompare rows = orderFoundFiles(foundFiles);
        orderedAt_ = Clock::now();
        if (rows.order.empty()) {
            finish(nullptr);
            return;
        }
        startComparing(foundFiles, std::move(rows), end.firstLooks);
    } catch (...) {
        finish(std::current_exception());
    }
}

// Puts the rows found in the comparer's order, counts those searched and, with --save, keeps the
// size and day of each in that order. Rows outside the size limits, and further names of a file met
// before with --skip-hard-links, are left out of the comparison.
SearchRun::RowsToCompare SearchRun::orderFoundFiles(const StringList& foundFiles) {
    RowsToCompare rows;
    rows.order = engine::searchOrder(orderKeys_);
    // The paths stay where the scan put them: the comparer takes the rows it compares in
    // their order, and reads their first blocks in the order found.
    rows.sizes.reserve(foundFiles.size());
    std::vector<uint32_t> comparedRows; // only with limits: the rows compared, in order
    const bool filtered = filters().limitsSizes() || filters().skipHardLinks;
    size_t searched = 0;
    for (uint32_t row : rows.order) {
        const bool furtherName = filters().skipHardLinks && isFurtherName_[row];
        if (keeps_.searchedFiles && !furtherName) {
            result_.files.push_back(std::move(foundRows_[row]));
            result_.files.back().path = foundFiles[row];
        }
        searched += furtherName ? 0 : 1;
        const int64_t size = orderKeys_[row].size;
        if (!furtherName && filters().compares(size)) {
            rows.sizes.push_back(size);
            if (filtered) {
                comparedRows.push_back(row);
            }
        }
    }
    std::vector<engine::SearchOrderKey>().swap(orderKeys_); // gives the memory back, unlike clear()
    if (filtered) {
        rows.order = std::move(comparedRows);
    }
    result_.searched = static_cast<int32_t>(searched);
    return rows;
}

void SearchRun::startComparing(StringList& foundFiles, RowsToCompare rows,
                               std::deque<engine::FirstLook>& firstLooks) {
    // The scan's threads are done: what their memory pools hold freed goes back to the
    // system before the comparison takes its own.
    giveBackFreedMemory();
    comparer_.setFileList(std::move(foundFiles), std::move(rows.order), std::move(rows.sizes));
    comparer_.earlierLooks = std::move(firstLooks);
    comparer_.start(); // hands the lists over to the worker
}

void SearchRun::showCompareProgress(int32_t position, int32_t listCount, int32_t duplicatesFound) {
    progress_.show([&] {
        return "Comparing file " + std::to_string(position) + " of " + std::to_string(listCount) +
               ", Duplicate files found: " + std::to_string(duplicatesFound);
    });
}

void SearchRun::duplicateGroupFound(const engine::FoundGroup& found) {
    const platform::FileInfo& originalInfo = found.fileInfo;
    const std::vector<platform::FileInfo>& duplicateInfos = found.duplicateInfos;
    DuplicateGroup group{found.file,
                         std::vector<std::string>(found.duplicates.begin(), found.duplicates.end()),
                         originalInfo.size};
    if (keeps_.fileInfos) {
        std::vector<platform::FileInfo>& infos = result_.fileInfos.emplace_back();
        infos.push_back(originalInfo);
        infos.insert(infos.end(), duplicateInfos.begin(), duplicateInfos.end());
    }
    // Names of one inode (hard links) take its bytes once.
    std::vector<std::pair<uint64_t, uint64_t>> inodes{{originalInfo.device, originalInfo.inode}};
    inodes.reserve(duplicateInfos.size() + 1);
    for (const platform::FileInfo& info : duplicateInfos) {
        inodes.emplace_back(info.device, info.inode);
    }
    std::sort(inodes.begin(), inodes.end());
    inodes.erase(std::unique(inodes.begin(), inodes.end()), inodes.end());
    result_.reclaimable += group.size * static_cast<int64_t>(inodes.size() - 1);
    result_.groups.push_back(std::move(group));
}

void SearchRun::compareFinished(const engine::CompareEnd& end) {
    for (const engine::UnreadableFile& file : end.unreadableFiles) {
        unreadableFiles_.push_back({file.path, file.error});
    }
    result_.duplicates = end.duplicatesFound;
    comparedAt_ = Clock::now();
    finish(end.failure);
}

void SearchRun::finish(std::exception_ptr endedBy) {
    std::lock_guard lock(finishedMutex_);
    failure_ = std::move(endedBy);
    finished_ = true;
    finishedChanged_.notify_all();
}

void SearchRun::waitUntilFinished() {
    std::unique_lock lock(finishedMutex_);
    finishedChanged_.wait(lock, [this] { return finished_; });
}

// The folders and files the workers could not read, on stderr, and their counts.
void SearchRun::reportUnreadableEntries() {
    // Each once, though several passes (one per pattern) may have met it.
    std::set<std::string> reported;
    for (const UnreadableEntry& folder : unreadableFolders_) {
        if (reported.insert(folder.path).second) {
            reportUnreadable("folder", folder.path, folder.error);
        }
    }
    size_t files = 0;
    for (const UnreadableEntry& file : unreadableFiles_) {
        // Folders that match the patterns are searched entries too, but never files to read.
        struct stat st {};
        if (::lstat(file.path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
            reportUnreadable("file", file.path, file.error);
            ++files;
        }
    }
    result_.unreadableFolders += reported.size();
    result_.unreadableFiles = files;
}

void SearchRun::printStageTimes() const {
    const auto seconds = [](Clock::time_point from, Clock::time_point to) {
        return to >= from ? std::chrono::duration<double>(to - from).count() : 0.0;
    };
    std::fprintf(stderr, "scan %.3f s, order %.3f s, compare %.3f s\n", seconds(startedAt_, scannedAt_),
                 seconds(scannedAt_, orderedAt_), seconds(orderedAt_, comparedAt_));
}

} // namespace

SearchResult runSearch(const SearchRequest& request, const FindSettings& settings, const SearchKeeps& keeps) {
    return SearchRun(request, settings, keeps).run();
}

std::string searchRootProblem(const std::string& path, bool* isFile) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        if (isFile) {
            *isFile = true;
        }
        return {}; // searched as that one file
    }
    if (::stat(path.c_str(), &st) != 0) {
        return std::strerror(errno);
    }
    return S_ISDIR(st.st_mode) ? std::string() : "not a folder or a regular file";
}

void printSearchTotals(const SearchResult& result) {
    std::fprintf(stderr, "Duplicate files: %d, File Searched: %d\n", result.duplicates, result.searched);
    std::fprintf(stderr, "Duplicates occupy: %lld bytes\n", static_cast<long long>(result.reclaimable));
    if (result.unreadableFolders + result.unreadableFiles > 0) {
        std::fprintf(stderr, "Could not read: %s, %s\n",
                     counted(static_cast<int64_t>(result.unreadableFolders), "folder", "folders").c_str(),
                     counted(static_cast<int64_t>(result.unreadableFiles), "file", "files").c_str());
    }
    for (const std::string& trash : result.trashFoldersPassedOver) {
        std::fprintf(stderr, "Passed over the trash folder %s\n", shownOn(stderr, trash).c_str());
    }
}

} // namespace corvane::cli
