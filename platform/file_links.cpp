#include "platform/file_links.h"

#include "platform/path_parts.h"
#include "platform/unique_fd.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane::platform {

namespace {

constexpr int kNameAttempts = 100;

LinkResult failure(LinkFailure kind, std::string reason) {
    return {kind, std::move(reason)};
}

LinkResult systemError(const std::string& what, int error) {
    return failure(LinkFailure::SystemError, what + ": " + std::strerror(error));
}

// The same entry with the same bytes, as far as its size and modification time tell: linking
// and renaming move a file's status-change time, so that one is not compared.
bool sameFileUnwritten(const FileInfo& now, const FileInfo& then) {
    return now.kind == EntryKind::RegularFile && now.device == then.device && now.inode == then.inode &&
           now.size == then.size && now.modificationTimeNs == then.modificationTimeNs;
}

std::string temporaryName() {
    thread_local std::mt19937_64 random{std::random_device{}()};
    char name[40];
    std::snprintf(name, sizeof name, ".corvane-link-%016llx", static_cast<unsigned long long>(random()));
    return name;
}

// A new name in the folder for the file open as `targetFd`. The link is made from the open file,
// not from its path, so it names the very file that was checked.
int linkOpenFile(int targetFd, const std::string& targetPath, int folderFd, std::string& name) {
    const std::string byHandle = "/proc/self/fd/" + std::to_string(targetFd);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        name = temporaryName();
        if (::linkat(AT_FDCWD, byHandle.c_str(), folderFd, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            return 0;
        }
        if (errno == ENOENT && ::access("/proc/self/fd", F_OK) != 0) {
            // No /proc: by path, checked right after.
            if (::linkat(AT_FDCWD, targetPath.c_str(), folderFd, name.c_str(), 0) == 0) {
                return 0;
            }
        }
        if (errno != EEXIST) {
            return errno;
        }
    }
    return EEXIST;
}

// For file systems that cannot exchange two names in one step: the file is first moved aside
// under a name of its own, checked there, and the link then takes the free name with a call that
// never replaces an entry, so that whatever else turns up at the name in between is kept.
LinkResult replaceInSteps(int folderFd, const std::string& folder, const std::string& name,
                          const std::string& temporary, const FileInfo& expected) {
    std::string aside;
    for (int attempt = 0; aside.empty() && attempt < kNameAttempts; ++attempt) {
        aside = temporaryName();
        if (lookupFileAt(folderFd, aside.c_str())) {
            aside.clear();
        }
    }
    if (aside.empty() || ::renameat(folderFd, name.c_str(), folderFd, aside.c_str()) != 0) {
        const int error = aside.empty() ? EEXIST : errno;
        ::unlinkat(folderFd, temporary.c_str(), 0);
        return systemError("cannot move it aside", error);
    }
    const std::optional<FileInfo> moved = lookupFileAt(folderFd, aside.c_str());
    if (!moved || !sameFileUnwritten(*moved, expected)) {
        ::unlinkat(folderFd, temporary.c_str(), 0);
        if (::linkat(folderFd, aside.c_str(), folderFd, name.c_str(), 0) == 0) {
            ::unlinkat(folderFd, aside.c_str(), 0);
            return failure(LinkFailure::Replaced, "replaced or changed since it was checked");
        }
        return systemError("replaced since it was checked, and what took its place is now " +
                               joinPath(folder, aside) + ", since it cannot be put back",
                           errno);
    }
    if (::linkat(folderFd, temporary.c_str(), folderFd, name.c_str(), 0) != 0) {
        const int error = errno;
        ::unlinkat(folderFd, temporary.c_str(), 0);
        return systemError("cannot put the link in its place; the file is now " + joinPath(folder, aside),
                           error);
    }
    ::unlinkat(folderFd, temporary.c_str(), 0);
    if (::unlinkat(folderFd, aside.c_str(), 0) != 0) {
        return systemError("linked, but the file it replaced stays as " + joinPath(folder, aside), errno);
    }
    return {};
}

} // namespace

