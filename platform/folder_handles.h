#pragma once

#include "platform/unique_fd.h"

#include <cstddef>
#include <cstdint>
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>

namespace corvane::platform {

// A file named relative to an open folder: `folderFd` is an open folder handle, or kCurrentFolder
// when `name` is the whole path.
struct FolderRelativeName {
    int folderFd;
    const char* name;
};

inline constexpr int kCurrentFolder = -100; // the system's "relative to the working folder"

// The longest path the system resolves in one go (PATH_MAX without the terminating zero).
// Longer paths are opened piece by piece, each relative to the folder before it.
inline constexpr size_t kLongestPath = 4095;

// A path-only handle (no read access needed) of the folder at `where`; not open when the folder
// cannot be reached.
UniqueFd openFolderHandle(FolderRelativeName where);
// The same for a folder path of any length.
UniqueFd openFolderHandle(const std::string& path);

// Where to reach the entry `path` from: the path itself when the system takes it whole, else its
// last name in its folder, opened piece by piece into `folder` (which must outlive the result).
FolderRelativeName locatePath(const std::string& path, UniqueFd& folder);

// Handles of the folders whose files were opened last, so that the next file of one of them is
// opened by its name in the open folder: the system then resolves one name instead of every
// folder on the way. Folders are held as path-only handles (no read access needed), the least
// recently used given back first. When files come from so many folders that held handles are
// seldom used again, new folders are no longer held and paths are resolved whole, as without the
// cache. A file whose path is too long for the system to take whole is always opened from its
// folder, opened piece by piece. One instance per thread; all instances of the process together
// hold no more than an eighth of the files it may have open, however many threads there are.
class FolderHandles {
public:
    // At most `capacity` handles are held (fewer when the process may open few files).
    explicit FolderHandles(size_t capacity = kDefaultCapacity);
    ~FolderHandles();
    FolderHandles(const FolderHandles&) = delete;
    FolderHandles& operator=(const FolderHandles&) = delete;

    // Where to open `path` from. The result stays valid until the next call; `path` must outlive
    // it.
    FolderRelativeName resolve(const char* path);
    FolderRelativeName resolve(const std::string& path) { return resolve(path.c_str()); }

    size_t held() const { return entries_.size(); }
    // How many folders all instances of the process may hold together.
    static size_t processBudget();

    static constexpr size_t kDefaultCapacity = 4096;

private:
    struct Entry {
        int fd;
        std::list<std::string>::iterator lru;
    };
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    struct Equal {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const { return a == b; }
    };

    bool admitting();

    size_t capacity_;
    UniqueFd unheld_;            // the folder of the last long path, when it is not held
    std::list<std::string> lru_; // most recently used first
    std::unordered_map<std::string, Entry, Hash, Equal> entries_;
    // Lookups and hits of the current window, to tell whether holding folders pays.
    uint32_t lookups_ = 0;
    uint32_t hits_ = 0;
    bool admit_ = true;
};

} // namespace corvane::platform
