#include "cli/whole_input.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace corvane::cli {

int readWholeInput(const std::string& name, std::string& bytes) {
    const bool standardInput = name == "-";
    const int fd = standardInput ? STDIN_FILENO : ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    char buffer[65536];
    int error = 0;
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0) {
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
    return error;
}

} // namespace corvane::cli
