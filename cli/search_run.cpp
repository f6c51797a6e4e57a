// One search from the command line, as the main window chains it.

#include "cli/search_run.h"

#include "cli/progress_line.h"
#include "engine/duplicate_comparer.h"
#include "engine/file_scanner.h"
#include "engine/queued_ui_thread.h"
#include "engine/search_filters.h"
#include "engine/search_order.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <exception>
#include <fcntl.h>
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
    std::fprintf(stderr, "corvane-cli: cannot read %s %s: %s\n", what, path.c_str(),
                 error ? std::strerror(error) : "unknown reason");
}

// FOLDERs that cannot be searched, named on stderr before the search; counts those that are not
// there (or are no folder or file) and those that cannot be read.
struct RootProblems {
    size_t missing = 0;
    size_t unreadable = 0;
};

RootProblems reportRootProblems(const SearchRequest& options) {
    RootProblems problems;
    for (const std::string& folder : options.folders) {
        bool isFile = false;
        if (const std::string reason = searchRootProblem(folder, &isFile); !reason.empty()) {
            std::fprintf(stderr, "corvane-cli: cannot search %s: %s\n", folder.c_str(), reason.c_str());
            ++problems.missing;
            continue;
        }
        if (isFile) {
            continue; // searched as that one file
        }
        if (const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); fd < 0) {
            reportUnreadable("folder", folder, errno);
            ++problems.unreadable;
        } else {
            ::close(fd);
        }
    }
    return problems;
}

// "1 file", "2 files".
std::string counted(int64_t count, const char* one, const char* many) {
    return std::to_string(count) + ' ' + (count == 1 ? one : many);
}

void giveBackFreedMemory() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

} // namespace

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