LinkResult replaceWithHardLink(const std::string& path, const FileInfo& expected, const std::string& target,
                               const FileInfo& targetExpected) {
    const std::string folder = parentFolderOf(path);
    const std::string name = lastNameOf(path);
    const UniqueFd folderFd(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!folderFd.isOpen()) {
        return errno == ENOENT ? failure(LinkFailure::Missing, "no longer there")
                               : systemError("its folder cannot be opened", errno);
    }
    const std::optional<FileInfo> before = lookupFileAt(folderFd.get(), name.c_str());
    if (!before) {
        return failure(LinkFailure::Missing, "no longer there");
    }
    if (before->kind != EntryKind::RegularFile) {
        return failure(LinkFailure::NotAFile, "not a regular file");
    }
    if (!sameFileUnwritten(*before, expected)) {
        return failure(LinkFailure::Replaced, "replaced or changed since it was checked");
    }
    const UniqueFd targetFd(::open(target.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    const std::optional<FileInfo> targetNow =
        targetFd.isOpen() ? lookupOpenFile(targetFd.get()) : std::optional<FileInfo>();
    if (!targetNow || identityOf(*targetNow) != identityOf(targetExpected) ||
        targetNow->kind != EntryKind::RegularFile) {
        return failure(LinkFailure::TargetReplaced, "the copy that stays is gone or was replaced");
    }
    if (identityOf(*before) == identityOf(*targetNow)) {
        return failure(LinkFailure::AlreadyLinked, "already a link to " + target);
    }
    if (before->device != targetNow->device) {
        return failure(LinkFailure::OtherFileSystem, "on another file system than " + target);
    }

    std::string temporary;
    if (const int error = linkOpenFile(targetFd.get(), target, folderFd.get(), temporary); error != 0) {
        if (error == EXDEV) {
            return failure(LinkFailure::OtherFileSystem, "on another mount than " + target);
        }
        return systemError("cannot link it to " + target, error);
    }
    const std::optional<FileInfo> made = lookupFileAt(folderFd.get(), temporary.c_str());
    if (!made || identityOf(*made) != identityOf(*targetNow)) {
        // Only a path link can miss: another file took the target's name in between. That file
        // keeps its name there, so this extra name of it can go.
        ::unlinkat(folderFd.get(), temporary.c_str(), 0);
        return failure(LinkFailure::TargetReplaced, "the copy that stays was replaced");
    }

    // One step: the new link takes the name, and the entry that had it takes the temporary name.
    if (::renameat2(folderFd.get(), temporary.c_str(), folderFd.get(), name.c_str(), RENAME_EXCHANGE) != 0) {
        const int error = errno;
        if (error == EINVAL || error == ENOTSUP || error == ENOSYS) {
            return replaceInSteps(folderFd.get(), folder, name, temporary, expected);
        }
        ::unlinkat(folderFd.get(), temporary.c_str(), 0); // our own extra name of the target
        return systemError("cannot put the link in its place", error);
    }
    const std::optional<FileInfo> replaced = lookupFileAt(folderFd.get(), temporary.c_str());
    if (!replaced || !sameFileUnwritten(*replaced, expected)) {
        // Something else was at the name, or the file was written to in the moment since the look:
        // it goes back where it was, untouched.
        if (::renameat2(folderFd.get(), temporary.c_str(), folderFd.get(), name.c_str(), RENAME_EXCHANGE) !=
            0) {
            return systemError("replaced since it was checked, and what took its place is now " +
                                   joinPath(folder, temporary) + ", since it cannot be put back",
                               errno);
        }
        ::unlinkat(folderFd.get(), temporary.c_str(), 0);
        return failure(LinkFailure::Replaced, "replaced or changed since it was checked");
    }
    if (::unlinkat(folderFd.get(), temporary.c_str(), 0) != 0) {
        return systemError("linked, but the file it replaced stays as " + joinPath(folder, temporary), errno);
    }
    return {};
}

} // namespace corvane::platform
