#pragma once

// One search from the command line, run as the window runs it: the scanner, the ordering step and
// the comparer, with a progress line on stderr.

#include "cli/commands.h"
#include "cli/result_files.h"
#include "cli/search_arguments.h"
#include "platform/file_info.h"

#include <cstdint>
#include <vector>

namespace corvane::cli {

// What a caller needs kept beyond the groups.
struct SearchKeeps {
    bool searchedFiles = false; // every file searched, in the comparer's order (to save the set)
    bool fileInfos = false;     // what the comparer saw of each file of a group (to act on them)
};

struct SearchResult {
    int32_t searched = 0;
    int32_t duplicates = 0;
    int64_t reclaimable = 0; // bytes the duplicates occupy, each file (inode) once per group
    std::vector<DuplicateGroup> groups;
    // With SearchKeeps::fileInfos: for each group, what the comparer saw of its files, the
    // original first.
    std::vector<std::vector<platform::FileInfo>> fileInfos;
    std::vector<SearchedFile> files; // with SearchKeeps::searchedFiles
    size_t missingFolders = 0;       // FOLDERs not there, or neither a folder nor a regular file
    size_t unreadableFolders = 0;    // each reported on stderr as the search ended
    size_t unreadableFiles = 0;
    // Trash folders the search did not enter (files there were thrown away already).
    std::vector<std::string> trashFoldersPassedOver;
};

// Why the FOLDER `path` is nothing a search can enter ("No such file or directory", "not a folder
// or a regular file"); empty for a folder (readable or not) or a regular file, which sets
// `*isFile` when given.
std::string searchRootProblem(const std::string& path, bool* isFile = nullptr);

// Runs the search. Names on stderr the FOLDERs it cannot search, and reports each folder and
// file it could not read, one a line with the reason. Throws what ended a worker's run early: a
// failed search is never "no duplicates".
SearchResult runSearch(const SearchRequest& request, const FindSettings& settings, const SearchKeeps& keeps);

// The totals of a search on stderr, as `find` prints them after its groups, with the count of what
// could not be read when there was any.
void printSearchTotals(const SearchResult& result);

} // namespace corvane::cli
