#pragma once

// The result sets of corvane-cli: `find --save NAME` writes a search as the three files the window
// writes after the same search, and `show` reads them back.

#include "engine/group_report.h"
#include "platform/local_time.h"
#include "stream/result_set.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace corvane::cli {

// One row of the searched-files list: the path, the size and the local day it was created on.
struct SearchedFile {
    std::string path;
    int64_t size = 0;
    platform::CivilDate createdOn;
};

// A group of identical files: the first file and the files identical to it.
using engine::DuplicateGroup;

// A search as `find` ran it.
struct SearchToSave {
    const std::vector<std::string>& folders;
    const std::vector<std::string>& patterns; // one per folder
    std::span<const SearchedFile> files;      // in the order the comparer took them
    std::span<const DuplicateGroup> groups;   // as the comparer found them
};

// Writes the search as the result set NAME (an older set is replaced only once all three files are whole),
// with the window's lists after the same search: its date texts in the user's short date format and
// its tree ordered by text under the user's locale, every node unchecked. The writing needs Qt, so it
// is done by the save module, loaded on the first call. Throws Error with the message the window
// would show, or with what keeps the module from loading.
void saveSearch(const std::string& name, const SearchToSave& search);

// Throws the Error a save would end with ("Cannot create file "PATH". REASON") when the result set
// NAME cannot be written: its folder is missing or takes no new file, or one of its three files is
// a folder. For a check before a long search; the save itself still reports what fails later.
void checkCanSave(const std::string& name);

// A node of a stored tree with its check state.
struct StoredFile {
    std::string path;
    bool checked = false;
};
struct StoredGroup {
    StoredFile original;
    std::vector<StoredFile> duplicates;
};

// The groups of a stored tree: each top-level node with its children (a tree has no deeper levels;
// nodes below them are left out).
std::vector<StoredGroup> storedGroups(std::span<const stream::TreeNode> nodes);

} // namespace corvane::cli
