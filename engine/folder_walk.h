#pragma once

// The order in which a scan visits folders, written once: the scanner walks it, and the thread
// that reads folders ahead of the scanner walks it too, over the same listings, so that both meet
// the same folders in the same order.

#include "engine/folder_reading.h"
#include "platform/folder_handles.h"
#include "platform/unique_fd.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace corvane::engine {

// One walk of a scan: a search path, ending in a separator, with one of its patterns.
struct ScanPass {
    std::string root;
    std::string pattern;
    // The search path is a file, searched as that one file (FileScanner::SearchFileRoots).
    bool isFile = false;
    // Folders on another device are not entered (FileScanner::OneFileSystem); 0: any device.
    uint64_t device = 0;
};

// One walk over the folders of a pass: the root, then each of its subfolders in listing order,
// depth first. Only real folders are entered (links are never followed); a folder that cannot be
// listed, or that is already on the way down (reached again through a mount), is visited but not
// walked into. Depth is no limit: a folder whose path is too long for the system to take whole is
// opened relative to a folder on the way down that the walk holds open (one for every few
// thousand bytes of path; none in a tree of ordinary depth).
class FolderWalk {
public:
    explicit FolderWalk(bool recursive) : recursive_(recursive) {}

    // Walks from `root`. For each folder reached, `read(path, where)` gives its listing as a
    // ScannedFolder, `where` being how to open it (the path itself, or a name relative to a held
    // folder); then `visit(folder, isSubfolder, walkedInto)` handles it (it may take the
    // listing's contents) and returns false to end the walk. Before each subfolder that is not
    // the first entry of its folder's listing, `keepGoing()` is asked: false leaves that folder's
    // other subfolders, so that after a stop each listing ends after its current entry.
    // Returns false when a visit ended the walk.
    template <typename Read, typename Visit, typename KeepGoing>
    bool walk(const std::string& root, Read&& read, Visit&& visit, KeepGoing&& keepGoing) {
        descent_.clear();
        held_.clear();
        return walkFolder(root, false, read, visit, keepGoing);
    }

private:
    // A folder on the way down, held open for the folders below it.
    struct HeldFolder {
        size_t pathLength; // of its path, which starts the paths of the folders below it
        platform::UniqueFd handle;
    };
    // A folder held this far below the last one (or the start) leaves room, below it, for a
    // subfolder of the longest name before the path from it is too long.
    static constexpr size_t kHoldEvery = platform::kLongestPath - NAME_MAX - 1;

    platform::FolderRelativeName where(const std::string& path) const {
        if (path.size() <= platform::kLongestPath || held_.empty()) {
            return {platform::kCurrentFolder, path.c_str()};
        }
        return {held_.back().handle.get(), path.c_str() + held_.back().pathLength};
    }

    // Holds `path` open when the folders below it could be too deep to open by their paths.
    bool holdIfDeep(const std::string& path) {
        if (path.size() - (held_.empty() ? 0 : held_.back().pathLength) <= kHoldEvery) {
            return false;
        }
        platform::UniqueFd handle = platform::openFolderHandle(where(path));
        if (!handle.isOpen()) {
            return false;
        }
        held_.push_back({path.size(), std::move(handle)});
        return true;
    }

    template <typename Read, typename Visit, typename KeepGoing>
    bool walkFolder(const std::string& path, bool isSubfolder, Read& read, Visit& visit,
                    KeepGoing& keepGoing) {
        ScannedFolder folder = read(path, where(path));
        const auto identity = folder.identity;
        const bool walkedInto =
            folder.listed && std::find(descent_.begin(), descent_.end(), identity) == descent_.end();
        // Taken before the visit, which may take the entries away.
        std::vector<std::string> subfolders;
        bool firstEntryIsSubfolder = false;
        if (walkedInto && recursive_) {
            for (size_t i = 0; i < folder.entries.size(); ++i) {
                const platform::FolderEntry& entry = folder.entries[i];
                if (entry.kind == platform::EntryKind::Directory && entry.name != "." && entry.name != "..") {
                    firstEntryIsSubfolder = firstEntryIsSubfolder || i == 0;
                    subfolders.push_back(path + entry.name + platform::kPathSeparator);
                }
            }
        }
        if (!visit(folder, isSubfolder, walkedInto)) {
            return false;
        }
        if (subfolders.empty()) {
            return true;
        }
        descent_.push_back(identity);
        const bool held = holdIfDeep(path);
        bool going = true;
        for (size_t k = 0; going && k < subfolders.size(); ++k) {
            if (!(k == 0 && firstEntryIsSubfolder) && !keepGoing()) {
                break;
            }
            going = walkFolder(subfolders[k], true, read, visit, keepGoing);
        }
        if (held) {
            held_.pop_back();
        }
        descent_.pop_back();
        return going;
    }

    bool recursive_;
    // Folders on the way down (device, inode), so that no walk can loop.
    std::vector<std::pair<uint64_t, uint64_t>> descent_;
    std::vector<HeldFolder> held_; // deepest last
};

} // namespace corvane::engine
