#pragma once

// The filters a search may have beyond its folders and patterns, shared by the window and the
// command line: size limits, patterns of full paths to leave out, hidden names left out, staying on
// one file system, and counting the names of one file once. Both front ends apply them with the functions
// here, so the same filters give the same search whichever front end runs it.

#include "engine/file_scanner.h"
#include "platform/file_info.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace corvane::engine {

inline constexpr int64_t kNoSizeLimit = std::numeric_limits<int64_t>::max();

struct SearchFilters {
    // Files outside these sizes (both included) are searched but not compared.
    int64_t minSize = 0;
    int64_t maxSize = kNoSizeLimit;
    // Patterns of full paths (platform::PathPattern, globs as the shell's): matching folders are not
    // entered, matching files not found.
    std::vector<std::string> excludes;
    // Entries whose name starts with a dot are left out, files and folders (the command line's
    // --skip-hidden); a search path is searched whatever its name.
    bool skipHidden = false;
    bool oneFileSystem = false; // folders on another device than their search path are not entered
    bool skipHardLinks = false; // the names of one file count once: the first found

    bool limitsSizes() const { return minSize > 0 || maxSize < kNoSizeLimit; }
    // True when any filter is set: the search is not the plain one.
    bool any() const {
        return limitsSizes() || !excludes.empty() || skipHidden || oneFileSystem || skipHardLinks;
    }
    // Whether a searched file of `size` bytes goes on to the comparison.
    bool compares(int64_t size) const { return size >= minSize && size <= maxSize; }

    friend bool operator==(const SearchFilters&, const SearchFilters&) = default;
};

// Gives the scanner what it applies while it walks: the exclusions, the hidden names and the one
// file system.
void applyToScanner(const SearchFilters& filters, FileScanner& scanner);

// A size as the filters take it: bytes, or a whole number with K, M, G or T (powers of 1024,
// either case); nothing when the text is no size or too large.
std::optional<int64_t> parseSize(std::string_view text);

// The exclusions as the scanner asks for them (FileScanner::leaveOut): a path is left out when a
// pattern (platform::PathPattern, a glob on the whole path) matches it; a folder also when a
// pattern matches it with a separator after it, so that "*/cache/*" leaves out the folder "cache"
// itself. With `skipHidden`, also every entry whose name starts with a dot. None when there is
// nothing to leave out.
EntryFilter exclusionFilter(const std::vector<std::string>& patterns, bool skipHidden = false);

// The patterns of a text that lists them separated by ";", each without the blanks around it;
// empty entries are passed over. (A ";" within a pattern can be matched by "?".)
std::vector<std::string> splitPatternList(std::string_view text);

// Whether `pattern` can match a full path at all: it starts with the separator or a wildcard.
// "cache" can only match a path named "cache", which no search finds.
bool matchesFullPaths(std::string_view pattern);

// The files a search has met, by identity, for SearchFilters::skipHardLinks: a name of a file met
// before is a further name, which does not count.
class FurtherNames {
public:
    // True when a file of the same device and inode was met before; notes the file otherwise.
    bool isFurtherName(const platform::FileInfo& info);

private:
    struct IdentityHash {
        size_t operator()(const platform::FileIdentity& identity) const {
            return std::hash<uint64_t>{}(identity.inode * 31 + identity.device);
        }
    };
    std::unordered_set<platform::FileIdentity, IdentityHash> seen_;
};

} // namespace corvane::engine
