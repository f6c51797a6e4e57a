#include "platform/trash_folders.h"

#include "platform/file_info.h"
#include "platform/path_parts.h"
#include "platform/trash.h"
#include "platform/unique_fd.h"

#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane::platform {

namespace {

bool isSharedOrUserTrashName(std::string_view name) {
    if (name == ".Trash") {
        return true;
    }
    constexpr std::string_view kUserTrash = ".Trash-";
    if (!name.starts_with(kUserTrash) || name.size() == kUserTrash.size()) {
        return false;
    }
    for (const char c : name.substr(kUserTrash.size())) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

// The folder open as `folderFd` is the root of a mount. Where the system does not say, a folder
// whose parent lies on another mount (or device) is one.
bool isMountTop(int folderFd) {
    struct statx here {};
    if (::statx(folderFd, "", AT_EMPTY_PATH | AT_NO_AUTOMOUNT, STATX_TYPE | STATX_MNT_ID, &here) != 0) {
        return false;
    }
    if (here.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) {
        return (here.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
    }
    struct statx parent {};
    if (::statx(folderFd, "..", AT_NO_AUTOMOUNT, STATX_TYPE | STATX_MNT_ID, &parent) != 0) {
        return false;
    }
    if ((here.stx_mask & STATX_MNT_ID) && (parent.stx_mask & STATX_MNT_ID)) {
        return here.stx_mnt_id != parent.stx_mnt_id;
    }
    return here.stx_dev_major != parent.stx_dev_major || here.stx_dev_minor != parent.stx_dev_minor ||
           here.stx_ino == parent.stx_ino;
}

// The home trash under each name it may have: the one this program uses, and the default one
// that other programs use when they do not read XDG_DATA_HOME.
bool isHomeTrash(const FileInfo& folder) {
    std::string defaultTrash;
    if (const char* home = std::getenv("HOME"); home && home[0] == kPathSeparator) {
        defaultTrash = joinPath(home, ".local/share/Trash");
    }
    for (const std::string& trash : {homeTrashFolder(), defaultTrash}) {
        if (trash.empty()) {
            continue;
        }
        const std::optional<FileInfo> info = lookupTarget(trash);
        if (info && info->kind == EntryKind::Directory && identityOf(*info) == identityOf(folder)) {
            return true;
        }
    }
    return false;
}

std::string absolute(const std::string& path) {
    if (!path.empty() && path.front() == kPathSeparator) {
        return path;
    }
    const std::string here = currentFolder();
    return here.empty() ? path : joinPath(here, path);
}

} // namespace

bool mayBeTrashFolderName(std::string_view name) {
    return name == "Trash" || isSharedOrUserTrashName(name);
}

bool isTrashFolder(int folderFd, const std::string& name) {
    if (name == "Trash") {
        const std::optional<FileInfo> info = lookupFileAt(folderFd, name.c_str());
        return info && info->kind == EntryKind::Directory && isHomeTrash(*info);
    }
    return isSharedOrUserTrashName(name) && isMountTop(folderFd);
}

bool TrashFolderTest::holds(const std::string& path) {
    std::string folder = parentFolderOf(absolute(path));
    std::string name = lastNameOf(path);
    if (mayBeTrashFolderName(name)) {
        // The path itself may name a trash folder.
        const UniqueFd handle(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (handle.isOpen() && isTrashFolder(handle.get(), name)) {
            return true;
        }
    }
    // Up the folders on the way, each answered once for every path below it.
    std::vector<std::string> walked;
    bool inside = false;
    while (folder.size() > 1) {
        if (const auto known = folders_.find(folder); known != folders_.end()) {
            inside = known->second;
            break;
        }
        walked.push_back(folder);
        const std::string parent = parentFolderOf(folder);
        name = lastNameOf(folder);
        if (mayBeTrashFolderName(name)) {
            const UniqueFd handle(::open(parent.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
            if (handle.isOpen() && isTrashFolder(handle.get(), name)) {
                inside = true;
                break;
            }
        }
        folder = parent;
    }
    for (const std::string& seen : walked) {
        folders_[seen] = inside;
    }
    return inside;
}

} // namespace corvane::platform
