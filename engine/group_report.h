#pragma once

// The forms in which the groups of identical files a search found are written: plain lines,
// NUL-terminated paths for scripts, one JSON object, or CSV rows. The command line prints them,
// the window exports them; both write the same bytes for the same search. Plain C++.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::engine {

// A group of identical files: the first file and the files identical to it.
struct DuplicateGroup {
    std::string original;
    std::vector<std::string> duplicates;
    int64_t size = 0; // of each file, as the comparer read it
    // The copy an action keeps (--keep): 0 the original, d + 1 duplicates[d].
    size_t keeper = 0;
    // Further copies that stay as well (the window's reference folders), as places like `keeper`
    // in ascending order: marked to stay as it is.
    std::vector<size_t> alsoKept = {};
};

enum class GroupFormat {
    Text,          // the original's path, its duplicates' paths, one a line; a blank line between groups
    NullSeparated, // the same, each path ending in a NUL, and one more NUL between groups
    // {"version", "searched", "duplicates", "reclaimable", ["base",]
    //  "groups": [{"size", "original", "duplicates", "files": [{"path", "keep"}]}]}
    Json,
    Csv, // a header, then one row a file: group number, size, role, path (RFC 4180 quoting)
};

// The version of the JSON form; it grows when a member changes meaning or goes, not when one is added.
inline constexpr int kJsonVersion = 2;

// What a search found, as written.
struct FoundGroups {
    int64_t searched = 0;
    int64_t duplicates = 0;
    int64_t reclaimable = 0; // bytes the duplicates occupy, each file (inode) once per group
    std::span<const DuplicateGroup> groups;
    // The rules chose the copy that stays (--keep): the plain lists give it first, the text marks
    // each line ("+ " stays, "- " would go) and the CSV's roles are "keep" and "duplicate".
    bool marksKeeper = false;
    // -f: the plain lists leave out each group's first path (the one that stays).
    bool omitFirst = false;
    // JSON: the folder relative paths are taken from (`"base"`), so that a report of a search of
    // relative folders names its files wherever it is read; none when every path is absolute.
    std::string base = {};
};

// How the plain text list writes each path (a terminal shows names with visible escapes); the
// exact bytes when none.
using ShownPath = std::function<std::string(std::string_view path)>;

// Takes the next bytes of the report; false when they could not be written.
using ReportSink = std::function<bool(std::string_view bytes)>;

// Hands the groups to `write` in `format`, piece by piece; false as soon as a piece failed.
bool writeGroups(const ReportSink& write, const FoundGroups& found, GroupFormat format,
                 const ShownPath& shownPath = {});

// Writes the groups to `out` in `format` and flushes it; false when the writing failed (errno
// tells why).
bool writeGroups(std::FILE* out, const FoundGroups& found, GroupFormat format,
                 const ShownPath& shownPath = {});

// One CSV field: as it is, or in double quotes with its quotes doubled when it holds a comma, a
// double quote, a carriage return or a line feed. Bytes pass unchanged.
std::string csvField(std::string_view bytes);

} // namespace corvane::engine
