#include "cli/whole_input.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane::cli {

std::string wholeInputBoundText(size_t maxBytes) {
    if (maxBytes >= (size_t{1} << 30) && maxBytes % (size_t{1} << 30) == 0) {
        return std::to_string(maxBytes >> 30) + " GiB";
    }
    return std::to_string(maxBytes) + " bytes";
}

int readWholeInput(const std::string& name, std::string& bytes, size_t maxBytes) {
    const bool standardInput = name == "-";
    const int fd = standardInput ? STDIN_FILENO : ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    const size_t before = bytes.size();
    // A file says its size: the bytes are allocated once.
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 &&
        static_cast<size_t>(st.st_size) <= maxBytes) {
        bytes.reserve(before + static_cast<size_t>(st.st_size));
    }
    char buffer[65536];
    int error = 0;
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0) {
            if (bytes.size() - before + static_cast<size_t>(got) > maxBytes) {
                error = EFBIG;
                break;
            }
            bytes.append(buffer, static_cast<size_t>(got));
        } else if (got == 0) {
            break;
        } else if (errno != EINTR) {
            error = errno;
            break;
        }
    }
    if (!standardInput) {
        ::close(fd);
    }
    if (error != 0) {
        bytes.resize(before);
        bytes.shrink_to_fit();
    }
    return error;
}

} // namespace corvane::cli
