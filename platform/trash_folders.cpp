#include "platform/trash_folders.h"

#include "platform/file_info.h"
#include "platform/path_parts.h"
#include "platform/trash.h"
#include "platform/unique_fd.h"

#include <climits>
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

namespace {

// True when the entry `name` of the folder `folder` (a path) is a trash folder. A folder path
// longer than the system takes cannot be opened, and was never made a trash by its name.
bool namesTrashFolder(std::string_view folder, std::string_view name) {
    if (!mayBeTrashFolderName(name) || folder.size() >= PATH_MAX) {
        return false;
    }
    const UniqueFd handle(::open(std::string(folder).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    return handle.isOpen() && isTrashFolder(handle.get(), std::string(name));
}

} // namespace

uint32_t TrashFolderTest::child(uint32_t parent, std::string_view name) {
    std::string key(reinterpret_cast<const char*>(&parent), sizeof parent);
    key += name;
    const auto [found, added] = children_.emplace(std::move(key), static_cast<uint32_t>(inTrash_.size()));
    if (added) {
        inTrash_.push_back(false);
    }
    return found->second;
}

bool TrashFolderTest::holds(const std::string& path) {
    const std::string full = absolute(path);
    // Down the folders on the way from the root, each answered once for every path below it; the
    // last name is the entry itself, which may be a trash folder too.
    uint32_t folder = full.starts_with(kPathSeparator) ? kRoot : kWorkingFolder;
    size_t start = 0;
    while (start < full.size()) {
        size_t end = full.find(kPathSeparator, start);
        if (end == std::string::npos) {
            end = full.size();
        }
        const std::string_view name = std::string_view(full).substr(start, end - start);
        const std::string_view parent = std::string_view(full).substr(0, start == 0 ? 0 : start - 1);
        const std::string_view parentPath = start == 0       ? std::string_view(".")
                                            : parent.empty() ? std::string_view("/")
                                                             : parent;
        if (name.empty() || name == ".") {
            start = end + 1;
            continue;
        }
        if (end == full.size()) {
            return inTrash_[folder] || namesTrashFolder(parentPath, name);
        }
        const size_t known = inTrash_.size();
        const uint32_t next = child(folder, name);
        if (next == known) {
            inTrash_[next] = inTrash_[folder] || namesTrashFolder(parentPath, name);
        }
        folder = next;
        start = end + 1;
    }
    return inTrash_[folder];
}

} // namespace corvane::platform
