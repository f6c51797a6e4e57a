#include "cli/keep_in_folders.h"

#include "platform/path_parts.h"
#include "platform/unique_fd.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <vector>

namespace corvane::cli {

std::string KeepInFolders::add(const std::string& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) {
        return std::strerror(errno);
    }
    if (!S_ISDIR(st.st_mode)) {
        return std::strerror(ENOTDIR);
    }
    folders_.insert({st.st_dev, st.st_ino});
    known_.clear();
    return {};
}

bool KeepInFolders::holds(const std::string& path) {
    if (folders_.empty()) {
        return false;
    }
    // Up from the file's folder through each ".." as the system resolves it, so that the folders
    // met are those the file really lies in.
    platform::UniqueFd folder(
        ::open(platform::parentFolderOf(path).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    std::vector<Identity> walked;
    bool inside = false;
    while (folder.isOpen()) {
        struct stat st {};
        if (::fstat(folder.get(), &st) != 0) {
            break;
        }
        const Identity identity{st.st_dev, st.st_ino};
        if (const auto known = known_.find(identity); known != known_.end()) {
            inside = known->second;
            break;
        }
        if (!walked.empty() && walked.back() == identity) {
            break; // the root: its ".." is itself
        }
        walked.push_back(identity);
        if (folders_.count(identity)) {
            inside = true;
            break;
        }
        folder = platform::UniqueFd(::openat(folder.get(), "..", O_PATH | O_DIRECTORY | O_CLOEXEC));
    }
    for (const Identity& identity : walked) {
        known_[identity] = inside;
    }
    return inside;
}

} // namespace corvane::cli
