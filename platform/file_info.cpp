#include "platform/file_info.h"

#include "platform/folder_handles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <time.h>

namespace corvane::platform {

namespace {

EntryKind kindOfMode(mode_t mode) {
    if (S_ISREG(mode)) {
        return EntryKind::RegularFile;
    }
    if (S_ISDIR(mode)) {
        return EntryKind::Directory;
    }
    return EntryKind::Other;
}

int64_t nanoseconds(const statx_timestamp& t) {
    return static_cast<int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

} // namespace

int64_t creationSeconds(const std::optional<FileTime>& birthTime, const FileTime& modificationTime) {
    if (birthTime && (birthTime->seconds != 0 || birthTime->nanoseconds != 0)) {
        return birthTime->seconds;
    }
    return modificationTime.seconds;
}

namespace {

std::optional<FileInfo> lookUp(int folderFd, const char* name, int flags) {
    struct statx sx {};
    const unsigned mask = STATX_TYPE | STATX_SIZE | STATX_MTIME | STATX_CTIME | STATX_INO | STATX_BTIME;
    if (statx(folderFd, name, flags, mask, &sx) != 0) {
        return std::nullopt;
    }
    FileInfo info;
    info.kind = kindOfMode(sx.stx_mode);
    info.size = static_cast<int64_t>(sx.stx_size);
    info.modificationTimeNs = nanoseconds(sx.stx_mtime);
    info.changeTimeNs = nanoseconds(sx.stx_ctime);
    info.lookedAtNs = fileClockNowNs();
    std::optional<FileTime> birthTime;
    if (sx.stx_mask & STATX_BTIME) {
        birthTime = FileTime{sx.stx_btime.tv_sec, sx.stx_btime.tv_nsec};
    }
    info.creationTime = creationSeconds(birthTime, FileTime{sx.stx_mtime.tv_sec, sx.stx_mtime.tv_nsec});
    info.device = makedev(sx.stx_dev_major, sx.stx_dev_minor);
    info.inode = sx.stx_ino;
    info.mountRoot = (sx.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0 &&
                     (sx.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
    return info;
}

} // namespace

std::optional<FileInfo> lookupFileAt(int folderFd, const char* name) {
    return lookUp(folderFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT);
}

std::optional<FileInfo> lookupOpenFile(int fd) {
    return lookUp(fd, "", AT_EMPTY_PATH);
}

std::optional<FileInfo> lookupTarget(const std::string& path) {
    return lookUp(AT_FDCWD, path.c_str(), AT_NO_AUTOMOUNT);
}

int64_t fileClockNowNs() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME_COARSE, &now);
    return static_cast<int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

bool settledWhenLookedAt(const FileInfo& info) {
    return info.changeTimeNs <= info.lookedAtNs - kSettledNs &&
           info.modificationTimeNs <= info.lookedAtNs - kSettledNs;
}

bool sameState(const FileInfo& now, const FileInfo& then) {
    return now.device == then.device && now.inode == then.inode && now.size == then.size &&
           now.modificationTimeNs == then.modificationTimeNs && now.changeTimeNs == then.changeTimeNs;
}

bool unchangedSince(const FileInfo& now, const FileInfo& then) {
    return settledWhenLookedAt(then) && sameState(now, then);
}

std::optional<FileInfo> lookupFile(const std::string& path) {
    UniqueFd folder;
    const FolderRelativeName where = locatePath(path, folder);
    return lookupFileAt(where.folderFd, where.name);
}

} // namespace corvane::platform
