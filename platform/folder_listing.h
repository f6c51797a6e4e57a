#pragma once

#include "platform/file_info.h"
#include "platform/folder_handles.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace corvane::platform {

// One entry of a folder listing: its name and what it is.
struct FolderEntry {
    std::string name;
    EntryKind kind = EntryKind::Other;
};

// The entries of one folder, read in one go. "." and ".." come first, as on Windows, then every
// other entry in byte order of its name: readdir's order is arbitrary, and the order of a listing
// decides which file of a duplicate group is its original, so the same tree must always list the
// same way. Hidden entries are included; nothing is followed.
class FolderListing {
public:
    FolderListing() = default;
    ~FolderListing();
    FolderListing(const FolderListing&) = delete;
    FolderListing& operator=(const FolderListing&) = delete;

    // Reads the folder at `path`. False when it does not exist or cannot be listed; the listing is
    // then empty.
    bool open(const std::string& path);
    // The same for a folder named relative to an open folder (a path too long for the system to
    // take whole, opened from a folder on the way).
    bool open(FolderRelativeName where);

    const std::vector<FolderEntry>& entries() const { return entries_; }
    // Hands the entries over; the listing has none afterwards, and details() still takes them.
    std::vector<FolderEntry> takeEntries() { return std::move(entries_); }
    // The open folder, for lookups and opens relative to it; -1 once released.
    int handle() const { return fd_; }

    // The full details of one entry, looked up relative to the open folder (cheaper than a lookup
    // by path). Nothing when the entry has gone since the listing was read.
    std::optional<FileInfo> details(const FolderEntry& entry) const;

    // Identity of the listed folder itself, to keep a walk from entering a folder twice.
    uint64_t device() const { return device_; }
    uint64_t inode() const { return inode_; }

    // Gives back the folder handle early (details() then fails); the entries stay.
    void release();

private:
    int fd_ = -1;
    uint64_t device_ = 0;
    uint64_t inode_ = 0;
    std::vector<FolderEntry> entries_;
};

} // namespace corvane::platform
