#include "support/unwritable_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane::testing {

UnwritableFile::UnwritableFile(std::string path) : path_(std::move(path)) {
    if (::geteuid() == 0) {
        made_ = setImmutable(true);
    } else if (::chmod(path_.c_str(), 0444) == 0) {
        made_ = true;
    } else {
        why_ = std::strerror(errno);
    }
}

UnwritableFile::~UnwritableFile() {
    if (made_) {
        if (::geteuid() == 0) {
            setImmutable(false);
        } else {
            ::chmod(path_.c_str(), 0644);
        }
    }
}

bool UnwritableFile::setImmutable(bool on) {
    const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    int flags = 0;
    bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    if (!done) {
        why_ = std::string("this file system cannot make a file immutable: ") + std::strerror(errno);
    }
    if (fd >= 0) {
        ::close(fd);
    }
    return done;
}

} // namespace corvane::testing
