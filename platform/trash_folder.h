#pragma once

// Finding, and where missing making, the trash that can take the files of one folder: the home
// trash for the home trash's own mount, else the trash at the top of the folder's mount. Used by
// the move to the trash (trash.h).

#include "platform/reason.h"
#include "platform/unique_fd.h"

#include <string>
#include <variant>

namespace corvane::platform {

// A trash ready to take files: its files/ and info/ folders are open.
struct TrashFolder {
    std::string folder;
    // Empty for the home trash. For the trash at the top of a mount, that top folder: the
    // paths in its info files are relative to it.
    std::string topFolder;
    UniqueFd files;
    UniqueFd info;
};

// Why no trash could be had, and which trash failed (when it got that far).
struct NoTrashFolder {
    Reason reason;
    std::string folder;
};

// The trash for files in the folder open as `folderFd`, whose path `folder` is absolute and free
// of links, "." and ".." (as realpath gives).
std::variant<TrashFolder, NoTrashFolder> openTrashFolderFor(int folderFd, const std::string& folder);

} // namespace corvane::platform
