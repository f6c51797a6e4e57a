#pragma once

// Recognising trash folders, which are no search ground: a file there was thrown away already,
// and one found there must never stand for a live copy of its bytes, nor be moved again. The
// trash folders are the home trash ($XDG_DATA_HOME/Trash, and ~/.local/share/Trash) and, at the
// top of every mount, the shared `.Trash` and the users' `.Trash-UID`. They are known by what
// they are, not by their names alone: the home trash by its device and inode, the others by
// standing at the top of a mount. A name is only the cheap first test.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace corvane::platform {

// True when a folder of this name could be a trash folder: the one test run on every folder.
bool mayBeTrashFolderName(std::string_view name);

// True when the folder `name` of the folder open as `folderFd` is a trash folder.
bool isTrashFolder(int folderFd, const std::string& name);

// Whether files lie in a trash folder, by their paths; each folder on the way is looked at once.
// Relative paths are taken from the working folder. The folders met are kept as a tree of their
// names, so a path costs in proportion to its length, however deep it is.
class TrashFolderTest {
public:
    // True when `path` lies in a trash folder, at any depth, or is one.
    bool holds(const std::string& path);

private:
    // The folder named `name` in the folder numbered `parent`: its number, or none when new.
    uint32_t child(uint32_t parent, std::string_view name);

    // Folder numbers by the number of their folder and their name. The root is 0; the working
    // folder is 1 where its path cannot be told.
    static constexpr uint32_t kRoot = 0;
    static constexpr uint32_t kWorkingFolder = 1;
    std::unordered_map<std::string, uint32_t> children_;
    std::vector<bool> inTrash_{false, false}; // by number: whether it is or lies in a trash folder
};

} // namespace corvane::platform
