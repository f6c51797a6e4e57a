#include "cli/json_report.h"

#include "cli/group_output.h"
#include "cli/json_reader.h"
#include "platform/file_info.h"
#include "stream/error.h"

#include <algorithm>
#include <optional>

namespace corvane::cli {

namespace {

using Kind = JsonValue::Kind;

struct ReportFault {
    std::string what;
};

const JsonValue* member(const JsonValue& object, const std::string& key, Kind kind) {
    const auto found = object.members.find(key);
    if (found == object.members.end()) {
        return nullptr;
    }
    if (found->second.kind != kind) {
        throw ReportFault{"\"" + key + "\" is of the wrong type"};
    }
    return &found->second;
}

// The exact bytes of a path: from `bytes` (its "…_base64" twin) when that holds a text, else `text`.
std::string exactPath(const JsonValue& text, const JsonValue* bytes) {
    if (text.kind != Kind::String) {
        throw ReportFault{"a path is not a text"};
    }
    if (bytes && bytes->kind == Kind::String) {
        std::optional<std::string> decoded = decodeBase64(bytes->text);
        if (!decoded) {
            throw ReportFault{"a path's base64 bytes are not base64"};
        }
        return std::move(*decoded);
    }
    if (bytes && bytes->kind != Kind::Null) {
        throw ReportFault{"a path's base64 bytes are not a text"};
    }
    return text.text;
}

// "original" and "duplicates" of a group, in order; none when the group has neither.
std::optional<std::vector<std::string>> listedPaths(const JsonValue& group) {
    const JsonValue* original = group.members.count("original") ? &group["original"] : nullptr;
    const JsonValue* duplicates = member(group, "duplicates", Kind::Array);
    if (!original && !duplicates) {
        return std::nullopt;
    }
    std::vector<std::string> paths;
    if (original) {
        paths.push_back(exactPath(
            *original, group.members.count("original_base64") ? &group["original_base64"] : nullptr));
    }
    if (duplicates) {
        const JsonValue* bytes = member(group, "duplicates_base64", Kind::Array);
        if (bytes && bytes->items.size() != duplicates->items.size()) {
            throw ReportFault{"\"duplicates_base64\" does not match \"duplicates\""};
        }
        for (size_t d = 0; d < duplicates->items.size(); ++d) {
            paths.push_back(exactPath(duplicates->items[d], bytes ? &bytes->items[d] : nullptr));
        }
    }
    return paths;
}

struct ListedFile {
    std::string path;
    bool keep = false;
};

// "files" of a group, in order; none when the group has none.
std::optional<std::vector<ListedFile>> groupFiles(const JsonValue& group) {
    const JsonValue* files = member(group, "files", Kind::Array);
    if (!files) {
        return std::nullopt;
    }
    std::vector<ListedFile> listed;
    for (const JsonValue& file : files->items) {
        if (file.kind != Kind::Object || !file.has("path")) {
            throw ReportFault{"an entry of \"files\" has no \"path\""};
        }
        const JsonValue* keep = member(file, "keep", Kind::Boolean);
        listed.push_back({exactPath(file["path"], file.has("path_base64") ? &file["path_base64"] : nullptr),
                          keep && keep->boolean});
    }
    return listed;
}

engine::FileGroup groupOf(const JsonValue& group) {
    if (group.kind != Kind::Object) {
        throw ReportFault{"a group is not an object"};
    }
    const std::optional<std::vector<std::string>> listed = listedPaths(group);
    std::optional<std::vector<ListedFile>> files = groupFiles(group);
    if (!files) {
        files.emplace();
        for (const std::string& path : listed.value_or(std::vector<std::string>{})) {
            files->push_back({path, false});
        }
    } else if (listed) {
        std::erase_if(*files, [&](const ListedFile& file) {
            return std::find(listed->begin(), listed->end(), file.path) == listed->end();
        });
    }
    engine::FileGroup out;
    for (const ListedFile& file : *files) {
        const bool seen =
            std::any_of(out.files.begin(), out.files.end(),
                        [&](const engine::GroupFile& known) { return known.path == file.path; });
        if (!seen) {
            out.files.push_back({file.path, std::nullopt, false, false});
        }
    }
    const auto marked =
        std::find_if(files->begin(), files->end(), [](const ListedFile& file) { return file.keep; });
    if (marked != files->end() &&
        std::count_if(files->begin(), files->end(), [](const ListedFile& file) { return file.keep; }) == 1) {
        const auto keeper =
            std::find_if(out.files.begin(), out.files.end(),
                         [&](const engine::GroupFile& file) { return file.path == marked->path; });
        std::rotate(out.files.begin(), keeper, keeper + 1);
    }
    return out;
}

} // namespace

std::vector<engine::FileGroup> groupsOfReport(std::string_view text, const std::string& name) {
    std::string error;
    const std::optional<JsonValue> report = parseStrictJson(text, &error);
    if (!report) {
        throw Error("The report " + name + " is not valid JSON: " + error);
    }
    std::vector<engine::FileGroup> groups;
    try {
        if (report->kind != Kind::Object) {
            throw ReportFault{"it is not an object"};
        }
        if (const JsonValue* version = member(*report, "version", Kind::Number);
            version && version->number > kJsonVersion) {
            throw ReportFault{"it was written by a newer corvane-cli (version " +
                              std::to_string(static_cast<long long>(version->number)) + ")"};
        }
        const JsonValue* list = member(*report, "groups", Kind::Array);
        if (!list) {
            throw ReportFault{"it has no \"groups\""};
        }
        for (const JsonValue& group : list->items) {
            engine::FileGroup read = groupOf(group);
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
