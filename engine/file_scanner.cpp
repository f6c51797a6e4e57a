#include "engine/file_scanner.h"

#include "platform/trash_folders.h"
#include "platform/wildcard.h"

#include <algorithm>

#include <cassert>
#include <cstdio>
#include <optional>
#include <utility>

namespace corvane::engine {

using platform::EntryKind;

std::string isoDateText(const platform::CivilDate& date) {
    if (date.year < 0 || date.year > 9999) {
        char text[32];
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
        return text;
    }
    // Called once per file found: digits by hand rather than through printf.
    char text[10] = {'0', '0', '0', '0', '-', '0', '0', '-', '0', '0'};
    const auto put = [&](int end, int value, int digits) {
        for (int i = 0; i < digits; ++i, value /= 10) {
            text[end - i] = static_cast<char>('0' + value % 10);
        }
    };
    put(3, date.year, 4);
    put(6, date.month, 2);
    put(9, date.day, 2);
    return std::string(text, sizeof text);
}

StringList splitPatternText(const std::string& text) {
    // A NUL ends the text, as it would end a C string.
    const std::string_view source(text.c_str());
    const auto blank = [](char c) { return c >= 1 && c <= ' '; };
    StringList patterns;
    size_t p = 0;
    const size_t end = source.size();
    while (p < end && blank(source[p])) {
        ++p;
    }
    while (p < end) {
        std::string item;
        if (source[p] == '"') {
            ++p;
            while (p < end) {
                if (source[p] == '"') {
                    if (p + 1 < end && source[p + 1] == '"') {
                        item += '"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item += source[p++];
            }
        } else {
            const size_t start = p;
            while (p<end&& static_cast<unsigned char>(source[p])> ' ' && source[p] != ';') {
                ++p;
            }
            item.assign(source.substr(start, p - start));
        }
        patterns.push_back(std::move(item));
        while (p < end && blank(source[p])) {
            ++p;
        }
        if (p < end && source[p] == ';') {
            if (p + 1 == end) {
                patterns.push_back({});
            }
            do {
                ++p;
            } while (p < end && blank(source[p]));
        }
    }
    return patterns;
}

std::string withTrailingSeparator(const std::string& path) {
    if (!path.empty() && path.back() == platform::kPathSeparator) {
        return path;
    }
    return path + platform::kPathSeparator;
}

std::vector<ScanPass> scanPasses(const StringList& searchPaths, const StringList& fileTypes) {
    std::vector<ScanPass> passes;
    for (size_t i = 0; i < searchPaths.size(); ++i) {
        const StringList patterns =
            splitPatternText(i < fileTypes.size() ? std::string(fileTypes[i]) : std::string());
        for (std::string_view pattern : patterns) {
            passes.push_back({withTrailingSeparator(std::string(searchPaths[i])), std::string(pattern)});
        }
    }
    return passes;
}

namespace {

// A search path that is a file, as a listing of its folder that holds that one entry.
ScannedFolder fileAsListing(const std::string& root) {
    const std::string path = root.substr(0, root.size() - 1); // as given
    const size_t slash = path.rfind(platform::kPathSeparator);
    ScannedFolder folder;
    folder.path = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    folder.listed = true;
    folder.entries.push_back(
        {slash == std::string::npos ? path : path.substr(slash + 1), EntryKind::RegularFile});
    folder.details.push_back(platform::lookupFile(path));
    return folder;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// FileScanner

ScanWorker* FileScanner::makeWorker(std::shared_ptr<WorkerControl> control) {
    return new ScanWorker(this, uiThread(), std::move(control));
}

// ---------------------------------------------------------------------------------------------
// ScanWorker

ScanWorker::ScanWorker(FileScanner* driver, std::shared_ptr<UiThread> uiThread,
                       std::shared_ptr<WorkerControl> control)
    : WorkerThread(std::move(uiThread), std::move(control)), owner(driver), recursive(driver->recursive),
      fileTypes(driver->fileTypes), searchPaths(driver->searchPaths), onFileFound(driver->onFileFound),
      onScanFinished(driver->onScanFinished), leaveOut_(driver->leaveOut),
      oneFileSystem_(driver->oneFileSystem), searchFileRoots_(driver->searchFileRoots),
      lookAhead_(driver->lookAhead), foundIndex_(0, FoundHash{&foundFiles}, FoundEqual{&foundFiles}) {
    startRunning();
}

void ScanWorker::execute() {
    // A stop that came before the pass began leaves it out altogether.
    if (terminated()) {
        return;
    }
    std::vector<ScanPass> passes = scanPasses(searchPaths, fileTypes);
    lookAtRoots(passes);
    // A search path in a trash is passed over whole, as a trash folder met on the way is.
    platform::TrashFolderTest inTrash;
    std::erase_if(passes, [&](const ScanPass& pass) {
        const std::string root = pass.root.size() > 1 ? pass.root.substr(0, pass.root.size() - 1) : pass.root;
        if (!inTrash.holds(root)) {
            return false;
        }
        noteTrashFolder(root);
        return true;
    });
    try {
        FolderReadAhead readAhead(passes, recursive, leaveOut_, lookAhead_);
        uint64_t currentDevice = 0;
        // Folders come from the thread that reads them ahead, in the order of this walk, until a
        // stop makes the walk leave that order.
        const auto read = [&](const std::string& path, platform::FolderRelativeName where) {
            if (!terminated()) {
                if (std::optional<ScannedFolder> ahead = readAhead.next()) {
                    assert(ahead->path == path);
                    return std::move(*ahead);
                }
            }
            return readFolder(path, currentPattern, where, leaveOut_, currentDevice);
        };
        const auto visit = [&](const ScannedFolder& folder, bool isSubfolder, bool walkedInto) {
            if (isSubfolder) {
                ++folderCount;
                if (!folder.listed) {
                    unreadableFolders.push_back({folder.path, folder.error});
                }
            }
            for (const std::string& trash : folder.trashFolders) {
                noteTrashFolder(trash);
            }
            if (walkedInto) {
                scanFiles(folder);
            }
            return true;
        };
        for (const ScanPass& pass : passes) {
            currentPattern = pass.pattern;
            currentDevice = pass.device;
            ++passes_;
            if (pass.isFile) {
                scanFiles(fileAsListing(pass.root));
            } else {
                FolderWalk(recursive).walk(pass.root, read, visit, [this] { return !terminated(); });
            }
        }
    } catch (...) {
        // The files queued and not yet reported were never found.
        forgetReportsAfter(0);
        reports_.clear();
        throw;
    }
}

void ScanWorker::lookAtRoots(std::vector<ScanPass>& passes) const {
    if (!oneFileSystem_ && !searchFileRoots_) {
        return;
    }
    for (ScanPass& pass : passes) {
        const std::string path = pass.root.substr(0, pass.root.size() - 1); // as given
        if (searchFileRoots_) {
            const std::optional<platform::FileInfo> info = platform::lookupFile(path);
            pass.isFile = info && info->kind == EntryKind::RegularFile;
        }
        if (oneFileSystem_ && !pass.isFile) {
            const std::optional<platform::FileInfo> folder = platform::lookupTarget(pass.root);
            pass.device = folder ? folder->device : 0;
        }
    }
}

bool ScanWorker::alreadyFound(const std::string& path) {
    // File names are case-sensitive here, so paths compare byte for byte: Photo.JPG and
    // photo.jpg are two files.
    foundFiles.push_back(path);
    if (passes_ <= 1) {
        // One pass never reaches a path twice: it enters every folder once, by one name.
        return false;
    }
    while (indexed_ + 1 < foundFiles.size()) {
        foundIndex_.insert(indexed_++);
    }
    if (!foundIndex_.insert(foundFiles.size() - 1).second) {
        foundFiles.pop_back();
        return true;
    }
    indexed_ = foundFiles.size();
    return false;
}

void ScanWorker::scanFiles(const ScannedFolder& listing) {
    const std::string& folder = listing.path;
    const auto& entries = listing.entries;
    const bool everything = platform::matchesEverything(currentPattern);

    // Every entry that matches the pattern and is not a system entry.
    for (size_t i = 0; i < entries.size(); ++i) {
        const platform::FolderEntry& entry = entries[i];
        if (entry.kind == EntryKind::Other ||
            !(everything || platform::matchesPattern(currentPattern, entry.name))) {
            continue;
        }
        // An entry that has gone since the listing was read, or has become a system entry, is
        // passed over; so are "." and "..", which have no details.
        const auto& info = listing.details[i];
        if (info && info->kind != EntryKind::Other) {
            std::string path = folder + entry.name;
            if (!alreadyFound(path)) {
                if (lookAhead_.enabled) {
                    firstLooks.push_back(listing.looks.empty() ? kNotLooked : listing.looks[i]);
                }
                FoundReport report;
                report.found = foundFiles.size() - 1;
                report.info = *info;
                report.createdOn = localDate(info->creationTime);
                report.fileCount = ++fileCount;
                report.totalSize = (totalSize += info->size);
                reports_.add(std::move(report));
                if (reports_.due()) {
                    deliverReports();
                }
            }
        }
        if (terminated()) {
            break;
        }
    }
    deliverReports();
}

platform::CivilDate ScanWorker::localDate(int64_t seconds) {
    // Files of one tree often share their second; the conversion takes a lock in the C library.
    if (!lastDate_ || lastDate_->first != seconds) {
        lastDate_.emplace(seconds, platform::localDateOf(seconds).value_or(platform::CivilDate{}));
    }
    return lastDate_->second;
}

void ScanWorker::deliverReports() {
    const auto outcome =
        reports_.flush([this](const std::function<void()>& routine) { synchronize(routine); },
                       [this](FoundReport& report) {
                           fileCount = report.fileCount;
                           totalSize = report.totalSize;
                           reportFile(report);
                       },
                       [](const FoundReport&) { return true; }, [this] { return terminated(); });
    if (outcome.dropped > 0) {
        forgetReportsAfter(outcome.delivered);
    }
    reports_.clear();
    if (outcome.failure) {
        std::rethrow_exception(outcome.failure);
    }
}

void ScanWorker::forgetReportsAfter(size_t delivered) {
    // Back to the last file delivered: the files after it were never reported.
    if (reports_.empty()) {
        return;
    }
    if (delivered == 0) {
        const FoundReport& first = reports_.front();
        foundFiles.resize(first.found);
        fileCount = first.fileCount - 1;
        totalSize = first.totalSize - first.info.size;
    } else {
        const FoundReport& last = reports_.at(delivered - 1);
        foundFiles.resize(last.found + 1);
        fileCount = last.fileCount;
        totalSize = last.totalSize;
    }
    if (firstLooks.size() > foundFiles.size()) {
        firstLooks.resize(foundFiles.size());
    }
}

void ScanWorker::noteTrashFolder(const std::string& path) {
    if (std::find(trashFoldersPassedOver.begin(), trashFoldersPassedOver.end(), path) ==
        trashFoldersPassedOver.end()) {
        trashFoldersPassedOver.push_back(path);
    }
}

void ScanWorker::reportFile(const FoundReport& report) {
    if (onFileFound) {
        onFileFound(FoundFile{foundFiles[report.found], report.info, report.createdOn, report.totalSize,
                              folderCount, report.fileCount});
    }
}

void ScanWorker::reportEnd() {
    owner->busy = false;
    if (onScanFinished) {
        ScanEnd end{foundFiles, failure, folderCount, unreadableFolders, trashFoldersPassedOver, firstLooks};
        onScanFinished(end);
    }
}

} // namespace corvane::engine
