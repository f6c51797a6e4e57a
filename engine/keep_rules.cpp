#include "engine/keep_rules.h"

#include "platform/file_info.h"

#include <algorithm>
#include <array>
#include <utility>

namespace corvane::engine {

namespace {

constexpr std::array<std::pair<KeepRule, std::string_view>, 6> kNames{{
    {KeepRule::Original, "original"},
    {KeepRule::Oldest, "oldest"},
    {KeepRule::Newest, "newest"},
    {KeepRule::FirstFolder, "first-folder"},
    {KeepRule::ShortestPath, "shortest-path"},
    {KeepRule::LongestPath, "longest-path"},
}};

// The rule's measure of the file at `place` in its group, smaller preferred; none when the rule
// cannot measure it (never preferred over a file it can).
std::optional<int64_t> measure(KeepRule rule, std::span<const KeepCandidate> files, size_t place) {
    const KeepCandidate& file = files[place];
    switch (rule) {
    case KeepRule::Original:
        return static_cast<int64_t>(place); // the group's order decides
    case KeepRule::Oldest:
        return file.modifiedNs;
    case KeepRule::Newest:
        return file.modifiedNs ? std::optional(-*file.modifiedNs) : std::nullopt;
    case KeepRule::FirstFolder:
        return static_cast<int64_t>(file.folderRank);
    case KeepRule::ShortestPath:
        return static_cast<int64_t>(file.path.size());
    case KeepRule::LongestPath:
        return -static_cast<int64_t>(file.path.size());
    }
    return std::nullopt;
}

} // namespace

std::string_view keepRuleName(KeepRule rule) {
    for (const auto& [named, name] : kNames) {
        if (named == rule) {
            return name;
        }
    }
    return {};
}

std::optional<KeepRule> keepRuleNamed(std::string_view name) {
    for (const auto& [rule, named] : kNames) {
        if (named == name) {
            return rule;
        }
    }
    return std::nullopt;
}

ParsedKeepRules parseKeepRules(std::string_view text) {
    ParsedKeepRules parsed;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        const std::string_view name =
            text.substr(start, comma == std::string_view::npos ? text.npos : comma - start);
        const std::optional<KeepRule> rule = keepRuleNamed(name);
        if (!rule) {
            std::string known;
            for (const auto& [listed, listedName] : kNames) {
                known += (known.empty() ? "" : ", ") + std::string(listedName);
            }
            parsed.error = name.empty()
                               ? "a keep rule is missing in '" + std::string(text) + "' (" + known + ")"
                               : "unknown keep rule '" + std::string(name) + "' (" + known + ")";
            return parsed;
        }
        if (std::find(parsed.rules.begin(), parsed.rules.end(), *rule) != parsed.rules.end()) {
            parsed.error = "the keep rule '" + std::string(name) + "' is named twice";
            return parsed;
        }
        parsed.rules.push_back(*rule);
        if (comma == std::string_view::npos) {
            return parsed;
        }
        start = comma + 1;
    }
}

bool keepsOriginal(std::span<const KeepRule> rules) {
    return rules.empty() || rules.front() == KeepRule::Original;
}

size_t chooseKeeper(std::span<const KeepCandidate> files, std::span<const KeepRule> rules) {
    std::vector<size_t> best(files.size());
    for (size_t i = 0; i < best.size(); ++i) {
        best[i] = i;
    }
    for (const KeepRule rule : rules) {
        if (best.size() == 1) {
            break;
        }
        std::optional<int64_t> least;
        for (const size_t i : best) {
            const std::optional<int64_t> value = measure(rule, files, i);
            if (value && (!least || *value < *least)) {
                least = value;
            }
        }
        if (!least) {
            continue; // no file measured: this rule tells none apart
        }
        std::erase_if(best, [&](size_t i) { return measure(rule, files, i) != least; });
    }
    return best.front();
}

size_t folderRank(std::string_view path, std::span<const std::string> folders) {
    for (size_t rank = 0; rank < folders.size(); ++rank) {
        std::string_view folder = folders[rank];
        while (folder.size() > 1 && folder.back() == platform::kPathSeparator) {
            folder.remove_suffix(1);
        }
        if (path == folder) {
            return rank;
        }
        if (path.size() > folder.size() && path.substr(0, folder.size()) == folder &&
            (folder.back() == platform::kPathSeparator || path[folder.size()] == platform::kPathSeparator)) {
            return rank;
        }
    }
    return folders.size();
}

KeepCandidate keepCandidate(std::string_view path, const std::optional<platform::FileInfo>& seen,
                            std::span<const std::string> folders) {
    KeepCandidate candidate;
    candidate.path = path;
    candidate.folderRank = folderRank(path, folders);
    const std::optional<platform::FileInfo> info = seen ? seen : platform::lookupFile(std::string(path));
    if (info) {
        candidate.modifiedNs = info->modificationTimeNs;
    }
    return candidate;
}

void placeKeepersFirst(std::vector<FileGroup>& groups, std::span<const KeepRule> rules,
                       std::span<const std::string> folders) {
    if (keepsOriginal(rules)) {
        return;
    }
    std::vector<KeepCandidate> candidates;
    for (FileGroup& group : groups) {
        candidates.clear();
        for (const GroupFile& file : group.files) {
            candidates.push_back(keepCandidate(file.path, file.compared, folders));
        }
        if (candidates.empty()) {
            continue;
        }
        const size_t keeper = chooseKeeper(candidates, rules);
        std::rotate(group.files.begin(), group.files.begin() + static_cast<std::ptrdiff_t>(keeper),
                    group.files.begin() + static_cast<std::ptrdiff_t>(keeper) + 1);
    }
}

} // namespace corvane::engine
