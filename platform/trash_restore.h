#pragma once

// Putting a file back from the freedesktop.org trash to the place its info file names: what a
// file manager's "Restore" does, done by Corvane for what Corvane moved there.

#include "platform/file_info.h"
#include "platform/reason.h"

#include <cstdint>
#include <optional>
#include <string>

namespace corvane::platform {

enum class RestoreFailure : uint8_t {
    None,
    NoInfo,        // the info file cannot be read or is not one
    GoneFromTrash, // its file is no longer in the trash (restored already, or the trash emptied)
    Changed,       // the entry in the trash is not the one that was moved there
    PlaceTaken,    // something is at the original path
    NoFolder,      // the folder the file was in is gone
    MoveFailed,    // the system refused the rename
};

struct RestoreResult {
    RestoreFailure failure = RestoreFailure::None;
    // For the user: why the file stayed in the trash, with the system's reason where it gave one.
    Reason reason;
    // Where the file was, and is again once restored: the path its info file names.
    std::string originalPath;

    bool restored() const { return failure == RestoreFailure::None; }
};

// Renames the file of `infoFile` (TRASH/info/NAME.trashinfo) back to the path the info file
// names, then removes the info file. Only when the entry in the trash is still `moved` (when
// given: its identity when it was moved, so that another file trashed later under the same name
// is never taken for it), when the folder it was in is still there (it is not made again), and
// when nothing is at that path: an entry there is never replaced, whatever appears in the
// moment before the rename. The rename stays within one file system, as the move to the trash
// did.
RestoreResult restoreFromTrash(const std::string& infoFile, const std::optional<FileIdentity>& moved = {});

} // namespace corvane::platform
