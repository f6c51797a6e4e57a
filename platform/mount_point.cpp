#include "platform/mount_point.h"

#include "platform/path_parts.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace corvane::platform {

namespace {

std::optional<MountIdentity> statMount(int folderFd, const char* path, int flags, int* error) {
    struct statx sx {};
    if (statx(folderFd, path, flags | AT_NO_AUTOMOUNT, STATX_TYPE | STATX_MNT_ID, &sx) != 0) {
        if (error) {
            *error = errno;
        }
        return std::nullopt;
    }
    MountIdentity mount;
    mount.device = makedev(sx.stx_dev_major, sx.stx_dev_minor);
    mount.hasMountId = (sx.stx_mask & STATX_MNT_ID) != 0;
    mount.mountId = mount.hasMountId ? sx.stx_mnt_id : 0;
    return mount;
}

} // namespace

bool sameMount(const MountIdentity& a, const MountIdentity& b) {
    if (a.hasMountId && b.hasMountId) {
        return a.mountId == b.mountId;
    }
    return a.device == b.device;
}

std::optional<MountIdentity> mountOf(const std::string& path, int* error) {
    return statMount(AT_FDCWD, path.c_str(), 0, error);
}

std::optional<MountIdentity> mountOfFolder(int folderFd, int* error) {
    return statMount(folderFd, "", AT_EMPTY_PATH, error);
}

std::string mountPointOf(const std::string& folder) {
    std::string top = folder;
    const auto mount = mountOf(top);
    if (!mount) {
        return top;
    }
    while (top != "/") {
        const std::string parent = parentFolderOf(top);
        if (parent == ".") {
            break; // not an absolute path: nothing above it to look at
        }
        const auto parentMount = mountOf(parent);
        if (!parentMount || !sameMount(*parentMount, *mount)) {
            break;
        }
        top = parent;
    }
    return top;
}

} // namespace corvane::platform
