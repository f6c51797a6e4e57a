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
    // Some file systems answer for the birth time without recording one: they give the epoch.
    const bool hasBirthTime =
        (sx.stx_mask & STATX_BTIME) && (sx.stx_btime.tv_sec != 0 || sx.stx_btime.tv_nsec != 0);
    info.creationTime = hasBirthTime ? sx.stx_btime.tv_sec : sx.stx_mtime.tv_sec;
    info.device = makedev(sx.stx_dev_major, sx.stx_dev_minor);
    info.inode = sx.stx_ino;
    return info;
}

std::optional<FileInfo> lookupFile(const std::string& path) {
    return lookupFileAt(AT_FDCWD, path.c_str());
}

} // namespace corvane::platform
