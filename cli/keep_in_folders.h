#pragma once

// The folders whose files an action never touches (--keep-in), and whether a file lies in one of
// them. Folders are known by what they are (device and inode), not by how they are spelled, so a
// file reached by a relative path, through a linked folder or through a bind mount is recognised.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>

namespace corvane::cli {

class KeepInFolders {
public:
    // Adds `folder`; returns why it cannot be (missing, not a folder), else an empty text.
    std::string add(const std::string& folder);
    bool empty() const { return folders_.empty(); }

    // True when the file `path` lies in one of the folders, at any depth. Each folder above a file is
    // looked at once for all the files below it.
    bool holds(const std::string& path);

private:
    using Identity = std::pair<uint64_t, uint64_t>;
    std::set<Identity> folders_;
    std::map<Identity, bool> known_; // folders walked up from, and whether they lie in one
};

} // namespace corvane::cli
