#include "platform/file_reader.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <utility>

namespace corvane::platform {

namespace {

FileInfo infoOf(const struct stat& st) {
    FileInfo info;
    info.kind = S_ISREG(st.st_mode) ? EntryKind::RegularFile : EntryKind::Other;
    info.size = st.st_size;
    info.modificationTimeNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    info.changeTimeNs = static_cast<int64_t>(st.st_ctim.tv_sec) * 1'000'000'000 + st.st_ctim.tv_nsec;
    info.lookedAtNs = fileClockNowNs();
    info.creationTime = st.st_mtim.tv_sec;
    info.device = st.st_dev;
    info.inode = st.st_ino;
    return info;
}

} // namespace

FileReader::~FileReader() {
    close();
}

FileReader::FileReader(FileReader&& other) noexcept : fd_(std::exchange(other.fd_, -1)), info_(other.info_) {}

FileReader& FileReader::operator=(FileReader&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
        info_ = other.info_;
    }
    return *this;
}

void FileReader::close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

bool FileReader::open(const std::string& path) {
    UniqueFd folder;
    return open(locatePath(path, folder));
}

bool FileReader::open(FolderRelativeName where) {
    close();
    // O_NONBLOCK keeps the open itself from waiting on a FIFO; the type test below then turns it
    // away before any read. On a regular file the flag changes nothing, so it stays set.
    const int fd =
        ::openat(where.folderFd, where.name, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    info_ = infoOf(st);
    return true;
}

std::optional<FileInfo> FileReader::infoNow() const {
    struct stat st {};
    if (fd_ < 0 || fstat(fd_, &st) != 0) {
        return std::nullopt;
    }
    return infoOf(st);
}

int64_t FileReader::readAt(int64_t offset, char* buffer, size_t length) const {
    if (fd_ < 0) {
        return -1;
    }
    size_t done = 0;
    while (done < length) {
        const ssize_t n = pread(fd_, buffer + done, length - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return -1;
        }
        if (n == 0) {
            break;
        }
        done += static_cast<size_t>(n);
    }
    return static_cast<int64_t>(done);
}

void FileReader::adviseSequential() const {
    if (fd_ >= 0) {
        posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
    }
}

int64_t readStartOf(FolderRelativeName where, char* buffer, size_t length) {
    const int fd =
        ::openat(where.folderFd, where.name, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) {
        return -1;
    }
    size_t done = 0;
    while (done < length) {
        const ssize_t n = pread(fd, buffer + done, length - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            ::close(fd);
            return -1;
        }
        if (n == 0) {
            break;
        }
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    return static_cast<int64_t>(done);
}

void FileReader::adviseWillNeed(int64_t offset, int64_t length) const {
    if (fd_ >= 0) {
        posix_fadvise(fd_, static_cast<off_t>(offset), static_cast<off_t>(length), POSIX_FADV_WILLNEED);
    }
}

} // namespace corvane::platform
