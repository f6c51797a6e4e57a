#include "platform/file_info.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

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

std::optional<FileInfo> lookupFileAt(int folderFd, const char* name) {
    struct statx sx {};
    const unsigned mask = STATX_TYPE | STATX_SIZE | STATX_MTIME | STATX_INO | STATX_BTIME;
    if (statx(folderFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, mask, &sx) != 0) {
        return std::nullopt;
    }
    FileInfo info;
    info.kind = kindOfMode(sx.stx_mode);
    info.size = static_cast<int64_t>(sx.stx_size);
    info.modificationTimeNs = nanoseconds(sx.stx_mtime);
    std::optional<FileTime> birthTime;
    if (sx.stx_mask & STATX_BTIME) {
        birthTime = FileTime{sx.stx_btime.tv_sec, sx.stx_btime.tv_nsec};
    }
    info.creationTime = creationSeconds(birthTime, FileTime{sx.stx_mtime.tv_sec, sx.stx_mtime.tv_nsec});
    info.device = makedev(sx.stx_dev_major, sx.stx_dev_minor);
    info.inode = sx.stx_ino;
    return info;
}

std::optional<FileInfo> lookupFile(const std::string& path) {
    return lookupFileAt(AT_FDCWD, path.c_str());
}

} // namespace corvane::platform
