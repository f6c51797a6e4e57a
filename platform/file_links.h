#pragma once

// Replacing a file by a hard link to another file that holds the same bytes, so that one copy of
// the contents serves both names. The swap is atomic: a new link to the target is made under a
// temporary name in the file's folder and exchanged with the file in one step, so the name never
// stands empty and never names anything but one of the two. Only the entry that was checked is
// replaced; anything else found in its place is put back as it was. A file system that cannot
// exchange two names in one step is refused. The temporary name is never the only name of bytes
// that no other name holds; one left by a process that ended at the wrong moment is removed by the
// next replacement in that folder.

#include "platform/file_info.h"
#include "platform/reason.h"

#include <cstdint>
#include <string>

namespace corvane::platform {

enum class LinkFailure : uint8_t {
    None,
    AlreadyLinked,   // the file already is a name of the target: nothing to do
    Missing,         // nothing is at the path (any more)
    NotAFile,        // not a regular file
    Replaced,        // the file is not the entry expected, or changed since it was checked
    TargetReplaced,  // the target is gone, or is not the entry expected
    OtherFileSystem, // the two are on different file systems: no hard link can join them
    SameFile,        // the file and the target turned out to be one file, seen through two paths
    SystemError,     // the system refused a step, with its reason
};

struct LinkResult {
    LinkFailure failure = LinkFailure::None;
    Reason reason; // for the user, e.g. "on another file system than %1" with /data/a

    bool linked() const { return failure == LinkFailure::None; }
};

// Makes `path` a hard link to `target`, if `path` is still `expected` (same device, inode, size and
// modification time) and `target` still `targetExpected` (same device and inode). The file that
// was at `path` loses that name: its bytes stay only where it has other names, so the caller must
// have made sure that `target` holds them. The new name takes the target's owner, permissions and
// times, which all names of one file share.
LinkResult replaceWithHardLink(const std::string& path, const FileInfo& expected, const std::string& target,
                               const FileInfo& targetExpected);

// What a file had of its own before a link replaced it.
struct OwnAttributes {
    uint32_t mode = 0; // permissions, with the set-id and sticky bits
    uint32_t owner = 0;
    uint32_t group = 0;
    int64_t modifiedNs = 0;
};

// The way back from replaceWithHardLink: `path`, while it is still a name of the file `linkedTo`,
// becomes a file of its own again, holding a copy of that file's bytes and `own` permissions,
// owner, group and modification time. The copy is made under a temporary name and exchanged with
// the link in one step, as the link was made; anything else found at `path` by then stays. Where
// the system does not let this user give the file its owner back, the file is this user's, and
// the result's reason says so (the copy is made all the same).
LinkResult replaceLinkWithOwnCopy(const std::string& path, const FileIdentity& linkedTo,
                                  const OwnAttributes& own);

} // namespace corvane::platform
