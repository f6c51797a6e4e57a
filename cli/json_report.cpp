#include "cli/json_report.h"

#include "cli/group_output.h"
#include "cli/json_reader.h"
#include "platform/file_info.h"
#include "platform/path_parts.h"
#include "stream/error.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace corvane::cli {

namespace {

using Kind = JsonValue::Kind;

struct ReportFault {
    std::string what;
};

std::optional<JsonValue> member(const JsonValue& object, std::string_view key, Kind kind) {
    const std::optional<JsonValue> found = object.find(key);
    if (found && found->kind() != kind) {
        throw ReportFault{"\"" + std::string(key) + "\" is of the wrong type"};
    }
    return found;
}

// The exact bytes of a path: from `bytes` (its "…_base64" twin) when that holds a text, else `text`.
std::string exactPath(const JsonValue& text, const std::optional<JsonValue>& bytes) {
    if (text.kind() != Kind::String) {
        throw ReportFault{"a path is not a text"};
    }
    std::string path(text.text());
    if (bytes && bytes->kind() == Kind::String) {
        std::optional<std::string> decoded = decodeBase64(bytes->text());
        if (!decoded) {
            throw ReportFault{"a path's base64 bytes are not base64"};
        }
        path = std::move(*decoded);
    } else if (bytes && bytes->kind() != Kind::Null) {
        throw ReportFault{"a path's base64 bytes are not a text"};
    }
    if (path.find('\0') != std::string::npos) {
        // No file has such a name: taken to the system, it would stand for a file cut at the zero.
        throw ReportFault{"the path " + path.substr(0, path.find('\0')) +
                          "... holds a zero byte, which no name of a file can"};
    }
    return path;
}

// A relative path of a report with a "base", taken from there: made absolute before the paths of
// a group are compared, so that two spellings of one path are one file of it.
std::string fromBase(std::string path, const std::string& base) {
    if (base.empty() || (!path.empty() && path.front() == platform::kPathSeparator)) {
        return path;
    }
    return platform::absolutePath(path, base);
}

// "original" and "duplicates" of a group, in order; none when the group has neither.
std::optional<std::vector<std::string>> listedPaths(const JsonValue& group, const std::string& base) {
    const std::optional<JsonValue> original = group.find("original");
    const std::optional<JsonValue> duplicates = member(group, "duplicates", Kind::Array);
    if (!original && !duplicates) {
        return std::nullopt;
    }
    std::vector<std::string> paths;
    if (original) {
        paths.push_back(fromBase(exactPath(*original, group.find("original_base64")), base));
    }
    if (duplicates) {
        const std::vector<JsonValue> texts = duplicates->items();
        const std::optional<JsonValue> bytes = member(group, "duplicates_base64", Kind::Array);
        const std::vector<JsonValue> byteTexts = bytes ? bytes->items() : std::vector<JsonValue>{};
        if (bytes && byteTexts.size() != texts.size()) {
            throw ReportFault{"\"duplicates_base64\" does not match \"duplicates\""};
        }
        for (size_t d = 0; d < texts.size(); ++d) {
            paths.push_back(
                fromBase(exactPath(texts[d], bytes ? std::optional(byteTexts[d]) : std::nullopt), base));
        }
    }
    return paths;
}

struct ListedFile {
    std::string path;
    bool keep = false;
};

// "files" of a group, in order; none when the group has none.
std::optional<std::vector<ListedFile>> groupFiles(const JsonValue& group, const std::string& base) {
    const std::optional<JsonValue> files = member(group, "files", Kind::Array);
    if (!files) {
        return std::nullopt;
    }
    std::vector<ListedFile> listed;
    for (const JsonValue& file : files->items()) {
        const std::optional<JsonValue> path = file.kind() == Kind::Object ? file.find("path") : std::nullopt;
        if (!path) {
            throw ReportFault{"an entry of \"files\" has no \"path\""};
        }
        const std::optional<JsonValue> keep = member(file, "keep", Kind::Boolean);
        listed.push_back(
            {fromBase(exactPath(*path, file.find("path_base64")), base), keep && keep->boolean()});
    }
    return listed;
}

engine::FileGroup groupOf(const JsonValue& group, const std::string& base) {
    if (group.kind() != Kind::Object) {
        throw ReportFault{"a group is not an object"};
    }
    const std::optional<std::vector<std::string>> listed = listedPaths(group, base);
    std::optional<std::vector<ListedFile>> files = groupFiles(group, base);
    if (!files) {
        files.emplace();
        for (const std::string& path : listed.value_or(std::vector<std::string>{})) {
            files->push_back({path, false});
        }
    } else if (listed) {
        const std::unordered_set<std::string_view> inLists(listed->begin(), listed->end());
        std::erase_if(*files, [&](const ListedFile& file) { return !inLists.contains(file.path); });
    }
    // Each path once, in order; a path named twice is kept if either names it so.
    engine::FileGroup out;
    std::unordered_map<std::string_view, size_t> places;
    std::vector<bool> keep;
    for (const ListedFile& file : *files) {
        const auto [place, added] = places.emplace(file.path, out.files.size());
        if (added) {
            out.files.push_back({file.path, std::nullopt, false, false});
            keep.push_back(file.keep);
        } else {
            keep[place->second] = keep[place->second] || file.keep;
        }
    }
    const size_t keepers = static_cast<size_t>(std::count(keep.begin(), keep.end(), true));
    if (keepers == 1) {
        const auto keeper = out.files.begin() + (std::find(keep.begin(), keep.end(), true) - keep.begin());
        std::rotate(out.files.begin(), keeper, keeper + 1);
    } else if (keepers > 1) {
        // Every file marked to stay stays, and stands for the others as a folder to keep does.
        for (size_t i = 0; i < out.files.size(); ++i) {
            out.files[i].isProtected = keep[i];
        }
    }
    return out;
}

} // namespace

