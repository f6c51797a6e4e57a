#include "platform/trash.h"

#include "platform/folder_listing.h"
#include "platform/path_parts.h"
#include "platform/reason_texts.h"
#include "platform/trash_folder.h"
#include "platform/trash_info.h"
#include "platform/unique_fd.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <unordered_map>
#include <variant>
#include <vector>

namespace corvane::platform {

namespace {

constexpr std::string_view kInfoSuffix = ".trashinfo";
// The longest name a folder entry may have on the file systems Linux mounts.
constexpr size_t kMaxNameLength = 255;
constexpr mode_t kInfoFileMode = 0600;
// Extensions longer than this are not kept apart when a name gets a number.
constexpr size_t kMaxExtensionLength = 16;
constexpr unsigned kMaxNameAttempts = 100000;
constexpr size_t kMaxInfoFileSize = 1 << 20;

constexpr const char* kMissing = kReasonGone;
constexpr const char* kNotAFile = kReasonNotAFileOrLink;
constexpr const char* kReplaced = kReasonTakenPlace;

TrashResult failure(TrashFailure kind, Reason reason, std::string trashFolder = {}) {
    TrashResult result;
    result.failure = kind;
    result.reason = std::move(reason);
    result.trashFolder = std::move(trashFolder);
    return result;
}

// An entry as it is, a final symbolic link not followed.
struct Entry {
    FileIdentity identity;
    mode_t mode = 0;
};

std::optional<Entry> lookAt(int folderFd, const char* name, int* error) {
    struct statx sx {};
    if (::statx(folderFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_TYPE | STATX_INO, &sx) != 0) {
        *error = errno;
        return std::nullopt;
    }
    return Entry{{makedev(sx.stx_dev_major, sx.stx_dev_minor), sx.stx_ino}, sx.stx_mode};
}

// The absolute path, through no links, of the folder open as `folderFd` (reached as `typed`): the
// one the system gives for the handle itself, so that the info file names the folder the file
// really is in, even when the typed path was changed in the meantime. Accepted only when that
// path leads to the open folder.
std::optional<std::string> pathOfOpenFolder(int folderFd, const std::string& typed) {
    std::string path;
    char buffer[PATH_MAX + 1];
    const std::string byHandle = "/proc/self/fd/" + std::to_string(folderFd);
    const ssize_t length = ::readlink(byHandle.c_str(), buffer, sizeof buffer);
    if (length > 0 && static_cast<size_t>(length) < sizeof buffer) {
        path.assign(buffer, static_cast<size_t>(length));
    } else {
        // No /proc: the typed path resolved, checked below like the other.
        const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(typed.c_str(), nullptr),
                                                                   &std::free);
        if (!resolved) {
            return std::nullopt;
        }
        path = resolved.get();
    }
    if (path.empty() || path.front() != kPathSeparator) {
        return std::nullopt; // a folder that was removed, or one outside this process's root
    }
    struct stat open {};
    struct stat named {};
    if (::fstat(folderFd, &open) != 0 || ::stat(path.c_str(), &named) != 0 || open.st_dev != named.st_dev ||
        open.st_ino != named.st_ino) {
        return std::nullopt;
    }
    return path;
}

// The file to move, as found: its folder open, its name in it, what it is.
struct FileToMove {
    UniqueFd folder;
    std::string name;
    FileIdentity identity;
    // Its path as the info file records it: absolute, through no links.
    std::string originalPath;
    std::string canonicalFolder;
};

// Finds the entry at `path` and checks that it may go to the trash.
std::variant<FileToMove, TrashResult> findFileToMove(const std::string& path,
                                                     const std::optional<FileIdentity>& expected) {
    if (path.find('\0') != std::string::npos) {
        // The system would read the name only up to the zero byte: another file's name.
        return failure(TrashFailure::Missing, kReasonNulInName);
    }
    FileToMove file;
    file.name = lastNameOf(path);
    const std::string folder = parentFolderOf(path);
    if (file.name.empty() || file.name == "." || file.name == "..") {
        struct stat st {};
        return ::lstat(path.c_str(), &st) != 0 ? failure(TrashFailure::Missing, kMissing)
                                               : failure(TrashFailure::NotAFile, kNotAFile);
    }
    file.folder = UniqueFd(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!file.folder.isOpen()) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return failure(TrashFailure::Missing, kMissing);
        }
        return failure(TrashFailure::MoveFailed, Reason(kReasonFolderNotOpened, {}, {}, errno));
    }
    int error = 0;
    const auto entry = lookAt(file.folder.get(), file.name.c_str(), &error);
    if (!entry) {
        if (error == ENOENT) {
            return failure(TrashFailure::Missing, kMissing);
        }
        return failure(TrashFailure::MoveFailed, Reason(kReasonCannotLookAt, {}, {}, error));
    }
    if (!S_ISREG(entry->mode) && !S_ISLNK(entry->mode)) {
        return failure(TrashFailure::NotAFile, kNotAFile);
    }
    if (expected && entry->identity != *expected) {
        return failure(TrashFailure::Replaced, kReplaced);
    }
    file.identity = entry->identity;
    std::optional<std::string> resolved = pathOfOpenFolder(file.folder.get(), folder);
    if (!resolved) {
        return failure(TrashFailure::MoveFailed, kReasonFolderMoved);
    }
    file.canonicalFolder = std::move(*resolved);
    file.originalPath = joinPath(file.canonicalFolder, file.name);
    return file;
}

