#include "engine/group_report.h"

#include "engine/json_text.h"

#include <algorithm>

namespace corvane::engine {

namespace {

// The group's paths, the original first; place `keeper` is the copy that stays.
const std::string& pathAt(const DuplicateGroup& group, size_t place) {
    return place == 0 ? group.original : group.duplicates[place - 1];
}

// The copy at `place` is marked to stay.
bool stays(const DuplicateGroup& group, size_t place) {
    return place == group.keeper || std::binary_search(group.alsoKept.begin(), group.alsoKept.end(), place);
}

// The group's places in the order the lists print them: with marked keepers, the copy that stays
// first, the others in the group's order.
std::vector<size_t> listOrder(const DuplicateGroup& group, bool keeperFirst) {
    std::vector<size_t> order;
    order.reserve(group.duplicates.size() + 1);
    if (keeperFirst) {
        order.push_back(group.keeper);
    }
    for (size_t place = 0; place <= group.duplicates.size(); ++place) {
        if (!keeperFirst || place != group.keeper) {
            order.push_back(place);
        }
    }
    return order;
}

// The plain list, with `end` after each path and between groups.
bool writeLines(const ReportSink& write, const FoundGroups& found, char end, const ShownPath& shownPath) {
    const bool marks = found.marksKeeper && end == '\n' && !found.omitFirst;
    const std::string_view endBytes(&end, 1);
    bool ok = true;
    bool first = true;
    for (const DuplicateGroup& group : found.groups) {
        // Without their first paths, NUL-separated groups are one flat list for xargs -0: an empty
        // record between them would be an empty argument.
        if (!first && !(found.omitFirst && end == '\0')) {
            ok = ok && write(endBytes);
        }
        first = false;
        const std::vector<size_t> order = listOrder(group, found.marksKeeper);
        for (size_t k = found.omitFirst ? 1 : 0; k < order.size(); ++k) {
            if (marks) {
                ok = ok && write(stays(group, order[k]) ? "+ " : "- ");
            }
            const std::string& path = pathAt(group, order[k]);
            ok = ok && write(shownPath ? shownPath(path) : path) && write(endBytes);
        }
    }
    return ok;
}

bool writeJson(const ReportSink& write, const FoundGroups& found) {
    std::string text = "{\"version\": " + std::to_string(kJsonVersion) +
                       ", \"searched\": " + std::to_string(found.searched) +
                       ", \"duplicates\": " + std::to_string(found.duplicates) +
                       ", \"reclaimable\": " + std::to_string(found.reclaimable) +
                       (found.base.empty() ? std::string() : ", " + jsonPathMember("base", found.base)) +
                       ", \"groups\": [";
    for (size_t g = 0; g < found.groups.size(); ++g) {
        const DuplicateGroup& group = found.groups[g];
        text += g ? ", " : "";
        text += "{\"size\": " + std::to_string(group.size) + ", " +
                jsonPathMember("original", group.original) + ", " +
                jsonPathListMembers("duplicates", group.duplicates) + ", \"files\": [";
        for (size_t place = 0; place <= group.duplicates.size(); ++place) {
            text += place ? ", {" : "{";
            text += jsonPathMember("path", pathAt(group, place));
            text += stays(group, place) ? ", \"keep\": true}" : ", \"keep\": false}";
        }
        text += "]}";
    }
    text += "]}\n";
    return write(text);
}

bool writeCsv(const ReportSink& write, const FoundGroups& found) {
    bool ok = write("group,size,role,path\n");
    for (size_t g = 0; ok && g < found.groups.size(); ++g) {
        const DuplicateGroup& group = found.groups[g];
        const std::string lead = std::to_string(g + 1) + ',' + std::to_string(group.size) + ',';
        const char* firstRole = found.marksKeeper ? "keep," : "original,";
        for (const size_t place : listOrder(group, found.marksKeeper)) {
            const bool kept = found.marksKeeper ? stays(group, place) : place == 0;
            ok =
                ok && write(lead + (kept ? firstRole : "duplicate,") + csvField(pathAt(group, place)) + '\n');
        }
    }
    return ok;
}

} // namespace

std::string csvField(std::string_view bytes) {
    if (bytes.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(bytes);
    }
    std::string out = "\"";
    for (const char c : bytes) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    out += '"';
    return out;
}

bool writeGroups(const ReportSink& write, const FoundGroups& found, GroupFormat format,
                 const ShownPath& shownPath) {
    switch (format) {
    case GroupFormat::Text:
        return writeLines(write, found, '\n', shownPath);
    case GroupFormat::NullSeparated:
        return writeLines(write, found, '\0', {});
    case GroupFormat::Json:
        return writeJson(write, found);
    case GroupFormat::Csv:
        return writeCsv(write, found);
    }
    return false;
}

bool writeGroups(std::FILE* out, const FoundGroups& found, GroupFormat format, const ShownPath& shownPath) {
    const bool written = writeGroups(
        [out](std::string_view bytes) {
            return std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
        },
        found, format, shownPath);
    return std::fflush(out) == 0 && written && !std::ferror(out);
}

} // namespace corvane::engine
