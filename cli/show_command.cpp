// corvane-cli show NAME: prints a result set, as File > Open would load it, in text or as JSON.

#include "cli/commands.h"
#include "cli/group_output.h"
#include "cli/json_output.h"
#include "cli/result_files.h"
#include "cli/usage.h"
#include "stream/error.h"
#include "stream/result_set.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <unordered_map>

namespace corvane::cli {

namespace {

struct ShownSet {
    std::vector<stream::ListRow> paths;
    size_t searched = 0;
    size_t duplicates = 0;
    std::vector<StoredGroup> groups;
};

ShownSet readSet(const std::string& name) {
    stream::MainWindowLists lists;
    stream::readResultSet(name, lists.set());
    ShownSet set;
    set.paths = lists.searchPaths.rowData();
    const std::vector<stream::ListRow>& searched = lists.searchedFiles.rowData();
    set.searched = searched.size();
    set.groups = storedGroups(lists.duplicates.nodeData());
    // The tree is stored in the order of its texts; the groups and their files come as find
    // printed them, in the order the comparer met them: the order of the searched files.
    std::unordered_map<std::string_view, size_t> place;
    place.reserve(searched.size());
    for (size_t row = 0; row < searched.size(); ++row) {
        place.emplace(searched[row].caption, row);
    }
    const auto placeOf = [&](const StoredFile& file) {
        const auto found = place.find(file.path);
        return found == place.end() ? searched.size() : found->second;
    };
    const auto earlier = [&](const StoredFile& a, const StoredFile& b) { return placeOf(a) < placeOf(b); };
    for (StoredGroup& group : set.groups) {
        std::stable_sort(group.duplicates.begin(), group.duplicates.end(), earlier);
    }
    std::stable_sort(set.groups.begin(), set.groups.end(), [&](const StoredGroup& a, const StoredGroup& b) {
        return earlier(a.original, b.original);
    });
    for (const StoredGroup& group : set.groups) {
        set.duplicates += group.duplicates.size();
    }
    return set;
}

std::string patternsOf(const stream::ListRow& row) {
    return row.subItems.empty() ? std::string() : row.subItems.front().text;
}

std::string text(const ShownSet& set) {
    std::string out = "Search paths:\n";
    for (const stream::ListRow& row : set.paths) {
        out += "  " + row.caption + '\t' + patternsOf(row) + '\n';
    }
    out += "Searched files: " + std::to_string(set.searched) + '\n';
    out += "Duplicate files: " + std::to_string(set.duplicates) + '\n';
    // The groups as `find` prints them, after a blank line.
    for (const StoredGroup& group : set.groups) {
        out += '\n' + group.original.path + '\n';
        for (const StoredFile& duplicate : group.duplicates) {
            out += duplicate.path + '\n';
        }
    }
    return out;
}

std::string json(const ShownSet& set) {
    std::string out = "{\"version\": " + std::to_string(kJsonVersion) +
                      ", \"searched\": " + std::to_string(set.searched) +
                      ", \"duplicates\": " + std::to_string(set.duplicates) + ", \"paths\": [";
    for (size_t i = 0; i < set.paths.size(); ++i) {
        out += i ? ", " : "";
        out += '{';
        out += jsonPathMember("path", set.paths[i].caption);
        out += ", \"types\": " + jsonString(patternsOf(set.paths[i])) + "}";
    }
    out += "], \"groups\": [";
    for (size_t g = 0; g < set.groups.size(); ++g) {
        const StoredGroup& group = set.groups[g];
        std::vector<std::string> paths;
        std::string checked;
        for (size_t d = 0; d < group.duplicates.size(); ++d) {
            paths.push_back(group.duplicates[d].path);
            checked += d ? ", " : "";
            checked += group.duplicates[d].checked ? "true" : "false";
        }
        out += g ? ", " : "";
        out += '{';
        out += jsonPathMember("original", group.original.path) + ", " +
               jsonPathListMembers("duplicates", paths) +
               ", \"checked\": {\"original\": " + (group.original.checked ? "true" : "false") +
               ", \"duplicates\": [" + checked + "]}}";
    }
    out += "]}\n";
    return out;
}

} // namespace

int runShow(const Arguments& args) {
    std::string name;
    bool asJson = false;
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg == "--json") {
            asJson = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            return usageError("show", "unknown option '" + arg + "'");
        } else if (!name.empty()) {
            return usageError("show", "it takes one NAME");
        } else {
            name = arg;
        }
    }
    if (name.empty()) {
        return usageError("show", "the NAME of a result set is needed");
    }
    // A set that cannot be read throws its message to main.
    const ShownSet set = readSet(name);
    const std::string out = asJson ? json(set) : text(set);
    if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0) {
        std::fprintf(stderr, "corvane-cli: error: cannot write the result: %s\n", std::strerror(errno));
        return 1;
    }
    return 0;
}

} // namespace corvane::cli