SearchResult runSearch(const SearchRequest& options, const FindSettings& settings, const SearchKeeps& keeps) {
    for (const std::string& warning : patternWarnings(options)) {
        std::fprintf(stderr, "corvane-cli: warning: %s\n", warning.c_str());
    }
    const RootProblems rootProblems = reportRootProblems(options);
    auto uiThread = std::make_shared<engine::InlineUiThread>();
    engine::FileScanner scan(uiThread);
    engine::DuplicateComparer compare(uiThread);
    compare.MemoryBudget = settings.compareMemoryBudget;
    ProgressLine progress(!options.quiet);
    SearchResult result;
    using Clock = std::chrono::steady_clock;
    const auto started = Clock::now();
    Clock::time_point scanned, ordered, compared;
    std::vector<engine::SearchOrderKey> keys;
    const bool saving = keeps.searchedFiles;
    std::vector<SearchedFile> found; // with --save: each row's size and day, in the order found
    const engine::SearchFilters& filters = options.filters;
    // With --skip-hard-links: the files met, and the rows that are a further name of one of them.
    engine::FurtherNames filesMet;
    std::vector<bool> furtherNames;
    std::vector<UnreadableEntry> unreadableFolders;
    std::vector<UnreadableEntry> unreadableFiles;

    std::mutex doneMutex;
    std::condition_variable doneChanged;
    bool done = false;
    std::exception_ptr failure; // what ended the search early
    const auto finish = [&](std::exception_ptr endedBy) {
        std::lock_guard lock(doneMutex);
        failure = std::move(endedBy);
        done = true;
        doneChanged.notify_all();
    };

    scan.Recursive = true;
    scan.SearchPaths = options.folders;
    scan.FileTypes = options.patterns;
    scan.SearchFileRoots = true;
    engine::applyToScanner(filters, scan);
    // The first look at the files the comparison will read goes on while the scan does: the
    // comparison then reads again only files whose size the scan met once.
    scan.LookAhead.enabled = true;
    scan.LookAhead.minSize = std::max<int64_t>(filters.minSize, 1);
    scan.LookAhead.maxSize = filters.maxSize;
    scan.OnFileFound = [&](const engine::FoundFile& file) {
        keys.push_back({file.info.size, engine::dayNumber(file.createdOn)});
        if (filters.skipHardLinks) {
            furtherNames.push_back(filesMet.isFurtherName(file.info));
        }
        if (saving) {
            found.push_back({{}, file.info.size, file.createdOn});
        }
        progress.show([&] {
            return "Found " + counted(file.fileCount, "file", "files") + " in " +
                   counted(file.folderCount, "folder", "folders");
        });
    };
    const auto orderAndCompare = [&](engine::ScanEnd& end) {
        StringList& foundFiles = end.foundFiles;
        scanned = Clock::now();
        std::vector<uint32_t> order = engine::searchOrder(keys);
        // The paths stay where the scan put them: the comparer takes the rows it compares in
        // their order, and reads their first blocks in the order found.
        std::vector<int64_t> sizes;
        sizes.reserve(foundFiles.size());
        std::vector<uint32_t> comparedRows; // only with limits: the rows compared, in order
        const bool filtered = filters.limitsSizes() || filters.skipHardLinks;
        size_t searched = 0;
        for (uint32_t row : order) {
            const bool furtherName = filters.skipHardLinks && furtherNames[row];
            if (saving && !furtherName) {
                result.files.push_back(std::move(found[row]));
                result.files.back().path = foundFiles[row];
            }
            searched += furtherName ? 0 : 1;
            const int64_t size = keys[row].size;
            if (!furtherName && filters.compares(size)) {
                sizes.push_back(size);
                if (filtered) {
                    comparedRows.push_back(row);
                }
            }
        }
        std::vector<engine::SearchOrderKey>().swap(keys); // gives the memory back, unlike clear()
        if (filtered) {
            order = std::move(comparedRows);
        }
        ordered = Clock::now();
        result.searched = static_cast<int32_t>(searched);
        if (order.empty()) {
            finish(nullptr);
            return;
        }
        // The scan's threads are done: what their memory pools hold freed goes back to the
        // system before the comparison takes its own.
        giveBackFreedMemory();
        compare.SetFileList(std::move(foundFiles), std::move(order), std::move(sizes));
        compare.EarlierLooks = std::move(end.firstLooks);
        compare.Start(); // hands the lists over to the worker
    };
    scan.OnScanFinished = [&](engine::ScanEnd& end) {
        for (const engine::UnreadableFolder& folder : end.unreadableFolders) {
            unreadableFolders.push_back({folder.path, folder.error});
        }
        result.trashFoldersPassedOver = end.trashFoldersPassedOver;
        if (end.failure) {
            finish(end.failure);
            return;
        }
        try {
            orderAndCompare(end);
        } catch (...) {
            finish(std::current_exception());
        }
    };
    compare.OnCompareProgress = [&](int32_t position, int32_t listCount, int32_t duplicatesFound) {
        progress.show([&] {
            return "Comparing file " + std::to_string(position) + " of " + std::to_string(listCount) +
                   ", Duplicate files found: " + std::to_string(duplicatesFound);
        });
    };
    compare.OnDuplicateGroup = [&](const engine::FoundGroup& identical) {
        DuplicateGroup group{
            identical.file,
            std::vector<std::string>(identical.duplicates.begin(), identical.duplicates.end()),
            identical.fileInfo.size};
        if (keeps.fileInfos) {
            std::vector<platform::FileInfo>& infos = result.fileInfos.emplace_back();
            infos.push_back(identical.fileInfo);
            infos.insert(infos.end(), identical.duplicateInfos.begin(), identical.duplicateInfos.end());
        }
        // Names of one inode (hard links) take its bytes once.
        std::vector<std::pair<uint64_t, uint64_t>> inodes{
            {identical.fileInfo.device, identical.fileInfo.inode}};
        inodes.reserve(identical.duplicateInfos.size() + 1);
        for (const platform::FileInfo& info : identical.duplicateInfos) {
            inodes.emplace_back(info.device, info.inode);
        }
        std::sort(inodes.begin(), inodes.end());
        inodes.erase(std::unique(inodes.begin(), inodes.end()), inodes.end());
        result.reclaimable += group.size * static_cast<int64_t>(inodes.size() - 1);
        result.groups.push_back(std::move(group));
    };
    compare.OnCompareFinished = [&](const engine::CompareEnd& end) {
        for (const engine::UnreadableFile& file : end.unreadableFiles) {
            unreadableFiles.push_back({file.path, file.error});
        }
        result.duplicates = end.duplicatesFound;
        compared = Clock::now();
        finish(end.failure);
    };

    // Driver calls belong on the "user-interface thread" too: under the inline runner's lock.
    uiThread->runAndWait([&] { scan.Start(); });
    {
        std::unique_lock lock(doneMutex);
        doneChanged.wait(lock, [&] { return done; });
    }
    progress.clear();
    // The workers have delivered their end reports; let their threads finish before the drivers go.
    engine::WorkerThread::waitUntilNoneRuns(std::chrono::seconds(10));
    // Each once, though several passes (one per pattern) may have met it.
    std::set<std::string> reported;
    for (const UnreadableEntry& folder : unreadableFolders) {
        if (reported.insert(folder.path).second) {
            reportUnreadable("folder", folder.path, folder.error);
        }
    }
    size_t files = 0;
    for (const UnreadableEntry& file : unreadableFiles) {
        // Folders that match the patterns are searched entries too, but never files to read.
        struct stat st {};
        if (::lstat(file.path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
            reportUnreadable("file", file.path, file.error);
            ++files;
        }
    }
    result.missingFolders = rootProblems.missing;
    result.unreadableFolders = rootProblems.unreadable + reported.size();
    result.unreadableFiles = files;
    if (failure) {
        std::rethrow_exception(failure);
    }
    if (options.stats) {
        const auto seconds = [](Clock::time_point from, Clock::time_point to) {
            return to >= from ? std::chrono::duration<double>(to - from).count() : 0.0;
        };
        std::fprintf(stderr, "scan %.3f s, order %.3f s, compare %.3f s\n", seconds(started, scanned),
                     seconds(scanned, ordered), seconds(ordered, compared));
    }
    return result;
}

void printSearchTotals(const SearchResult& result) {
    std::fprintf(stderr, "Duplicate files: %d, File Searched: %d\n", result.duplicates, result.searched);
    std::fprintf(stderr, "Duplicates occupy: %lld bytes\n", static_cast<long long>(result.reclaimable));
    if (result.unreadableFolders + result.unreadableFiles > 0) {
        std::fprintf(stderr, "Could not read: %zu folders, %zu files\n", result.unreadableFolders,
                     result.unreadableFiles);
    }
    for (const std::string& trash : result.trashFoldersPassedOver) {
        std::fprintf(stderr, "Passed over the trash folder %s\n", trash.c_str());
    }
}

} // namespace corvane::cli
