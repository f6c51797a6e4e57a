#pragma once

// The folders whose files an action never touches (the command line's --keep-in, the window's
// reference folders), and whether a file lies in one of them. A file lies in one when any path to it does:
// folders are known by what they are (device and inode), and every folder below a keep-in folder is known, so
// that a file reached by a relative path, through a linked folder, or through a bind mount of a folder inside
// a keep-in folder (whose walk up by ".." would leave the keep-in folder) is recognised.

#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace corvane::engine {

class KeepInFolders {
public:
    // Adds `folder`; returns 0, or the system's error number for why it cannot be (ENOTDIR for
    // what is not a folder).
    int add(const std::string& folder);
    bool empty() const { return roots_.empty(); }

    // True when the file `path` lies in one of the folders, at any depth. The folders below the
    // keep-in folders are walked once, at the first call.
    bool holds(const std::string& path);

private:
    using Identity = std::pair<uint64_t, uint64_t>;
    void walkFolders();

    std::vector<std::string> roots_;
    bool walked_ = false;
    std::set<Identity> folders_; // every folder in a keep-in folder, the keep-in folders included
};

} // namespace corvane::engine
