#pragma once

// A disk that is nearly full, for tests of what a full disk does to a save: a tmpfs of a few pages,
// mounted on a folder of its own for one test and taken away afterwards. Only root may mount (CI
// runs the tests as root); elsewhere mounted() is false and why() says why.

#include "support/temp_tree.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace corvane::testing {

class SmallDisk {
public:
    explicit SmallDisk(size_t bytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& why() const { return why_; }

    // The disk's top folder, and a path inside it.
    const std::string& root() const { return root_; }
    std::string path(std::string_view relative) const { return root_ + "/" + std::string(relative); }

    // Fills the disk with a file named "filler" until about `bytesFree` bytes (whole pages) are left;
    // false, with why() set, when it cannot.
    bool fillLeaving(size_t bytesFree);

private:
    TempTree folder_;
    std::string root_;
    bool mounted_ = false;
    std::string why_;
};

} // namespace corvane::testing
