#include "support/bindfs_mount.h"

#include "support/system_tool.h"

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane::testing {

namespace {

bool deviceOf(const std::string& path, dev_t* device) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return false;
    }
    *device = st.st_dev;
    return true;
}

} // namespace

BindfsMount::BindfsMount(const std::string& source, const std::string& target) : target_(target) {
    if (::geteuid() != 0) {
        why_ = "a FUSE mount needs root here (CI runs these tests as root)";
        return;
    }
    if (::access("/dev/fuse", R_OK | W_OK) != 0) {
        why_ = "there is no /dev/fuse on this machine";
        return;
    }
    if (programOnPath("bindfs").empty()) {
        why_ = "bindfs is not installed (scripts/bootstrap.sh installs it)";
        return;
    }
    dev_t before = 0;
    dev_t after = 0;
    if (!deviceOf(target, &before)) {
        why_ = "the mount point " + target + " is missing";
        return;
    }
    if (runQuietly({"bindfs", source, target}) != 0 || !deviceOf(target, &after) || after == before) {
        why_ = "bindfs cannot mount " + source + " on " + target;
        return;
    }
    mounted_ = true;
}

BindfsMount::~BindfsMount() {
    unmount();
}

void BindfsMount::unmount() {
    if (mounted_ && ::umount2(target_.c_str(), 0) != 0) {
        ::umount2(target_.c_str(), MNT_DETACH);
    }
    mounted_ = false;
}

} // namespace corvane::testing
