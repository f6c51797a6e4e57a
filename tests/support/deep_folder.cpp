#include "support/deep_folder.h"

#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane::testing {

std::string makeDeepFolder(const std::string& root, size_t length,
                           const std::vector<std::pair<std::string, std::string>>& files) {
    const std::string name(200, 'd');
    std::string path = root;
    int folder = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    while (folder >= 0 && path.size() <= length) {
        if (::mkdirat(folder, name.c_str(), 0755) != 0) {
            break;
        }
        const int below = ::openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(folder);
        folder = below;
        path += "/" + name;
    }
    if (folder < 0 || path.size() <= length) {
        if (folder >= 0) {
            ::close(folder);
        }
        throw std::runtime_error("cannot make the deep folders below " + root);
    }
    for (const auto& [file, contents] : files) {
        const int fd = ::openat(folder, file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        const bool written =
            fd >= 0 && ::write(fd, contents.data(), contents.size()) == static_cast<ssize_t>(contents.size());
        if (fd >= 0) {
            ::close(fd);
        }
        if (!written) {
            ::close(folder);
            throw std::runtime_error("cannot write " + file + " in the deep folder");
        }
    }
    ::close(folder);
    return path;
}

} // namespace corvane::testing
