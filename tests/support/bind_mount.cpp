#include "support/bind_mount.h"

#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <unistd.h>

namespace corvane::testing {

BindMount::BindMount(const std::string& source, const std::string& target) : target_(target) {
    if (::geteuid() != 0) {
        why_ = "a bind mount needs root (CI runs these tests as root)";
        return;
    }
    if (::mount(source.c_str(), target.c_str(), nullptr, MS_BIND, nullptr) != 0) {
        why_ = "cannot bind " + source + " to " + target + ": " + std::strerror(errno);
        return;
    }
    mounted_ = true;
}

BindMount::~BindMount() {
    unmount();
}

void BindMount::unmount() {
    if (mounted_ && ::umount2(target_.c_str(), 0) != 0) {
        ::umount2(target_.c_str(), MNT_DETACH);
    }
    mounted_ = false;
}

} // namespace corvane::testing
