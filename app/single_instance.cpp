#include "app/single_instance.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane::app {

namespace {

const char* absoluteFolderFrom(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && value[0] == '/' ? value : nullptr;
}

// The fallback folder sits where every user may write, so it must be ours and closed to others:
// otherwise another user could hold our marker and keep us from starting.
bool ensurePrivateFolder(const std::string& folder) {
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        return false;
    }
    struct stat info {};
    if (lstat(folder.c_str(), &info) != 0) {
        return false;
    }
    return S_ISDIR(info.st_mode) && info.st_uid == getuid() && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

} // namespace

std::string instanceLockPath(const std::string& name) {
    if (const char* runtimeFolder = absoluteFolderFrom("XDG_RUNTIME_DIR")) {
        return std::string(runtimeFolder) + "/" + name + ".lock";
    }
    const char* tempFolder = absoluteFolderFrom("TMPDIR");
    return std::string(tempFolder ? tempFolder : "/tmp") + "/" + name + "-" + std::to_string(getuid()) + "/" +
           name + ".lock";
}

InstanceMarker takeInstanceMarker(const std::string& name) {
    const std::string lockPath = instanceLockPath(name);
    if (absoluteFolderFrom("XDG_RUNTIME_DIR") == nullptr &&
        !ensurePrivateFolder(lockPath.substr(0, lockPath.find_last_of('/')))) {
        return InstanceMarker::Unavailable;
    }
    return takeLockFile(lockPath);
}

InstanceMarker takeLockFile(const std::string& lockPath) {
    // Close-on-exec: a program started from the window (a file opened, the file manager) must
    // not inherit the lock and keep the marker alive after we end.
    const int fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return InstanceMarker::Unavailable;
    }
    int result;
    do {
        result = flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result == 0) {
        return InstanceMarker::Acquired; // fd deliberately never closed
    }
    const int error = errno;
    close(fd);
    return error == EWOULDBLOCK ? InstanceMarker::HeldByAnother : InstanceMarker::Unavailable;
}

} // namespace corvane::app
