#include "platform/folder_listing.h"

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane::platform {

namespace {

EntryKind kindOfDirentType(unsigned char type) {
    switch (type) {
    case DT_REG:
        return EntryKind::RegularFile;
    case DT_DIR:
        return EntryKind::Directory;
    default:
        return EntryKind::Other;
    }
}

bool isDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

} // namespace

FolderListing::~FolderListing() {
    release();
}

void FolderListing::release() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

bool FolderListing::open(const std::string& path) {
    return open(FolderRelativeName{kCurrentFolder, path.c_str()});
}

bool FolderListing::open(FolderRelativeName where) {
    release();
    entries_.clear();
    const int fd = ::openat(where.folderFd, where.name, O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return false;
    }
    struct stat folderStat {};
    if (fstat(fd, &folderStat) != 0) {
        ::close(fd);
        return false;
    }
    // readdir works on its own descriptor; ours stays for the lookups of details().
    const int listFd = dup(fd);
    DIR* dir = listFd >= 0 ? fdopendir(listFd) : nullptr;
    if (!dir) {
        if (listFd >= 0) {
            ::close(listFd);
        }
        ::close(fd);
        return false;
    }
    fd_ = fd;
    device_ = folderStat.st_dev;
    inode_ = folderStat.st_ino;

    entries_.push_back({".", EntryKind::Directory});
    entries_.push_back({"..", EntryKind::Directory});
    while (const dirent* d = readdir(dir)) {
        if (isDotOrDotDot(d->d_name)) {
            continue;
        }
        FolderEntry entry{d->d_name, kindOfDirentType(d->d_type)};
        if (d->d_type == DT_UNKNOWN) {
            // Some file systems leave the type to a lookup.
            if (const auto info = lookupFileAt(fd_, d->d_name)) {
                entry.kind = info->kind;
            }
        }
        entries_.push_back(std::move(entry));
    }
    closedir(dir);
    std::sort(entries_.begin() + 2, entries_.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    return true;
}

std::optional<FileInfo> FolderListing::details(const FolderEntry& entry) const {
    if (fd_ < 0) {
        return std::nullopt;
    }
    return lookupFileAt(fd_, entry.name.c_str());
}

} // namespace corvane::platform
