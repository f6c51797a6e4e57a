#pragma once

#include <string_view>
#include <vector>

namespace corvane::platform {

// Matches a file name against one file-name pattern as the folder listing does:
// `*` any run of characters (also none), `?` exactly one character, letter case ignored
// for every letter of a UTF-8 name (bytes that are not valid UTF-8 match only themselves).
// As on Windows, a pattern ending in ".*" also matches a name without a dot, so "*.*"
// matches every name. An empty pattern, or one holding a "/", matches nothing.
bool matchesPattern(std::string_view pattern, std::string_view name);

// True when the pattern matches every possible name ("*", "*.*", "**"...), so that a
// listing can skip the test.
bool matchesEverything(std::string_view pattern);

// A pattern matched against whole paths as a shell glob is, letter case ignored as above: "/" is
// an ordinary character, so "*" runs across folders ("*/cache/*") and "?" may stand for a "/".
// The file-name patterns' ".*" rule does not apply: "*/.*" matches the paths that have a name
// starting with a dot and no others, and "*.*" only paths holding a dot. Decoded once, then
// matched many times, from several threads at once.
class PathPattern {
public:
    explicit PathPattern(std::string_view pattern);
    bool matches(std::string_view path) const;

private:
    std::vector<char32_t> units_;
    bool everything_ = false;
};

// The case folding used above, for one Unicode code point.
char32_t foldCase(char32_t codePoint);

} // namespace corvane::platform
