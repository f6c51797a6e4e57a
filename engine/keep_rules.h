#pragma once

// Which copy of a group of identical files stays when the others are acted on: an ordered list of
// rules, each of which may prefer some files of the group over the others. The first rule that
// tells the files apart decides; files it cannot tell apart go on to the next rule, and what no
// rule tells apart is decided by the group's order (its original first). Folders whose files are
// never acted on (the command line's --keep-in) come before every rule: planning sees to them.
// Plain C++.

#include "engine/action_plan.h"
#include "platform/file_info.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::engine {

enum class KeepRule : uint8_t {
    Original,     // the group's original: the earliest created, then the first found
    Oldest,       // the earliest modification time
    Newest,       // the latest modification time
    FirstFolder,  // the file under the earliest search folder, in the order they were given
    ShortestPath, // the fewest bytes in its path
    LongestPath,  // the most bytes in its path
};

// The rules' names, as the command line takes them: "original", "oldest", "newest",
// "first-folder", "shortest-path", "longest-path".
std::string_view keepRuleName(KeepRule rule);
std::optional<KeepRule> keepRuleNamed(std::string_view name);

// "newest,first-folder": the rules in order; the reason of the fault when the text names a rule
// that does not exist, names one twice, or names none.
struct ParsedKeepRules {
    std::vector<KeepRule> rules;
    std::string error;
};
ParsedKeepRules parseKeepRules(std::string_view text);

// True when `rules` choose what the group's order chooses anyway (no rule, or "original" first).
bool keepsOriginal(std::span<const KeepRule> rules);

// What the rules look at of one file of a group.
struct KeepCandidate {
    std::string_view path;
    // Nanoseconds since the epoch; none when the file could not be looked at (never preferred by
    // oldest or newest).
    std::optional<int64_t> modifiedNs;
    // The first of the search folders that holds the file (see folderRank).
    size_t folderRank = 0;
};

// The place in `files` (the group in its order, the original first) of the copy that stays.
// `files` is not empty.
size_t chooseKeeper(std::span<const KeepCandidate> files, std::span<const KeepRule> rules);

// The place in `folders` of the first folder that holds `path` (the path itself, or anything
// below it); folders.size() when none does.
size_t folderRank(std::string_view path, std::span<const std::string> folders);

// A file as the rules see it: its modification time from `seen` (what the comparer saw of it), or
// looked up now when nothing was seen.
KeepCandidate keepCandidate(std::string_view path, const std::optional<platform::FileInfo>& seen,
                            std::span<const std::string> folders);

// Puts the copy the rules keep at the front of each group, where planning keeps the original (the
// others keep their order). `folders` are the search folders, for first-folder. Looks at no file
// when the rules keep the original anyway.
void placeKeepersFirst(std::vector<FileGroup>& groups, std::span<const KeepRule> rules,
                       std::span<const std::string> folders);

} // namespace corvane::engine
