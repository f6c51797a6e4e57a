#include "support/xfs_disk.h"

#include "support/system_tool.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/fiemap.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <vector>

namespace corvane::testing {

XfsDisk::XfsDisk(uint64_t bytes) : root_(folder_.makeDir("disk")) {
    if (::geteuid() != 0) {
        why_ = "mounting a loop device needs root (CI runs these tests as root)";
        return;
    }
    const std::string image = folder_.path("xfs.img");
    const int fd = ::open(image.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0 || ::ftruncate(fd, static_cast<off_t>(bytes)) != 0) {
        why_ = std::string("cannot make the image: ") + std::strerror(errno);
        if (fd >= 0) {
            ::close(fd);
        }
        return;
    }
    ::close(fd);
    if (runQuietly({"mkfs.xfs", "-q", image}) != 0) {
        why_ = "mkfs.xfs failed or is not installed (the package xfsprogs)";
        return;
    }
    if (runQuietly({"mount", "-o", "loop", image, root_}) != 0) {
        why_ = "cannot mount the image through a loop device";
        return;
    }
    mounted_ = true;
}

XfsDisk::~XfsDisk() {
    if (mounted_ && ::umount2(root_.c_str(), 0) != 0) {
        ::umount2(root_.c_str(), MNT_DETACH);
    }
}

uint64_t XfsDisk::freeBytes() const {
    ::sync();
    struct statvfs st {};
    if (::statvfs(root_.c_str(), &st) != 0) {
        return 0;
    }
    return static_cast<uint64_t>(st.f_bavail) * st.f_frsize;
}

Extents extentsOf(const std::string& path) {
    Extents extents;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return extents;
    }
    constexpr size_t kMax = 256;
    std::vector<unsigned char> buffer(sizeof(fiemap) + kMax * sizeof(fiemap_extent));
    auto* map = reinterpret_cast<fiemap*>(buffer.data());
    map->fm_start = 0;
    map->fm_length = FIEMAP_MAX_OFFSET;
    map->fm_flags = FIEMAP_FLAG_SYNC;
    map->fm_extent_count = kMax;
    if (::ioctl(fd, FS_IOC_FIEMAP, map) == 0) {
        for (uint32_t i = 0; i < map->fm_mapped_extents; ++i) {
            extents.total += map->fm_extents[i].fe_length;
            if (map->fm_extents[i].fe_flags & FIEMAP_EXTENT_SHARED) {
                extents.shared += map->fm_extents[i].fe_length;
            }
        }
    }
    ::close(fd);
    return extents;
}

} // namespace corvane::testing
