#include "engine/folder_reading.h"

#include "engine/folder_walk.h"
#include "platform/wildcard.h"

namespace corvane::engine {

using platform::EntryKind;

ScannedFolder readFolder(const std::string& path, const std::string& pattern,
                         platform::FolderRelativeName where) {
    ScannedFolder folder;
    folder.path = path;
    platform::FolderListing listing;
    if (!listing.open(where)) {
        return folder;
    }
    folder.listed = true;
    folder.identity = {listing.device(), listing.inode()};
    folder.details.resize(listing.entries().size());
    const bool everything = platform::matchesEverything(pattern);
    for (size_t i = 0; i < listing.entries().size(); ++i) {
        const platform::FolderEntry& entry = listing.entries()[i];
        if (entry.kind == EntryKind::Other || entry.name == "." || entry.name == ".." ||
            !(everything || platform::matchesPattern(pattern, entry.name))) {
            continue;
        }
        folder.details[i] = listing.details(entry);
    }
    listing.release();
    folder.entries = listing.entries();
    return folder;
}

FolderReadAhead::FolderReadAhead(const std::vector<ScanPass>& passes, bool recursive) {
    thread_ = std::thread([this, passes, recursive] { run(passes, recursive); });
}

FolderReadAhead::~FolderReadAhead() {
    {
        std::lock_guard lock(mutex_);
        abandoned_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void FolderReadAhead::run(const std::vector<ScanPass>& passes, bool recursive) {
    try {
        for (const ScanPass& pass : passes) {
            const auto read = [&](const std::string& path, platform::FolderRelativeName where) {
                return readFolder(path, pass.pattern, where);
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