// Cuts `text` to at most `length` bytes, not inside a UTF-8 sequence where it is one.
std::string cutName(std::string text, size_t length) {
    if (text.size() <= length) {
        return text;
    }
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) {
        --length;
    }
    text.resize(length);
    return text;
}

// The name the file gets in the trash on the `attempt`-th try: the name itself first, then
// with ".2", ".3", ... before its extension, all short enough to leave room for the info
// file's ".trashinfo".
std::string nameInTrash(const std::string& name, unsigned attempt) {
    const size_t room = kMaxNameLength - kInfoSuffix.size();
    if (attempt <= 1 && name.size() <= room) {
        return name;
    }
    size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0 || name.size() - dot > kMaxExtensionLength) {
        dot = name.size();
    }
    const std::string extension = name.substr(dot);
    std::string number; // built by appending: GCC 12 warns falsely (-Wrestrict) about "." + std::string
    if (attempt > 1) {
        number = '.';
        number += std::to_string(attempt);
    }
    return cutName(name.substr(0, dot), room - number.size() - extension.size()) + number + extension;
}

// Where the search for a free name in a trash starts: after the number last taken for the same
// name in the same trash by this program, so that trashing many files of one name does not try
// every taken name each time.
class NameNumbers {
public:
    unsigned firstAttempt(const std::string& key) {
        std::lock_guard lock(mutex_);
        const auto found = next_.find(key);
        return found == next_.end() ? 1 : found->second;
    }
    void taken(const std::string& key, unsigned attempt) {
        std::lock_guard lock(mutex_);
        if (next_.size() >= kMaxRemembered) {
            next_.clear();
        }
        next_[key] = attempt + 1;
    }

private:
    static constexpr size_t kMaxRemembered = 4096;
    std::mutex mutex_;
    std::unordered_map<std::string, unsigned> next_;
};

NameNumbers& nameNumbers() {
    static NameNumbers numbers;
    return numbers;
}

bool writeAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<size_t>(written);
    }
    return true;
}

// Renames without replacing an entry at the target: the system's flag for it, or where the file
// system does not know that flag, a look first (the trash's files/ folder is this user's own).
// 0, or the error number.
int renameWithoutReplacing(int fromFolder, const char* from, int toFolder, const char* to) {
    if (::renameat2(fromFolder, from, toFolder, to, RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return errno;
    }
    int error = 0;
    if (lookAt(toFolder, to, &error)) {
        return EEXIST;
    }
    return ::renameat(fromFolder, from, toFolder, to) == 0 ? 0 : errno;
}

constexpr std::string_view kTemporaryInfoPrefix = ".corvane-info-";

// A name for an info file being written where the file system cannot write it nameless: it
// names this process, so that a later run can tell a leftover of a crash from one being written.
std::string temporaryInfoName() {
    static std::atomic<unsigned> counter{0};
    return std::string(kTemporaryInfoPrefix) + std::to_string(::getpid()) + "-" + std::to_string(++counter);
}

std::optional<std::string> readAll(int fd, const std::string& path, Reason* failure) {
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            *failure = Reason(kReasonRecordUnreadable, path, {}, errno);
            return std::nullopt;
        }
        if (got == 0) {
            return text;
        }
        text.append(buffer, static_cast<size_t>(got));
        if (text.size() > kMaxInfoFileSize) {
            *failure = Reason(kReasonRecordTooLarge, path);
            return std::nullopt;
        }
    }
}

