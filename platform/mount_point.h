#pragma once

// Which mount a folder lies on, and the folder at the top of that mount. A rename works only
// within one mount (a bind mount of a file system is a mount of its own, even on the same
// device), so this decides which trash can take a file without copying it.

#include <cstdint>
#include <optional>
#include <string>

namespace corvane::platform {

// One mount, as the system names it. Where the system does not report mount ids (kernels before
// 5.8), the device stands in: bind mounts then look like one mount, and a rename between them
// fails with a clear error instead of going through.
struct MountIdentity {
    uint64_t mountId = 0;
    uint64_t device = 0;
    bool hasMountId = false;
};

bool sameMount(const MountIdentity& a, const MountIdentity& b);

// The mount of the entry at `path` (following symbolic links), or of the folder open as
// `folderFd` when `path` is empty; nothing with `error` set to the system's error number when
// the entry cannot be reached.
std::optional<MountIdentity> mountOf(const std::string& path, int* error = nullptr);
std::optional<MountIdentity> mountOfFolder(int folderFd, int* error = nullptr);

// The top folder of the mount that holds `folder`, an absolute path without symbolic links,
// "." or ".." parts (as realpath gives): the last folder on the way up to "/" that is still on
// the same mount.
std::string mountPointOf(const std::string& folder);

} // namespace corvane::platform
