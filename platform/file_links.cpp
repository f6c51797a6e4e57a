#include "platform/file_links.h"

#include "platform/folder_listing.h"
#include "platform/path_parts.h"
#include "platform/reason_texts.h"
#include "platform/unique_fd.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <random>
#include <set>
#include <stdio.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace corvane::platform {

namespace {

constexpr int kNameAttempts = 100;

LinkResult failure(LinkFailure kind, Reason reason) {
    return {kind, std::move(reason)};
}

// `code` with %3 for the system's words on `error`, and %1 for `path` where it names one.
LinkResult systemError(const char* code, int error, std::string path = {}) {
    return failure(LinkFailure::SystemError, Reason(code, std::move(path), {}, error));
}

// The same entry with the same bytes, as far as its size and modification time tell: linking
// and renaming move a file's status-change time, so that one is not compared.
bool sameFileUnwritten(const FileInfo& now, const FileInfo& then) {
    return now.kind == EntryKind::RegularFile && now.device == then.device && now.inode == then.inode &&
           now.size == then.size && now.modificationTimeNs == then.modificationTimeNs;
}

// Reads up to `size` bytes, fewer only at the end of the file; the count, or -1.
ssize_t readFull(int fd, char* into, size_t size) {
    size_t done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd, into + done, size - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return -1;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<size_t>(got);
    }
    return static_cast<ssize_t>(done);
}

