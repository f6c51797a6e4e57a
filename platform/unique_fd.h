#pragma once

#include <unistd.h>
#include <utility>

namespace corvane::platform {

// An open file or folder handle of the system, closed when it goes.
class UniqueFd {
public:
    explicit UniqueFd(int fd = -1) : fd_(fd) {}
    ~UniqueFd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return fd_; }
    // Hands the handle over to the caller, who closes it.
    int release() { return std::exchange(fd_, -1); }
    bool isOpen() const { return fd_ >= 0; }

private:
    int fd_;
};

} // namespace corvane::platform
