#include "support/small_disk.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>
#include <vector>

namespace corvane::testing {

SmallDisk::SmallDisk(size_t bytes) : root_(folder_.makeDir("disk")) {
    if (::geteuid() != 0) {
        why_ = "mounting a tmpfs needs root (CI runs these tests as root)";
        return;
    }
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
    if (::mount("tmpfs", root_.c_str(), "tmpfs", 0, options.c_str()) != 0) {
        why_ = std::string("cannot mount a tmpfs: ") + std::strerror(errno);
        return;
    }
    mounted_ = true;
}

SmallDisk::~SmallDisk() {
    if (mounted_) {
        ::umount2(root_.c_str(), MNT_DETACH);
    }
}

bool SmallDisk::fillLeaving(size_t bytesFree) {
    const std::string filler = path("filler");
    const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        why_ = std::string("cannot create the filler: ") + std::strerror(errno);
        return false;
    }
    const std::vector<char> block(4096, 'f');
    off_t size = 0;
    ssize_t written = 0;
    while ((written = ::write(fd, block.data(), block.size())) > 0) {
        size += written;
    }
    bool filled = written == 0 || errno == ENOSPC;
    if (!filled) {
        why_ = std::string("cannot fill the disk: ") + std::strerror(errno);
    }
    // tmpfs gives the pages of a shortened file back at once.
    const auto left = static_cast<off_t>(bytesFree);
    if (filled && ::ftruncate(fd, size > left ? size - left : 0) != 0) {
        why_ = std::string("cannot shorten the filler: ") + std::strerror(errno);
        filled = false;
    }
    ::close(fd);
    return filled;
}

} // namespace corvane::testing