std::vector<engine::FileGroup> groupsOfReport(std::string_view text, const std::string& name) {
    std::string error;
    const std::optional<JsonDocument> document = parseStrictJson(text, &error);
    if (!document) {
        throw Error("The report " + name + " is not valid JSON: " + error);
    }
    const JsonValue report = document->root();
    std::vector<engine::FileGroup> groups;
    std::string base;
    try {
        if (report.kind() != Kind::Object) {
            throw ReportFault{"it is not an object"};
        }
        if (const std::optional<JsonValue> version = member(report, "version", Kind::Number)) {
            const std::optional<int64_t> number = version->wholeNumber();
            if (!number || *number < 1) {
                throw ReportFault{"its version " + std::string(version->text()) +
                                  " is no version corvane-cli writes"};
            }
            if (*number > kJsonVersion) {
                throw ReportFault{"it was written by a newer corvane-cli (version " +
                                  std::to_string(*number) + ")"};
            }
        }
        if (const std::optional<JsonValue> from = member(report, "base", Kind::String)) {
            base = exactPath(*from, report.find("base_base64"));
            if (base.empty() || base.front() != platform::kPathSeparator) {
                throw ReportFault{"its \"base\" is not an absolute path"};
            }
        }
        const std::optional<JsonValue> list = member(report, "groups", Kind::Array);
        if (!list) {
            throw ReportFault{"it has no \"groups\""};
        }
        for (const JsonValue& group : list->items()) {
            engine::FileGroup read = groupOf(group, base);
            if (read.files.size() >= 2) {
                groups.push_back(std::move(read));
            }
        }
    } catch (const ReportFault& fault) {
        throw Error("The report " + name + " is not a report of corvane-cli find --json: " + fault.what);
    }
    for (const engine::FileGroup& group : groups) {
        for (const engine::GroupFile& file : group.files) {
            if (file.path.empty() || file.path.front() != platform::kPathSeparator) {
                // Taken from here, such a path could name files that were never searched.
                throw Error("The report " + name + " names the file " + file.path +
                            " by a path relative to the folder it was searched from, which is not known: "
                            "search with absolute FOLDERs to act on a report");
            }
        }
    }
    return groups;
}

} // namespace corvane::cli
