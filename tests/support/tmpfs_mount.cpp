#include "support/tmpfs_mount.h"

#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <unistd.h>

namespace corvane::testing {

TmpfsMount::TmpfsMount(const std::string& target, size_t bytes) : target_(target) {
    if (::geteuid() != 0) {
        why_ = "mounting a tmpfs needs root (CI runs these tests as root)";
        return;
    }
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
    if (::mount("tmpfs", target.c_str(), "tmpfs", 0, options.c_str()) != 0) {
        why_ = "cannot mount a tmpfs on " + target + ": " + std::strerror(errno);
        return;
    }
    mounted_ = true;
}

TmpfsMount::~TmpfsMount() {
    if (mounted_ && ::umount2(target_.c_str(), 0) != 0) {
        ::umount2(target_.c_str(), MNT_DETACH);
    }
}

} // namespace corvane::testing
