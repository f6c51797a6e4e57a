#include "engine/search_filters.h"

#include "platform/wildcard.h"

#include <cctype>

namespace corvane::engine {

void applyToScanner(const SearchFilters& filters, FileScanner& scanner) {
    scanner.leaveOut = exclusionFilter(filters.excludes, filters.skipHidden);
    scanner.oneFileSystem = filters.oneFileSystem;
}

std::optional<int64_t> parseSize(std::string_view text) {
    int64_t value = 0;
    size_t i = 0;
    constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        const int digit = text[i] - '0';
        if (value > (kMax - digit) / 10) {
            return std::nullopt;
        }
        value = value * 10 + digit;
    }
    if (i == 0 || i + 1 < text.size()) {
        return std::nullopt;
    }
    if (i + 1 == text.size()) {
        int shift = 0;
        switch (std::toupper(static_cast<unsigned char>(text[i]))) {
        case 'K':
            shift = 10;
            break;
        case 'M':
            shift = 20;
            break;
        case 'G':
            shift = 30;
            break;
        case 'T':
            shift = 40;
            break;
        default:
            return std::nullopt;
        }
        if (value > (kMax >> shift)) {
            return std::nullopt;
        }
        value <<= shift;
    }
    return value;
}

EntryFilter exclusionFilter(const std::vector<std::string>& patterns, bool skipHidden) {
    if (patterns.empty() && !skipHidden) {
        return {};
    }
    std::vector<platform::PathPattern> decoded(patterns.begin(), patterns.end());
    return [decoded = std::move(decoded), skipHidden](const std::string& path, platform::EntryKind kind) {
        // The scanner asks only about entries of a listing, never about a search path itself.
        const size_t slash = path.rfind(platform::kPathSeparator);
        if (skipHidden && slash != std::string::npos && slash + 1 < path.size() && path[slash + 1] == '.') {
            return true;
        }
        for (const platform::PathPattern& pattern : decoded) {
            if (pattern.matches(path) || (kind == platform::EntryKind::Directory &&
                                          pattern.matches(path + platform::kPathSeparator))) {
                return true;
            }
        }
        return false;
    };
}

std::vector<std::string> splitPatternList(std::string_view text) {
    std::vector<std::string> patterns;
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    size_t start = 0;
    while (start <= text.size()) {
        size_t stop = text.find(';', start);
        if (stop == std::string_view::npos) {
            stop = text.size();
        }
        size_t first = start;
        size_t last = stop;
        while (first < last && blank(text[first])) {
            ++first;
        }
        while (last > first && blank(text[last - 1])) {
            --last;
        }
        if (last > first) {
            patterns.emplace_back(text.substr(first, last - first));
        }
        start = stop + 1;
    }
    return patterns;
}

bool matchesFullPaths(std::string_view pattern) {
    return !pattern.empty() &&
           (pattern.front() == platform::kPathSeparator || pattern.front() == '*' || pattern.front() == '?');
}

bool FurtherNames::isFurtherName(const platform::FileInfo& info) {
    return !seen_.insert(platform::identityOf(info)).second;
}

} // namespace corvane::engine
