#include "engine/folder_reading.h"

#include "engine/file_scanner.h"
#include "platform/wildcard.h"

namespace corvane::engine {

using platform::EntryKind;

ScannedFolder readFolder(const std::string& path, const std::string& pattern) {
    ScannedFolder folder;
    folder.path = path;
    platform::FolderListing listing;
    if (!listing.open(path)) {
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

FolderReadAhead::FolderReadAhead(const StringList& searchPaths, const StringList& fileTypes, bool recursive) {
    thread_ =
        std::thread([this, searchPaths, fileTypes, recursive] { run(searchPaths, fileTypes, recursive); });
}

FolderReadAhead::~FolderReadAhead() {
    {
        std::lock_guard lock(mutex_);
        abandoned_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void FolderReadAhead::run(StringList searchPaths, StringList fileTypes, bool recursive) {
    try {
        std::vector<std::pair<uint64_t, uint64_t>> descent;
        bool going = true;
        for (size_t i = 0; going && i < searchPaths.size(); ++i) {
            for (const std::string& pattern :
                 splitPatternText(i < fileTypes.size() ? fileTypes[i] : std::string())) {
                if (!(going = walk(withTrailingSeparator(searchPaths[i]), pattern, recursive, descent))) {
                    break;
                }
            }
        }
    } catch (...) {
        // Out of memory, most likely: the walk reads the remaining folders itself.
    }
    std::lock_guard lock(mutex_);
    finished_ = true;
    changed_.notify_all();
}

// The walk's own order: a folder, then its subfolders in listing order, depth first; a folder
// already on the way down is not entered again.
bool FolderReadAhead::walk(const std::string& path, const std::string& pattern, bool recursive,
                           std::vector<std::pair<uint64_t, uint64_t>>& descent) {
    ScannedFolder folder = readFolder(path, pattern);
    const bool listed = folder.listed;
    const auto identity = folder.identity;
    std::vector<std::string> subfolders;
    if (listed && recursive) {
        for (const platform::FolderEntry& entry : folder.entries) {
            if (entry.kind == EntryKind::Directory && entry.name != "." && entry.name != "..") {
                subfolders.push_back(path + entry.name + platform::kPathSeparator);
            }
        }
    }
    if (!push(std::move(folder))) {
        return false;
    }
    if (!listed || std::find(descent.begin(), descent.end(), identity) != descent.end()) {
        return true;
    }
    descent.push_back(identity);
    bool going = true;
    for (const std::string& subfolder : subfolders) {
        if (!(going = walk(subfolder, pattern, recursive, descent))) {
            break;
        }
    }
    descent.pop_back();
    return going;
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

std::optional<ScannedFolder> FolderReadAhead::take(const std::string& path) {
    std::unique_lock lock(mutex_);
    if (abandoned_) {
        return std::nullopt;
    }
    changed_.wait(lock, [&] { return !queue_.empty() || finished_; });
    if (queue_.empty() || queue_.front().path != path) {
        // The walk went its own way (a stop): it reads from here on by itself.
        abandoned_ = true;
        changed_.notify_all();
        return std::nullopt;
    }
    ScannedFolder folder = std::move(queue_.front());
    queue_.pop_front();
    queuedEntries_ -= folder.entries.size();
    changed_.notify_all();
    return folder;
}

} // namespace corvane::engine
