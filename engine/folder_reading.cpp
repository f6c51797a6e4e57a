#include "engine/folder_reading.h"

#include "engine/folder_walk.h"
#include "platform/trash_folders.h"
#include "platform/wildcard.h"

#include <cerrno>

namespace corvane::engine {

using platform::EntryKind;

namespace {

// Which entries of a listing just read a search leaves out (none of "." and "..").
std::vector<bool> entriesLeftOut(const std::string& path, const platform::FolderListing& listing,
                                 const EntryFilter& leaveOut, uint64_t device) {
    const std::vector<platform::FolderEntry>& entries = listing.entries();
    std::vector<bool> leftOut(entries.size(), false);
    std::string entryPath = path;
    for (size_t i = 0; i < entries.size(); ++i) {
        const platform::FolderEntry& entry = entries[i];
        if (entry.name == "." || entry.name == "..") {
            continue;
        }
        entryPath.resize(path.size());
        entryPath += entry.name;
        if (leaveOut && leaveOut(entryPath, entry.kind)) {
            leftOut[i] = true;
        } else if (device != 0 && entry.kind == EntryKind::Directory) {
            const std::optional<platform::FileInfo> info = listing.details(entry);
            leftOut[i] = info && info->device != device;
        }
    }
    return leftOut;
}

// Marks the trash folders among the subfolders of a listing just read as left out, and notes
// their paths in `folder`.
void leaveOutTrashFolders(const platform::FolderListing& listing, std::vector<bool>& leftOut,
                          ScannedFolder& folder) {
    const std::vector<platform::FolderEntry>& entries = listing.entries();
    for (size_t i = 0; i < entries.size(); ++i) {
        const platform::FolderEntry& entry = entries[i];
        if (entry.kind != EntryKind::Directory || !platform::mayBeTrashFolderName(entry.name) ||
            (!leftOut.empty() && leftOut[i]) || !platform::isTrashFolder(listing.handle(), entry.name)) {
            continue;
        }
        if (leftOut.empty()) {
            leftOut.assign(entries.size(), false);
        }
        leftOut[i] = true;
        folder.trashFolders.push_back(folder.path + entry.name);
    }
}

} // namespace

ScannedFolder readFolder(const std::string& path, const std::string& pattern,
                         platform::FolderRelativeName where, const EntryFilter& leaveOut, uint64_t device) {
    ScannedFolder folder;
    folder.path = path;
    platform::FolderListing listing;
    errno = 0;
    if (!listing.open(where)) {
        folder.error = errno;
        return folder;
    }
    folder.listed = true;
    folder.identity = {listing.device(), listing.inode()};
    std::vector<bool> leftOut;
    if (leaveOut || device != 0) {
        leftOut = entriesLeftOut(path, listing, leaveOut, device);
    }
    leaveOutTrashFolders(listing, leftOut, folder);
    folder.details.resize(listing.entries().size());
    const bool everything = platform::matchesEverything(pattern);
    for (size_t i = 0; i < listing.entries().size(); ++i) {
        const platform::FolderEntry& entry = listing.entries()[i];
        if (entry.kind == EntryKind::Other || entry.name == "." || entry.name == ".." ||
            (!leftOut.empty() && leftOut[i]) ||
            !(everything || platform::matchesPattern(pattern, entry.name))) {
            continue;
        }
        folder.details[i] = listing.details(entry);
    }
    listing.release();
    folder.entries = listing.entries();
    if (!leftOut.empty()) {
        size_t kept = 0;
        for (size_t i = 0; i < leftOut.size(); ++i) {
            if (!leftOut[i]) {
                if (kept != i) {
                    folder.entries[kept] = std::move(folder.entries[i]);
                    folder.details[kept] = std::move(folder.details[i]);
                }
                ++kept;
            }
        }
        folder.entries.resize(kept);
        folder.details.resize(kept);
    }
    return folder;
}

FolderReadAhead::FolderReadAhead(const std::vector<ScanPass>& passes, bool recursive, EntryFilter leaveOut) {
    thread_ = std::thread(
        [this, passes, recursive, leaveOut = std::move(leaveOut)] { run(passes, recursive, leaveOut); });
}

FolderReadAhead::~FolderReadAhead() {
    {
        std::lock_guard lock(mutex_);
        abandoned_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void FolderReadAhead::run(const std::vector<ScanPass>& passes, bool recursive, const EntryFilter& leaveOut) {
    try {
        for (const ScanPass& pass : passes) {
            if (pass.isFile) {
                continue;
            }
            const auto read = [&](const std::string& path, platform::FolderRelativeName where) {
                return readFolder(path, pass.pattern, where, leaveOut, pass.device);
            };
            const auto visit = [&](ScannedFolder& folder, bool, bool) { return push(std::move(folder)); };
            if (!FolderWalk(recursive).walk(pass.root, read, visit, [] { return true; })) {
                break;
            }
        }
    } catch (...) {
        // Out of memory, most likely: the scanner reads the remaining folders itself, and meets
        // the failure there if it is still short of memory.
    }
    std::lock_guard lock(mutex_);
    finished_ = true;
    changed_.notify_all();
}

bool FolderReadAhead::push(ScannedFolder folder) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] {
        return abandoned_ || (queue_.size() < kMaxFolders && queuedEntries_ < kMaxEntries) || queue_.empty();
    });
    if (abandoned_) {
        return false;
    }
    queuedEntries_ += folder.entries.size();
    queue_.push_back(std::move(folder));
    changed_.notify_all();
    return true;
}

std::optional<ScannedFolder> FolderReadAhead::next() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return !queue_.empty() || finished_; });
    if (queue_.empty()) {
        return std::nullopt;
    }
    ScannedFolder folder = std::move(queue_.front());
    queue_.pop_front();
    queuedEntries_ -= folder.entries.size();
    changed_.notify_all();
    return folder;
}

} // namespace corvane::engine
