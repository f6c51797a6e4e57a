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
    // The entry is the root of a mount: a bind mount of a file or folder shows one device and
    // inode under two paths, and unlike two hard links the two are one entry.
    bool mountRoot = false;
    int64_t size = 0;
    // Seconds since the epoch: the birth time where the file system records it, else the
    // modification time.
    int64_t creationTime = 0;
    // Nanoseconds since the epoch; with the status-change time, which no program can set back,
    // they tell whether a file changed since it was compared.
    int64_t modificationTimeNs = 0;
    int64_t changeTimeNs = 0;
    // When it was looked at (the system's coarse clock, nanoseconds since the epoch).
    int64_t lookedAtNs = 0;
    uint64_t device = 0;
    uint64_t inode = 0;
};

// What makes an entry the one it was: its device and inode, numbered as in FileInfo (so
// {info.device, info.inode} of a lookupFile or FileReader result names the same entry).
struct FileIdentity {
    uint64_t device = 0;
    uint64_t inode = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

inline FileIdentity identityOf(const FileInfo& info) {
    return {info.device, info.inode};
}

// True when `now` is the very file `then` describes, unchanged: same device, inode, size,
// modification and status-change time (to the nanosecond). Any write to a file moves its
// status-change time, so a file that passes holds the bytes it held then, with one exception
// that this also rules out: file times come from a clock that advances in steps (and some file
// systems keep only seconds), so a file written in the same step as it was looked at can be
// written again without its times moving. A file looked at less than kSettledNs after its last
// change is never taken as unchanged.
bool unchangedSince(const FileInfo& now, const FileInfo& then);
inline constexpr int64_t kSettledNs = 3'000'000'000;

// True when `info` was looked at kSettledNs or more after the file's last change: a later write
// then moves its times, so equal times later mean equal contents.
bool settledWhenLookedAt(const FileInfo& info);

// The same file (device, inode) with the same size, modification and status-change time, to the
// nanosecond. Proves no change only for a file settled when `then` was looked at.
bool sameState(const FileInfo& now, const FileInfo& then);

// The clock file times come from, now.
int64_t fileClockNowNs();

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
// exist or cannot be reached. A path too long for the system to take whole is looked up from its
// folder, opened piece by piece.
std::optional<FileInfo> lookupFile(const std::string& path);

// Same, for an entry `name` of the folder open as `folderFd`.
std::optional<FileInfo> lookupFileAt(int folderFd, const char* name);

// Same, for a file or folder open as `fd`.
std::optional<FileInfo> lookupOpenFile(int fd);

// Same, following a final symbolic link: what the path leads to, as opening it would.
std::optional<FileInfo> lookupTarget(const std::string& path);

} // namespace corvane::platform
