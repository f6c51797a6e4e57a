#pragma once

// An XFS file system for one test, made in an image file and mounted through a loop device, for
// what only such a file system does (sharing blocks between files). Needs root, mkfs.xfs and loop
// devices (CI runs as root and bootstrap installs xfsprogs); elsewhere mounted() is false and
// why() says why.

#include "support/temp_tree.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace corvane::testing {

class XfsDisk {
public:
    // `bytes`: the image's size; XFS wants at least 300 MiB. The image is sparse.
    explicit XfsDisk(uint64_t bytes = 320ull << 20);
    ~XfsDisk();
    XfsDisk(const XfsDisk&) = delete;
    XfsDisk& operator=(const XfsDisk&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& why() const { return why_; }

    const std::string& root() const { return root_; }
    std::string path(std::string_view relative) const { return root_ + "/" + std::string(relative); }

    // Bytes free on the file system, after the pending writes reached it.
    uint64_t freeBytes() const;

private:
    TempTree folder_;
    std::string root_;
    bool mounted_ = false;
    std::string why_;
};

// The bytes of a file's extents, and how many of them the file system marks as shared with other
// files (FIEMAP); zero when it cannot tell.
struct Extents {
    uint64_t total = 0;
    uint64_t shared = 0;
};
Extents extentsOf(const std::string& path);

} // namespace corvane::testing