// True when the entries `first` and `second` of the folder `folderFd` hold the same bytes now, read
// from their start to their end.
bool holdSameBytes(int folderFd, const char* first, const char* second) {
    const UniqueFd a(::openat(folderFd, first, O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    const UniqueFd b(::openat(folderFd, second, O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!a.isOpen() || !b.isOpen()) {
        return false;
    }
    constexpr size_t kPiece = size_t{1} << 20;
    std::vector<char> fromA(kPiece);
    std::vector<char> fromB(kPiece);
    for (;;) {
        const ssize_t gotA = readFull(a.get(), fromA.data(), kPiece);
        const ssize_t gotB = readFull(b.get(), fromB.data(), kPiece);
        if (gotA < 0 || gotA != gotB ||
            std::memcmp(fromA.data(), fromB.data(), static_cast<size_t>(gotA)) != 0) {
            return false;
        }
        if (gotA == 0) {
            return true;
        }
    }
}

constexpr std::string_view kTemporaryPrefix = ".corvane-link-";

// A name for the moment between the new link and the exchange. It names this process, so that a
// later run can tell a leftover of a process that ended there from a name in use.
std::string temporaryName() {
    thread_local std::mt19937_64 random{std::random_device{}()};
    char name[64];
    std::snprintf(name, sizeof name, "%s%ld-%016llx", kTemporaryPrefix.data(), static_cast<long>(::getpid()),
                  static_cast<unsigned long long>(random()));
    return name;
}

// True when the two open files hold the same bytes, read from their start.
bool sameBytes(int a, int b, int64_t size) {
    std::vector<char> left(1 << 16);
    std::vector<char> right(left.size());
    for (int64_t offset = 0; offset < size;) {
        const size_t want =
            static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(left.size()), size - offset));
        const ssize_t gotLeft = ::pread(a, left.data(), want, offset);
        const ssize_t gotRight = ::pread(b, right.data(), want, offset);
        if (gotLeft <= 0 || gotLeft != gotRight ||
            std::memcmp(left.data(), right.data(), static_cast<size_t>(gotLeft)) != 0) {
            return false;
        }
        offset += gotLeft;
    }
    return true;
}

// True when another entry of `listing` holds the bytes of its entry `name` (a regular file of
// `size` bytes).
bool bytesHeldElsewhere(const FolderListing& listing, const std::string& name, int64_t size) {
    const UniqueFd file(::openat(listing.handle(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!file.isOpen()) {
        return false;
    }
    for (const FolderEntry& entry : listing.entries()) {
        if (entry.kind != EntryKind::RegularFile || entry.name.starts_with(kTemporaryPrefix)) {
            continue;
        }
        const std::optional<FileInfo> other = listing.details(entry);
        if (!other || other->kind != EntryKind::RegularFile || other->size != size) {
            continue;
        }
        const UniqueFd otherFd(
            ::openat(listing.handle(), entry.name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
        if (otherFd.isOpen() && sameBytes(file.get(), otherFd.get(), size)) {
            return true;
        }
    }
    return false;
}

// Removes the temporary names that a process which ended in the middle of a replacement left in
// the folder open as `folderFd`. Such a name is either one more name of a file that has others,
// or (ended right after the exchange) the one name of the replaced file, whose bytes the new link
// beside it holds. It goes only when another name keeps its bytes; once per folder and process.
void removeLeftoverLinks(int folderFd) {
    static std::mutex mutex;
    static std::set<std::pair<uint64_t, uint64_t>> cleaned;
    FolderListing listing;
    if (!listing.open(FolderRelativeName{folderFd, "."})) {
        return;
    }
    {
        std::lock_guard lock(mutex);
        if (!cleaned.insert({listing.device(), listing.inode()}).second) {
            return;
        }
    }
    for (const FolderEntry& entry : listing.entries()) {
        if (entry.kind != EntryKind::RegularFile || !entry.name.starts_with(kTemporaryPrefix)) {
            continue;
        }
        const long pid = std::strtol(entry.name.c_str() + kTemporaryPrefix.size(), nullptr, 10);
        if (pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH)) {
            continue; // its process still runs
        }
        struct stat st {};
        if (::fstatat(listing.handle(), entry.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(st.st_mode)) {
            continue;
        }
        if (st.st_nlink > 1 || bytesHeldElsewhere(listing, entry.name, st.st_size)) {
            ::unlinkat(listing.handle(), entry.name.c_str(), 0);
        }
    }
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

// Opens `folder` for the calls at it that follow, and removes the temporary names a run cut short
// left there; when it cannot be opened, `failed` says why.
UniqueFd openFolder(const std::string& folder, LinkResult& failed) {
    UniqueFd folderFd(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!folderFd.isOpen()) {
        failed = errno == ENOENT ? failure(LinkFailure::Missing, kReasonGone)
                                 : systemError(kReasonFolderNotOpened, errno);
        return folderFd;
    }
    removeLeftoverLinks(folderFd.get());
    return folderFd;
}

} // namespace

LinkResult replaceWithHardLink(const std::string& path, const FileInfo& expected, const std::string& target,
                               const FileInfo& targetExpected) {
    const std::string folder = parentFolderOf(path);
    const std::string name = lastNameOf(path);
    LinkResult notOpened;
    const UniqueFd folderFd = openFolder(folder, notOpened);
    if (!folderFd.isOpen()) {
        return notOpened;
    }
    const std::optional<FileInfo> before = lookupFileAt(folderFd.get(), name.c_str());
    if (!before) {
        return failure(LinkFailure::Missing, kReasonGone);
    }
    if (before->kind != EntryKind::RegularFile) {
        return failure(LinkFailure::NotAFile, kReasonNotAFile);
    }
    if (!sameFileUnwritten(*before, expected)) {
        return failure(LinkFailure::Replaced, kReasonReplacedOrChanged);
    }
    const UniqueFd targetFd(::open(target.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    const std::optional<FileInfo> targetNow =
        targetFd.isOpen() ? lookupOpenFile(targetFd.get()) : std::optional<FileInfo>();
    if (!targetNow || identityOf(*targetNow) != identityOf(targetExpected) ||
        targetNow->kind != EntryKind::RegularFile) {
        return failure(LinkFailure::TargetReplaced, kReasonKeeperGoneOrReplaced);
    }
    if (identityOf(*before) == identityOf(*targetNow)) {
        return failure(LinkFailure::AlreadyLinked, Reason(kReasonAlreadyLinkedTo, target));
    }
    if (before->device != targetNow->device) {
        return failure(LinkFailure::OtherFileSystem, Reason(kReasonOtherFileSystemThan, target));
    }

    std::string temporary;
    if (const int error = linkOpenFile(targetFd.get(), target, folderFd.get(), temporary); error != 0) {
        if (error == EXDEV) {
            return failure(LinkFailure::OtherFileSystem, Reason(kReasonOtherMountThan, target));
        }
        return systemError(kReasonCannotLinkTo, error, target);
    }
    const std::optional<FileInfo> made = lookupFileAt(folderFd.get(), temporary.c_str());
    if (!made || identityOf(*made) != identityOf(*targetNow)) {
        // Only a path link can miss: another file took the target's name in between. That file
        // keeps its name there, so this extra name of it can go.
        ::unlinkat(folderFd.get(), temporary.c_str(), 0);
        return failure(LinkFailure::TargetReplaced, kReasonKeeperReplaced);
    }

    // One step: the new link takes the name, and the entry that had it takes the temporary name.
    if (::renameat2(folderFd.get(), temporary.c_str(), folderFd.get(), name.c_str(), RENAME_EXCHANGE) != 0) {
        const int error = errno;
        ::unlinkat(folderFd.get(), temporary.c_str(), 0); // our own extra name of the target
        if (error == EINVAL || error == ENOTSUP || error == ENOSYS) {
            // Replacing in two steps would leave the name empty for a moment.
            return failure(LinkFailure::SystemError, kReasonNoExchange);
        }
        return systemError(kReasonLinkNotPlaced, error);
    }
    const std::optional<FileInfo> replaced = lookupFileAt(folderFd.get(), temporary.c_str());
    // The copy that stays must still be there as it was: if it is gone, it and the file were one
    // file seen through two paths, and the file goes back.
    const std::optional<FileInfo> targetAfter = lookupFile(target);
    const bool targetStayed = targetAfter && identityOf(*targetAfter) == identityOf(*targetNow) &&
                              targetAfter->size == targetNow->size;
    if (replaced && sameFileUnwritten(*replaced, expected) && !targetStayed) {
        if (::renameat2(folderFd.get(), temporary.c_str(), folderFd.get(), name.c_str(), RENAME_EXCHANGE) !=
            0) {
            return systemError(kReasonOneFileNotPutBack, errno, joinPath(folder, temporary));
        }
        ::unlinkat(folderFd.get(), temporary.c_str(), 0);
        return failure(LinkFailure::SameFile, kReasonOneFile);
    }
    if (!replaced || !sameFileUnwritten(*replaced, expected)) {
        // Something else was at the name, or the file was written to in the moment since the look:
        // it goes back where it was, untouched.
        if (::renameat2(folderFd.get(), temporary.c_str(), folderFd.get(), name.c_str(), RENAME_EXCHANGE) !=
            0) {
            return systemError(kReasonReplacedNotPutBack, errno, joinPath(folder, temporary));
        }
        ::unlinkat(folderFd.get(), temporary.c_str(), 0);
        return failure(LinkFailure::Replaced, kReasonReplacedOrChanged);
    }
    // The replaced file's last name goes only while the copy that stays holds its bytes: the copy
    // written to in place since the last look would leave them in no file at all.
    if (!holdSameBytes(folderFd.get(), temporary.c_str(), name.c_str())) {
        if (::renameat2(folderFd.get(), temporary.c_str(), folderFd.get(), name.c_str(), RENAME_EXCHANGE) !=
            0) {
            return systemError(kReasonKeeperWrittenNotPutBack, errno, joinPath(folder, temporary));
        }
        ::unlinkat(folderFd.get(), temporary.c_str(), 0); // our extra name of the copy that stays
        return failure(LinkFailure::TargetReplaced, kReasonKeeperWrittenWhileLinked);
    }
    if (::unlinkat(folderFd.get(), temporary.c_str(), 0) != 0) {
        return systemError(kReasonReplacedFileStays, errno, joinPath(folder, temporary));
    }
    return {};
}

namespace {

// Copies what `from` holds, from its start to its end, into `to` (both open, `to` empty). The
// file system may share the blocks rather than write them again; the copy is a file of its own
// either way. 0, or the error number.
int copyAllBytes(int from, int to) {
    bool ranged = true;
    std::vector<char> buffer;
    for (;;) {
        if (ranged) {
            const ssize_t copied = ::copy_file_range(from, nullptr, to, nullptr, size_t{1} << 30, 0);
            if (copied > 0) {
                continue;
            }
            if (copied == 0) {
                return 0;
            }
            if (errno == EINTR) {
                continue;
            }
            if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
                return errno;
            }
            ranged = false; // nothing was copied by it: the plain way from where both stand
            buffer.resize(size_t{1} << 20);
        }
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got == 0) {
            return 0;
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(to, buffer.data() + done, static_cast<size_t>(got - done));
            if (put < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return errno;
            }
            done += put;
        }
    }
}

// A new file in the folder for the copy, for this user only until it is complete: without a name
// where the file system allows (a process that ends while copying then leaves nothing behind), else
// under a temporary name. `name` is empty for a file without one.
UniqueFd createCopyFile(int folderFd, std::string& name) {
    name.clear();
    UniqueFd unnamed(::openat(folderFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
    if (unnamed.isOpen() || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) {
        return unnamed;
    }
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        name = temporaryName();
        UniqueFd fd(
            ::openat(folderFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (fd.isOpen() || errno != EEXIST) {
            return fd;
        }
    }
    errno = EEXIST;
    return UniqueFd(-1);
}

// Gives the new file what the replaced one had: 0, or the error number of the step that failed.
// `ownerSet` is false when this user may not give the file that owner; the rest is set all the same.
int giveAttributes(int fd, const OwnAttributes& own, bool& ownerSet) {
    ownerSet = ::fchown(fd, own.owner, own.group) == 0;
    if (!ownerSet && errno != EPERM) {
        return errno;
    }
    // After the owner: changing it clears the set-id bits.
    if (::fchmod(fd, static_cast<mode_t>(own.mode & 07777)) != 0) {
        return errno;
    }
    const timespec times[2] = {{0, UTIME_OMIT},
                               {static_cast<time_t>(own.modifiedNs / 1'000'000'000),
                                static_cast<long>(own.modifiedNs % 1'000'000'000)}};
    if (::futimens(fd, times) != 0) {
        return errno;
    }
    return 0;
}

} // namespace

LinkResult replaceLinkWithOwnCopy(const std::string& path, const FileIdentity& linkedTo,
                                  const OwnAttributes& own) {
    const std::string folder = parentFolderOf(path);
    const std::string name = lastNameOf(path);
    LinkResult notOpened;
    const UniqueFd folderFd = openFolder(folder, notOpened);
    if (!folderFd.isOpen()) {
        return notOpened;
    }
    const UniqueFd source(::openat(folderFd.get(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!source.isOpen()) {
        if (errno == ENOENT) {
            return failure(LinkFailure::Missing, kReasonGone);
        }
        if (errno == ELOOP) {
            return failure(LinkFailure::Replaced, kReasonNoLongerLinked);
        }
        return systemError(kReasonCannotRead, errno);
    }
    const std::optional<FileInfo> linked = lookupOpenFile(source.get());
    if (!linked || linked->kind != EntryKind::RegularFile || identityOf(*linked) != linkedTo) {
        return failure(LinkFailure::Replaced, kReasonNoLongerLinked);
    }

    std::string temporary;
    const UniqueFd copy = createCopyFile(folderFd.get(), temporary);
    if (!copy.isOpen()) {
        return systemError(kReasonNoCopyBeside, errno);
    }
    const auto dropCopy = [&] {
        if (!temporary.empty()) {
            ::unlinkat(folderFd.get(), temporary.c_str(), 0);
        }
    };
    bool ownerSet = true;
    int error = copyAllBytes(source.get(), copy.get());
    if (error == 0) {
        error = giveAttributes(copy.get(), own, ownerSet);
    }
    if (error == 0 && ::fsync(copy.get()) != 0) {
        error = errno;
    }
    if (error == 0 && temporary.empty()) {
        // Whole: now it gets its temporary name, for the exchange.
        error = linkOpenFile(copy.get(), std::string(), folderFd.get(), temporary);
        if (error != 0) {
            temporary.clear();
        }
    }
    if (error != 0) {
        dropCopy();
        return systemError(kReasonNoCopyBeside, error);
    }
    if (::renameat2(folderFd.get(), temporary.c_str(), folderFd.get(), name.c_str(), RENAME_EXCHANGE) != 0) {
        error = errno;
        dropCopy();
        return systemError(kReasonCopyNotPlaced, error);
    }
    // The name that the copy gave up must be the link it replaced; anything else goes back.
    const std::optional<FileInfo> replaced = lookupFileAt(folderFd.get(), temporary.c_str());
    if (!replaced || identityOf(*replaced) != linkedTo) {
        if (::renameat2(folderFd.get(), temporary.c_str(), folderFd.get(), name.c_str(), RENAME_EXCHANGE) !=
            0) {
            return systemError(kReasonNoLongerLinkedNotPutBack, errno, joinPath(folder, temporary));
        }
        dropCopy();
        return failure(LinkFailure::Replaced, kReasonNoLongerLinked);
    }
    // The file linked to keeps its other names; this one of them goes.
    if (::unlinkat(folderFd.get(), temporary.c_str(), 0) != 0) {
        return systemError(kReasonLinkedNameStays, errno, joinPath(folder, temporary));
    }
    if (!ownerSet) {
        return {LinkFailure::None, kReasonOwnerNotBack};
    }
    return {};
}

} // namespace corvane::platform
