#include "platform/wildcard.h"

#include "platform/utf8.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace corvane::platform {

namespace {

struct FoldRun {
    char32_t first;
    char32_t last;
    int step;
    int offset;
};

constexpr FoldRun kFoldRuns[] = {
#include "platform/case_fold_table.inc"
};

// Units of a decoded name: a Unicode code point, or kRawByte + b for a byte that is not part
// of a valid UTF-8 sequence (those never fold and never equal a code point).
constexpr char32_t kRawByte = 0x110000;

void decodeFolded(std::string_view text, std::vector<char32_t>& units) {
    units.clear();
    for (size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        const size_t length = decodeUtf8(text, i, cp);
        if (length == 0) {
            units.push_back(kRawByte + static_cast<unsigned char>(text[i]));
            ++i;
        } else {
            units.push_back(foldCase(cp));
            i += length;
        }
    }
}

// Classic wildcard match with backtracking to the last star: linear in practice and never
// exponential.
bool matchUnits(const std::vector<char32_t>& pattern, size_t patternEnd, const std::vector<char32_t>& name) {
    size_t p = 0;
    size_t n = 0;
    size_t starP = SIZE_MAX;
    size_t starN = 0;
    while (n < name.size()) {
        if (p < patternEnd && pattern[p] == U'*') {
            starP = p++;
            starN = n;
        } else if (p < patternEnd && (pattern[p] == U'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (starP != SIZE_MAX) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < patternEnd && pattern[p] == U'*') {
        ++p;
    }
    return p == patternEnd;
}

} // namespace

char32_t foldCase(char32_t codePoint) {
    if (codePoint < 0x80) {
        return (codePoint >= U'A' && codePoint <= U'Z') ? codePoint + 32 : codePoint;
    }
    const auto* end = std::end(kFoldRuns);
    const auto* run = std::upper_bound(std::begin(kFoldRuns), end, codePoint,
                                       [](char32_t cp, const FoldRun& r) { return cp < r.first; });
    if (run == std::begin(kFoldRuns)) {
        return codePoint;
    }
    --run;
    if (codePoint > run->last || (codePoint - run->first) % run->step != 0) {
        return codePoint;
    }
    return static_cast<char32_t>(static_cast<int32_t>(codePoint) + run->offset);
}

bool matchesEverything(std::string_view pattern) {
    if (pattern.empty()) {
        return false;
    }
    if (pattern == "*.*") {
        return true;
    }
    return std::all_of(pattern.begin(), pattern.end(), [](char c) { return c == '*'; });
}

bool matchesPattern(std::string_view pattern, std::string_view name) {
    if (pattern.empty() || pattern.find('/') != std::string_view::npos) {
        return false;
    }
    if (matchesEverything(pattern)) {
        return true;
    }
    thread_local std::vector<char32_t> patternUnits;
    thread_local std::vector<char32_t> nameUnits;
    decodeFolded(pattern, patternUnits);
    decodeFolded(name, nameUnits);
    if (matchUnits(patternUnits, patternUnits.size(), nameUnits)) {
        return true;
    }
    // Windows compatibility: "name.*" also matches "name" when the name has no dot at all.
    const bool endsInDotStar = patternUnits.size() >= 2 && patternUnits[patternUnits.size() - 1] == U'*' &&
                               patternUnits[patternUnits.size() - 2] == U'.';
    if (endsInDotStar && name.find('.') == std::string_view::npos) {
        return matchUnits(patternUnits, patternUnits.size() - 2, nameUnits);
    }
    return false;
}

PathPattern::PathPattern(std::string_view pattern)
    : everything_(!pattern.empty() &&
                  std::all_of(pattern.begin(), pattern.end(), [](char c) { return c == '*'; })) {
    decodeFolded(pattern, units_);
}

bool PathPattern::matches(std::string_view path) const {
    if (everything_) {
        return true;
    }
    if (units_.empty()) {
        return false;
    }
    thread_local std::vector<char32_t> pathUnits;
    decodeFolded(path, pathUnits);
    return matchUnits(units_, units_.size(), pathUnits);
}

} // namespace corvane::platform
