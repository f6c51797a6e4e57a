#pragma once

// The forms in which `find` prints its groups of identical files: plain lines, NUL-terminated
// paths for scripts, one JSON object, or CSV rows.

#include "cli/result_files.h"

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

namespace corvane::cli {

enum class GroupFormat {
    Text,          // the original's path, its duplicates' paths, one a line; a blank line between groups
    NullSeparated, // the same, each path ending in a NUL, and one more NUL between groups
    // {"version", "searched", "duplicates", "reclaimable",
    //  "groups": [{"size", "original", "duplicates", "files": [{"path", "keep"}]}]}
    Json,
    Csv, // a header, then one row a file: group number, size, role, path (RFC 4180 quoting)
};

// The version of the JSON form; it grows when a member changes meaning or goes, not when one is added.
inline constexpr int kJsonVersion = 2;

// What a search found, as printed.
struct FoundGroups {
    int64_t searched = 0;
    int64_t duplicates = 0;
    int64_t reclaimable = 0; // bytes the duplicates occupy (see reclaimableBytes)
    std::span<const DuplicateGroup> groups;
    // The rules chose the copy that stays (--keep): the plain lists give it first, the text marks
    // each line ("+ " stays, "- " would go) and the CSV's roles are "keep" and "duplicate".
    bool marksKeeper = false;
    // -f: the plain lists leave out each group's first path (the one that stays).
    bool omitFirst = false;
};

// Writes the groups to `out` in `format`; false when the writing failed (errno tells why).
bool writeGroups(std::FILE* out, const FoundGroups& found, GroupFormat format);

// One CSV field: as it is, or in double quotes with its quotes doubled when it holds a comma, a
// double quote, a carriage return or a line feed. Bytes pass unchanged.
std::string csvField(std::string_view bytes);

} // namespace corvane::cli