// Removes the info file `name` of info/ if a run of this program left it when it was killed
// between writing it and moving its file (or after putting the file back): it carries this
// program's key, no process holds its lock (a writer of ours keeps its info file locked until its
// move is done or taken back), its file is not in files/, and the entry it was written for is still
// at its Path=, never moved. Anything else stays: another program's info file, one being written,
// one whose file is in the trash, one whose file went elsewhere.
void removeIfLeftBehind(const TrashFolder& trash, const std::string& name) {
    const int infoFd = trash.info.get();
    const UniqueFd info(::openat(infoFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat opened {};
    if (!info.isOpen() || ::fstat(info.get(), &opened) != 0 || !S_ISREG(opened.st_mode) ||
        ::flock(info.get(), LOCK_EX | LOCK_NB) != 0) {
        return;
    }
    Reason ignored;
    const auto text = readAll(info.get(), name, &ignored);
    const auto said = text ? parseTrashInfo(*text) : std::nullopt;
    if (!said || !said->movedEntry) {
        return;
    }
    int error = 0;
    const std::string inTrash = name.substr(0, name.size() - kInfoSuffix.size());
    if (lookAt(trash.files.get(), inTrash.c_str(), &error) || error != ENOENT) {
        return;
    }
    std::string original = said->originalPath;
    if (original.front() != kPathSeparator) {
        if (trash.topFolder.empty()) {
            return;
        }
        original = joinPath(trash.topFolder, original);
    }
    const auto atItsPlace = lookAt(AT_FDCWD, original.c_str(), &error);
    if (!atItsPlace || atItsPlace->identity != *said->movedEntry) {
        return;
    }
    // The name still names the file read, not one that took its place meanwhile.
    struct stat named {};
    if (::fstatat(infoFd, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && named.st_dev == opened.st_dev &&
        named.st_ino == opened.st_ino) {
        ::unlinkat(infoFd, name.c_str(), 0);
    }
}

// Removes from `trash` what runs of this program that were killed left: a temporary info file of a
// process that no longer runs, and an info file without its file (removeIfLeftBehind). Once per
// trash and process, before this process writes an info file there: the threads that move into
// that trash wait for it, so no info file of this process is half-way while it looks (on a file
// system whose locks belong to a process, its own lock would not keep it).
void removeLeftovers(const TrashFolder& trash) {
    static std::mutex mutex;
    static std::unordered_map<std::string, bool> cleaned;
    std::lock_guard lock(mutex);
    if (!cleaned.emplace(trash.folder, true).second) {
        return;
    }
    FolderListing infoListing;
    if (!infoListing.open(FolderRelativeName{trash.info.get(), "."})) {
        return;
    }
    std::vector<std::string> infoNames;
    for (const FolderEntry& entry : infoListing.entries()) {
        if (entry.name.starts_with(kTemporaryInfoPrefix)) {
            const long pid = std::strtol(entry.name.c_str() + kTemporaryInfoPrefix.size(), nullptr, 10);
            if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
                ::unlinkat(trash.info.get(), entry.name.c_str(), 0);
            }
        } else if (entry.name.size() > kInfoSuffix.size() && entry.name.ends_with(kInfoSuffix)) {
            infoNames.push_back(entry.name);
        }
    }
    if (infoNames.empty()) {
        return;
    }
    // One listing of files/ finds the few info files whose file is missing.
    FolderListing filesListing;
    if (!filesListing.open(FolderRelativeName{trash.files.get(), "."})) {
        return;
    }
    std::vector<std::string_view> files;
    for (const FolderEntry& entry : filesListing.entries()) {
        files.push_back(entry.name);
    }
    std::sort(files.begin(), files.end());
    for (const std::string& name : infoNames) {
        const std::string_view inTrash = std::string_view(name).substr(0, name.size() - kInfoSuffix.size());
        if (!std::binary_search(files.begin(), files.end(), inTrash)) {
            removeIfLeftBehind(trash, name);
        }
    }
}

// An info file's text: `marked` carries this program's key, which only a locked info file may
// have; `plain` is for a file system that cannot lock.
struct InfoTexts {
    std::string plain;
    std::string marked;
};

// Writes an info file and gives it `infoName` in info/ (open as `infoFd`) only once it is complete,
// never in place of another entry: whenever the process ends, there is either no info file of
// that name or a whole one. The file stays open in `held`, locked where the file system can lock,
// until the caller's move is done or taken back, so that no other run takes it for a leftover
// meanwhile. 0, EEXIST when the name is taken, or the system's error number.
int placeInfoFile(int infoFd, const std::string& infoName, const InfoTexts& texts, UniqueFd& held) {
    const auto textFor = [&](int fd) -> const std::string& {
        return ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? texts.marked : texts.plain;
    };
    // Written without a name first where the file system can, so that nothing is left behind.
    UniqueFd nameless(::openat(infoFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, kInfoFileMode));
    if (nameless.isOpen()) {
        if (!writeAll(nameless.get(), textFor(nameless.get()))) {
            return errno;
        }
        const std::string byHandle = "/proc/self/fd/" + std::to_string(nameless.get());
        if (::linkat(AT_FDCWD, byHandle.c_str(), infoFd, infoName.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            held = std::move(nameless);
            return 0;
        }
        if (errno == EEXIST || (errno != ENOENT && errno != EPERM && errno != EOPNOTSUPP)) {
            return errno;
        }
    }
    const std::string temporary = temporaryInfoName();
    UniqueFd named(::openat(infoFd, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                            kInfoFileMode));
    if (!named.isOpen()) {
        return errno;
    }
    int error = writeAll(named.get(), textFor(named.get())) ? 0 : errno;
    if (error == 0) {
        error = renameWithoutReplacing(infoFd, temporary.c_str(), infoFd, infoName.c_str());
    }
    if (error != 0) {
        ::unlinkat(infoFd, temporary.c_str(), 0);
        return error;
    }
    held = std::move(named);
    return 0;
}

Reason moveFailure(int error, const std::string& trash) {
    return Reason(error == EXDEV ? kReasonOtherFileSystemThanTrash : kReasonCannotMoveIntoTrash, trash, {},
                  error);
}

// Writes the info file under a name free in the trash, then renames the file to that name in
// files/; takes the info file back if the rename fails.
TrashResult putIntoTrash(const FileToMove& file, const TrashFolder& trash, const WhyNotStay& whyNotStay) {
    std::string pathForInfo = file.originalPath;
    if (!trash.topFolder.empty()) {
        pathForInfo.erase(0, trash.topFolder == "/" ? 1 : trash.topFolder.size() + 1);
    }
    const auto date = trashDeletionDate(std::time(nullptr));
    if (!date) {
        return failure(TrashFailure::MoveFailed, kReasonNoLocalTime, trash.folder);
    }
    const InfoTexts infoTexts{composeTrashInfo(pathForInfo, *date),
                              composeTrashInfo(pathForInfo, *date, file.identity)};
    const int folderFd = file.folder.get();
    const char* name = file.name.c_str();
    removeLeftovers(trash);

    const std::string numbersKey = joinPath(trash.folder, file.name);
    const unsigned firstAttempt = nameNumbers().firstAttempt(numbersKey);
    for (unsigned attempt = firstAttempt; attempt < firstAttempt + kMaxNameAttempts; ++attempt) {
        const std::string inTrash = nameInTrash(file.name, attempt);
        const std::string infoName = inTrash + std::string(kInfoSuffix);
        const std::string infoPath = joinPath(joinPath(trash.folder, "info"), infoName);
        UniqueFd heldInfo; // locked until this attempt ends, whichever way
        if (const int placed = placeInfoFile(trash.info.get(), infoName, infoTexts, heldInfo); placed != 0) {
            if (placed == EEXIST) {
                continue;
            }
            return failure(TrashFailure::NoTrash, Reason(kReasonInfoNotWritten, infoPath, {}, placed),
                           trash.folder);
        }
        const auto dropInfo = [&] { ::unlinkat(trash.info.get(), infoName.c_str(), 0); };

        // The last look before the move.
        int error = 0;
        const auto now = lookAt(folderFd, name, &error);
        if (!now || now->identity != file.identity) {
            dropInfo();
            return now ? failure(TrashFailure::Replaced, kReplaced, trash.folder)
                       : failure(TrashFailure::Missing, kMissing, trash.folder);
        }
        const int moveError = renameWithoutReplacing(folderFd, name, trash.files.get(), inTrash.c_str());
        if (moveError == EEXIST) {
            dropInfo(); // a file of that name without its info: leave it, take the next name
            continue;
        }
        if (moveError != 0) {
            dropInfo();
            return moveError == ENOENT ? failure(TrashFailure::Missing, kMissing, trash.folder)
                                       : failure(TrashFailure::MoveFailed,
                                                 moveFailure(moveError, trash.folder), trash.folder);
        }
        nameNumbers().taken(numbersKey, attempt);

        TrashResult result;
        result.trashFolder = trash.folder;
        result.fileInTrash = joinPath(joinPath(trash.folder, "files"), inTrash);
        result.infoFile = infoPath;
        // The first look after it: was it the entry that was looked at?
        const auto moved = lookAt(trash.files.get(), inTrash.c_str(), &error);
        if (moved && moved->identity == file.identity) {
            Reason why = whyNotStay ? whyNotStay(result.fileInTrash) : Reason();
            if (why.empty()) {
                return result;
            }
            // The caller's look after the move found something wrong: back where it was.
            if (renameWithoutReplacing(trash.files.get(), inTrash.c_str(), folderFd, name) == 0) {
                dropInfo();
                return failure(TrashFailure::PutBack, std::move(why), trash.folder);
            }
            result.failure = TrashFailure::NotPutBack;
            result.reason = Reason(kReasonStaysInTrash, result.fileInTrash);
            return result;
        }
        if (renameWithoutReplacing(trash.files.get(), inTrash.c_str(), folderFd, name) == 0) {
            dropInfo();
            return failure(TrashFailure::Replaced, kReasonOtherPutBack, trash.folder);
        }
        result.failure = TrashFailure::Replaced;
        result.reason = Reason(kReasonOtherWentToTrash, result.fileInTrash);
        return result;
    }
    return failure(TrashFailure::NoTrash, kReasonTooManyInTrash, trash.folder);
}

TrashResult moveIntoTrash(const std::string& path, const std::optional<FileIdentity>& expected,
                          const WhyNotStay& whyNotStay) {
    auto found = findFileToMove(path, expected);
    if (auto* refused = std::get_if<TrashResult>(&found)) {
        return std::move(*refused);
    }
    const FileToMove& file = std::get<FileToMove>(found);
    auto opened = openTrashFolderFor(file.folder.get(), file.canonicalFolder);
    if (auto* none = std::get_if<NoTrashFolder>(&opened)) {
        return failure(TrashFailure::NoTrash, std::move(none->reason), std::move(none->folder));
    }
    return putIntoTrash(file, std::get<TrashFolder>(opened), whyNotStay);
}

std::optional<std::string> readWholeFile(const std::string& path, Reason* failure) {
    const UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (!file.isOpen()) {
        *failure = Reason(kReasonRecordUnreadable, path, {}, errno);
        return std::nullopt;
    }
    return readAll(file.get(), path, failure);
}

} // namespace

TrashResult moveToTrash(const std::string& path) {
    return moveIntoTrash(path, std::nullopt, {});
}

TrashResult moveToTrash(const std::string& path, const FileIdentity& expected, const WhyNotStay& whyNotStay) {
    return moveIntoTrash(path, expected, whyNotStay);
}

std::optional<TrashedFile> readTrashInfo(const std::string& infoFile, Reason* failure) {
    Reason why;
    const auto fail = [&]() -> std::optional<TrashedFile> {
        if (failure) {
            *failure = why;
        }
        return std::nullopt;
    };
    const auto text = readWholeFile(infoFile, &why);
    if (!text) {
        return fail();
    }
    auto info = parseTrashInfo(*text);
    const std::string infoName = lastNameOf(infoFile);
    if (!info || !infoName.ends_with(kInfoSuffix)) {
        why = Reason(kReasonRecordNotInfo, infoFile);
        return fail();
    }
    const std::string trash = parentFolderOf(parentFolderOf(infoFile));
    TrashedFile trashed;
    trashed.deletionDate = std::move(info->deletionDate);
    trashed.fileInTrash =
        joinPath(joinPath(trash, "files"), infoName.substr(0, infoName.size() - kInfoSuffix.size()));
    if (info->originalPath.front() == kPathSeparator) {
        trashed.originalPath = std::move(info->originalPath);
        return trashed;
    }
    // A relative path belongs to the trash at the top of a mount: $top/.Trash-$uid or
    // $top/.Trash/$uid.
    std::string top;
    if (lastNameOf(trash).starts_with(".Trash-")) {
        top = parentFolderOf(trash);
    } else if (lastNameOf(parentFolderOf(trash)) == ".Trash") {
        top = parentFolderOf(parentFolderOf(trash));
    } else {
        why = Reason(kReasonRecordRelative, infoFile);
        return fail();
    }
    trashed.originalPath = joinPath(top, info->originalPath);
    return trashed;
}

} // namespace corvane::platform
