// corvane-cli find: one search, as the window runs it, printed instead of shown.

#include "cli/commands.h"
#include "cli/group_output.h"
#include "cli/result_files.h"
#include "cli/search_run.h"
#include "cli/terminal_text.h"
#include "cli/usage.h"
#include "engine/worker_thread.h"
#include "platform/path_parts.h"
#include "stream/error.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <unistd.h>

namespace corvane::cli {

namespace {

struct FindOptions {
    SearchArguments search;
    GroupFormat format = GroupFormat::Text;
    bool omitFirst = false; // -f: the plain list without each group's first file
    std::string saveName;   // --save: the result set to write
};

// Parses the arguments of `find`; returns a reason on a usage error.
std::string parseFindArguments(const Arguments& args, FindOptions& options) {
    std::optional<GroupFormat> format;
    const auto setFormat = [&](GroupFormat wanted, const std::string& option) -> std::string {
        if (format && *format != wanted) {
            return "option " + option + " contradicts the output format chosen before it";
        }
        format = wanted;
        return {};
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool open = options.search.optionsOpen();
        if (open && arg == "--json") {
            if (std::string reason = setFormat(GroupFormat::Json, arg); !reason.empty()) {
                return reason;
            }
        } else if (open && arg == "--format") {
            if (i + 1 >= args.size()) {
                return "option --format needs text, csv or json";
            }
            const std::string& name = args[++i];
            const std::optional<GroupFormat> named = name == "text"   ? std::optional(GroupFormat::Text)
                                                     : name == "csv"  ? std::optional(GroupFormat::Csv)
                                                     : name == "json" ? std::optional(GroupFormat::Json)
                                                                      : std::nullopt;
            if (!named) {
                return "unknown output format '" + name + "' (text, csv or json)";
            }
            if (std::string reason = setFormat(*named, "--format " + name); !reason.empty()) {
                return reason;
            }
        } else if (open && (arg == "-f" || arg == "--omit-first")) {
            options.omitFirst = true;
        } else if (open && arg == "--save") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                return "option --save needs the NAME of a result set";
            }
            options.saveName = args[++i];
        } else if (std::string reason = options.search.take(args, i); !reason.empty()) {
            return reason;
        }
    }
    if (std::string reason = options.search.finish(); !reason.empty()) {
        return reason;
    }
    options.format = format.value_or(GroupFormat::Text);
    if (options.omitFirst && options.format != GroupFormat::Text) {
        return "option -f goes with the plain list only, not with --json or --format";
    }
    if (options.search.request().nullSeparated && options.format == GroupFormat::Text) {
        options.format = GroupFormat::NullSeparated;
    } else if (options.search.request().nullSeparated && !options.search.readsPathList()) {
        return "option -0 goes with the plain list or --files-from only, not with --json or --format alone";
    }
    return {};
}

// Makes the search's paths absolute against the working folder, in place.
void makePathsAbsolute(std::vector<std::string>& folders, SearchResult& result) {
    char* working = ::getcwd(nullptr, 0);
    if (!working) {
        throw Error(std::string("the working folder cannot be found: ") + std::strerror(errno));
    }
    const std::string cwd = working;
    std::free(working);
    const auto absolute = [&](std::string& path) {
        if (path.empty() || path.front() != platform::kPathSeparator) {
            path = platform::absolutePath(path, cwd);
        }
    };
    for (std::string& folder : folders) {
        absolute(folder);
    }
    for (SearchedFile& file : result.files) {
        absolute(file.path);
    }
    for (DuplicateGroup& group : result.groups) {
        absolute(group.original);
        for (std::string& duplicate : group.duplicates) {
            absolute(duplicate);
        }
    }
}

// The copy of each group the rules keep, from what the comparer saw of each file.
void markKeepers(SearchResult& result, const SearchRequest& request) {
    std::vector<engine::KeepCandidate> candidates;
    for (size_t g = 0; g < result.groups.size(); ++g) {
        DuplicateGroup& group = result.groups[g];
        const std::vector<platform::FileInfo>& seen = result.fileInfos.at(g);
        candidates.clear();
        candidates.push_back(engine::keepCandidate(group.original, seen.at(0), request.folders));
        for (size_t d = 0; d < group.duplicates.size(); ++d) {
            candidates.push_back(engine::keepCandidate(group.duplicates[d], seen.at(d + 1), request.folders));
        }
        group.keeper = engine::chooseKeeper(candidates, request.keepRules);
    }
}

} // namespace

int runFind(const Arguments& args) {
    return runFind(args, FindSettings{});
}

int runFind(const Arguments& args, const FindSettings& settings) {
    FindOptions options;
    if (const std::string reason = parseFindArguments(args, options); !reason.empty()) {
        return usageError("find", reason);
    }
    const SearchRequest& request = options.search.request();
    const bool marksKeeper = !request.keepRules.empty();
    try {
        if (!options.saveName.empty()) {
            checkCanSave(options.saveName); // before the search, not after it
        }
        SearchResult result = runSearch(
            request, settings, {.searchedFiles = !options.saveName.empty(), .fileInfos = marksKeeper});
        if (marksKeeper) {
            markKeepers(result, request);
        }
        FoundGroups found{result.searched, result.duplicates, result.reclaimable,
                          result.groups,   marksKeeper,       options.omitFirst};
        const auto relative = [](const std::string& folder) {
            return folder.empty() || folder.front() != platform::kPathSeparator;
        };
        if (options.format == GroupFormat::Json &&
            std::any_of(request.folders.begin(), request.folders.end(), relative)) {
            // The report names the folder its relative paths start from, so it can be acted on.
            found.base = platform::currentFolder();
        }
        // On a terminal the list is for the eye: no name may act on the terminal.
        const bool written = writeGroups(stdout, found, options.format,
                                         ::isatty(STDOUT_FILENO) ? escapedForTerminal : ShownPath());
        printSearchTotals(result);
        if (!written) {
            std::fprintf(stderr, "corvane-cli: error: cannot write the result: %s\n", std::strerror(errno));
            return 1;
        }
        if (!options.saveName.empty()) {
            // A set names its files wherever it is opened from: its paths are absolute.
            std::vector<std::string> folders = request.folders;
            makePathsAbsolute(folders, result);
            saveSearch(options.saveName, {folders, request.patterns, result.files, result.groups});
        }
        // A FOLDER that is not there: the report holds what the others gave, and the run failed.
        return result.missingFolders == 0 ? 0 : 1;
    } catch (...) {
        // A failure of the search or of writing its result: never "no duplicates".
        std::fprintf(stderr, "corvane-cli: error: %s\n",
                     shownOn(stderr, engine::failureMessage(std::current_exception())).c_str());
        return 1;
    }
}

} // namespace corvane::cli
