#include "engine/keep_in_folders.h"

#include "platform/folder_handles.h"
#include "platform/folder_listing.h"
#include "platform/path_parts.h"
#include "platform/unique_fd.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace corvane::engine {

namespace {

using Identity = std::pair<uint64_t, uint64_t>;

// Adds the folder open as `folderFd` and every folder below it to `folders`, entering each once
// and following no links; mounts below it are entered, since their files lie in it too.
void addFoldersBelow(int folderFd, std::set<Identity>& folders) {
    platform::FolderListing listing;
    if (!listing.open(platform::FolderRelativeName{folderFd, "."}) ||
        !folders.insert({listing.device(), listing.inode()}).second) {
        return;
    }
    for (const platform::FolderEntry& entry : listing.entries()) {
        if (entry.kind != platform::EntryKind::Directory || entry.name == "." || entry.name == "..") {
            continue;
        }
        const platform::UniqueFd subfolder(
            ::openat(listing.handle(), entry.name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (subfolder.isOpen()) {
            addFoldersBelow(subfolder.get(), folders);
        }
    }
}

} // namespace

int KeepInFolders::add(const std::string& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) {
        return errno;
    }
    if (!S_ISDIR(st.st_mode)) {
        return ENOTDIR;
    }
    roots_.push_back(folder);
    walked_ = false;
    return 0;
}

void KeepInFolders::walkFolders() {
    folders_.clear();
    for (const std::string& root : roots_) {
        const platform::UniqueFd folder(::open(root.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (folder.isOpen()) {
            addFoldersBelow(folder.get(), folders_);
        }
    }
    walked_ = true;
}

bool KeepInFolders::holds(const std::string& path) {
    if (roots_.empty()) {
        return false;
    }
    if (!walked_) {
        walkFolders();
    }
    // The folder the file is in, as the system resolves its path.
    const platform::UniqueFd folder = platform::openFolderHandle(platform::parentFolderOf(path));
    struct stat st {};
    if (!folder.isOpen() || ::fstat(folder.get(), &st) != 0) {
        return false;
    }
    return folders_.count({st.st_dev, st.st_ino}) != 0;
}

} // namespace corvane::engine
