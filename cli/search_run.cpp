// One search from the command line, as the main window chains it.

#include "cli/search_run.h"

#include "cli/progress_line.h"
#include "engine/duplicate_comparer.h"
#include "engine/file_scanner.h"
#include "engine/queued_ui_thread.h"
#include "engine/search_order.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <exception>
#include <mutex>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <sys/stat.h>

namespace corvane::cli {

namespace {

using engine::StringList;

void warnAboutMissingFolders(const SearchRequest& options) {
    for (const std::string& folder : options.folders) {
        struct stat st {};
        if (::stat(folder.c_str(), &st) != 0) {
            std::fprintf(stderr, "corvane-cli: warning: cannot search %s: %s\n", folder.c_str(),
                         std::strerror(errno));
        } else if (!S_ISDIR(st.st_mode)) {
            std::fprintf(stderr, "corvane-cli: warning: cannot search %s: Not a directory\n", folder.c_str());
        }
    }
}

void giveBackFreedMemory() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

} // namespace

SearchResult runSearch(const SearchRequest& options, const FindSettings& settings, const SearchKeeps& keeps) {
    warnAboutMissingFolders(options);
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
    std::vector<SearchedFile> found; // with --save: each row's texts, in the order found

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
    scan.OnFileFound = [&](engine::ScanWorker* sender, const std::string&, const std::string& sizeText,
                           const std::string& dateText, int64_t, int32_t folderCount, int32_t fileCount) {
        engine::SearchOrderKey key;
        key.size = sender->CurrentInfo.size; // what sizeText says
        if (const auto date = engine::parseIsoDate(dateText)) {
            key.day = engine::dayNumber(*date);
        }
        keys.push_back(key);
        if (saving) {
            found.push_back({{}, sizeText, dateText});
        }
        progress.show([&] {
            return "Found " + std::to_string(fileCount) + " files in " + std::to_string(folderCount) +
                   " folder";
        });
    };
    const auto orderAndCompare = [&](StringList& foundFiles) {
        scanned = Clock::now();
        const std::vector<uint32_t> order = engine::searchOrder(keys);
        std::vector<int64_t> sizes;
        sizes.reserve(foundFiles.size());
        for (uint32_t row : order) {
            if (saving) {
                result.files.push_back(std::move(found[row]));
                result.files.back().path = foundFiles[row];
            }
            sizes.push_back(keys[row].size);
        }
        std::vector<engine::SearchOrderKey>().swap(keys); // gives the memory back, unlike clear()
        engine::applyOrder(foundFiles, order);
        foundFiles.shrink_to_fit(); // the list grew by doubling; it is held for the whole comparison
        ordered = Clock::now();
        result.searched = static_cast<int32_t>(foundFiles.size());
        if (foundFiles.empty()) {
            finish(nullptr);
            return;
        }
        // The scan's threads are done: what their memory pools hold freed goes back to the
        // system before the comparison takes its own.
        giveBackFreedMemory();
        compare.SetFileList(std::move(foundFiles), std::move(sizes));
        compare.Start(); // hands the lists over to the worker
    };
    scan.OnScanFinished = [&](engine::ScanWorker* sender, StringList& foundFiles) {
        if (sender->Failure) {
            finish(sender->Failure);
            return;
        }
        try {
            orderAndCompare(foundFiles);
        } catch (...) {
            finish(std::current_exception());
        }
    };
    compare.OnCompareProgress = [&](engine::CompareWorker*, int32_t position, int32_t listCount,
                                    int32_t duplicatesFound) {
        progress.show([&] {
            return "Comparing file " + std::to_string(position) + " of " + std::to_string(listCount) +
                   ", Duplicate files found: " + std::to_string(duplicatesFound);
        });
    };
    compare.OnDuplicateGroup = [&](engine::CompareWorker* sender, const std::string& groupFile,
                                   const StringList& groupDuplicates) {
        DuplicateGroup group{groupFile, groupDuplicates, sender->GroupFileInfo.size, {}};
        if (keeps.fileInfos) {
            group.infos.push_back(sender->GroupFileInfo);
            group.infos.insert(group.infos.end(), sender->GroupDuplicateInfos.begin(),
                               sender->GroupDuplicateInfos.end());
        }
        // Names of one inode (hard links) take its bytes once.
        std::vector<std::pair<uint64_t, uint64_t>> inodes{
            {sender->GroupFileInfo.device, sender->GroupFileInfo.inode}};
        for (const platform::FileInfo& info : sender->GroupDuplicateInfos) {
            if (std::find(inodes.begin(), inodes.end(), std::pair(info.device, info.inode)) == inodes.end()) {
                inodes.emplace_back(info.device, info.inode);
            }
        }
        result.reclaimable += group.size * static_cast<int64_t>(inodes.size() - 1);
        result.groups.push_back(std::move(group));
    };
    compare.OnCompareFinished = [&](engine::CompareWorker* sender, int32_t listCount,
                                    int32_t duplicatesFound) {
        result.searched = listCount;
        result.duplicates = duplicatesFound;
        compared = Clock::now();
        finish(sender->Failure);
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
}

} // namespace corvane::cli
