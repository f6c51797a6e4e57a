#pragma once

// Having the file system keep one copy of the blocks that two identical files hold (Linux's
// FIDEDUPERANGE, on file systems such as XFS and Btrfs): both stay separate files, each with its
// own name, owner and times, and a later write to one of them gives it its own blocks again. The
// kernel compares the bytes itself, under its locks, and shares only ranges it found equal, so a
// file changed at the last moment is never joined to the other's contents.

#include "platform/file_info.h"
#include "platform/reason.h"

#include <cstdint>
#include <string>

namespace corvane::platform {

enum class SharingFailure : uint8_t {
    None,
    SameFile,        // the two names are one file already: nothing to share
    AlreadyShared,   // every block of the file is shared with the other already
    Missing,         // a file is not there (any more)
    NotAFile,        // not a regular file
    Replaced,        // a file is not the entry expected
    OtherFileSystem, // the two are on different file systems
    Differs,         // the kernel found bytes that differ, or the sizes differ
    NotSupported,    // the file system cannot share blocks between files
    SystemError,     // the system refused, with its reason
};

struct SharingResult {
    SharingFailure failure = SharingFailure::None;
    Reason reason;
    // Bytes newly shared: those the kernel reported as shared (also before a later piece failed),
    // without those the two files shared already.
    int64_t bytesShared = 0;

    bool shared() const { return failure == SharingFailure::None; }
};

// Has the blocks of `path` (if it is still the entry `expected`) shared with those of `source` (if
// it is still `sourceExpected`), piece by piece over the whole file, each piece at most
// kSharingPiece bytes. Neither file's contents change.
SharingResult shareBlocks(const std::string& path, const FileInfo& expected, const std::string& source,
                          const FileInfo& sourceExpected);

// Whether the file system that holds `path` is one that can share blocks between files (XFS,
// Btrfs, OCFS2, bcachefs), as far as its type tells: one made without that feature still refuses
// each file, with the reason.
bool fileSystemMayShareBlocks(const std::string& path);

// The largest piece asked for at once: file systems may cap what one call compares (Btrfs at 16 MiB).
inline constexpr int64_t kSharingPiece = 16 << 20;

} // namespace corvane::platform
