#pragma once

// A file system of its own on a folder for one test: a tmpfs mounted on `target` (which must exist),
// taken away when the object goes (lazily when it is busy). Only root may mount (CI runs the tests
// as root); elsewhere mounted() is false and why() says why. SmallDisk is the same on a folder of its
// own, for a disk that is nearly full.

#include <cstddef>
#include <string>

namespace corvane::testing {

class TmpfsMount {
public:
    explicit TmpfsMount(const std::string& target, size_t bytes = 16u << 20);
    ~TmpfsMount();
    TmpfsMount(const TmpfsMount&) = delete;
    TmpfsMount& operator=(const TmpfsMount&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& why() const { return why_; }

private:
    std::string target_;
    bool mounted_ = false;
    std::string why_;
};

} // namespace corvane::testing
