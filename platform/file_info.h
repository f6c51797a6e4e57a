#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace corvane::platform {

// The folder separator of file paths on this platform.
inline constexpr char kPathSeparator = '/';

// What a directory entry is. Everything that is neither a regular file nor a folder (symbolic
// links, FIFOs, sockets, devices) is "Other": the scanner treats those as system entries and
// never opens them.
enum class EntryKind : uint8_t { RegularFile, Directory, Other };

// What the scanner, the comparer and the file information box need to know of one entry.
struct FileInfo {
    EntryKind kind = EntryKind::Other;
    int64_t size = 0;
    // Seconds since the epoch: the birth time where the file system records it, else the
    // modification time.
    int64_t creationTime = 0;
    // Nanoseconds since the epoch; tells whether a file changed since it was compared.
    int64_t modificationTimeNs = 0;
    uint64_t device = 0;
    uint64_t inode = 0;
};

// A time stamp of the file system.
struct FileTime {
    int64_t seconds = 0; // since the epoch
    uint32_t nanoseconds = 0;
};

// The seconds of FileInfo::creationTime: the birth time where one was recorded, else the
// modification time. A birth time of exactly the epoch counts as none recorded: some file systems
// answer for the birth time without keeping one, and give the epoch.
int64_t creationSeconds(const std::optional<FileTime>& birthTime, const FileTime& modificationTime);

// Looks up an entry by path without following a final symbolic link; nothing when it does not
// exist or cannot be reached.
std::optional<FileInfo> lookupFile(const std::string& path);

// Same, for an entry `name` of the folder open as `folderFd`.
std::optional<FileInfo> lookupFileAt(int folderFd, const char* name);

} // namespace corvane::platform
