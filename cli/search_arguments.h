#pragma once

// The arguments of a search, shared by `find` and the actions (trash, link, dedupe): the folders
// with their patterns and the options that shape the search.

#include "cli/commands.h"
#include "engine/keep_rules.h"
#include "engine/search_filters.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::cli {

// One search as the command line asks for it.
struct SearchRequest {
    std::vector<std::string> folders;
    std::vector<std::string> patterns; // the pattern text of each folder
    bool quiet = false;                // no progress line
    bool stats = false;                // the phases' times on stderr, for the benchmarks
    // --min-size, --max-size, --exclude, --skip-hidden, -x and --skip-hard-links.
    engine::SearchFilters filters;
    // -0: the list of --files-from is NUL-separated (and find's plain output too).
    bool nullSeparated = false;
    // --keep: which copy of each group stays; none given keeps the original.
    std::vector<engine::KeepRule> keepRules;
};

// A size as the options take it: the filters' own (bytes, or a number with K, M, G or T).
using engine::parseSize;

// What may be wrong with a request without making it wrong: each pattern that can never match a
// file name (empty, or holding a folder separator) and each pattern text that names no pattern.
std::vector<std::string> patternWarnings(const SearchRequest& request);

// Reads a search's arguments one at a time, beside a command's own options: the command looks at
// each argument first while optionsOpen(), and hands it here when it is none of its own.
class SearchArguments {
public:
    // False after "--": every argument after it is a folder.
    bool optionsOpen() const { return optionsOpen_; }

    // Takes args[i], with the value that follows it (moving `i` on): a search option, "--" or a
    // folder. Returns the reason of a usage error, else an empty text.
    std::string take(const Arguments& args, size_t& i);

    // True when the paths of a list (--files-from) are among the folders.
    bool readsPathList() const { return readsPathList_; }

    // True once a folder or an option that shapes the search (not -q, --stats) was taken.
    bool shapesSearch() const { return shapesSearch_; }

    // The request, once every argument was taken, with the paths of --files-from read after the
    // FOLDERs (each under the pattern text in force where the option stood); the reason of a usage
    // error when it has no folder, when a pattern text follows the last folder (it would apply to
    // none), or when the list cannot be read.
    std::string finish();
    const SearchRequest& request() const { return request_; }

private:
    SearchRequest request_;
    std::string pattern_ = "*.*";
    bool optionsOpen_ = true;
    bool shapesSearch_ = false;
    bool patternUnused_ = false; // a pattern text was given and no folder came after it
    std::string filesFrom_;      // --files-from: a file of paths, "-" for the standard input
    std::string filesFromPattern_;
    bool readsPathList_ = false;
};

// The paths of a list: one a line, or each ending in a NUL (the last one's end may be missing).
// Empty entries are passed over; a line's carriage return is kept (it may be part of a name).
std::vector<std::string> splitPathList(std::string_view bytes, bool nullSeparated);

} // namespace corvane::cli
