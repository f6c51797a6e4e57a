#include "cli/group_output.h"

#include "cli/json_output.h"

namespace corvane::cli {

namespace {

bool writeAll(std::FILE* out, std::string_view bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
}

// The plain list, with `end` after each path and between groups.
bool writeLines(std::FILE* out, const FoundGroups& found, char end) {
    bool ok = true;
    bool first = true;
    for (const DuplicateGroup& group : found.groups) {
        if (!first) {
            ok = ok && std::fputc(end, out) != EOF;
        }
        first = false;
        ok = ok && writeAll(out, group.original) && std::fputc(end, out) != EOF;
        for (const std::string& path : group.duplicates) {
            ok = ok && writeAll(out, path) && std::fputc(end, out) != EOF;
        }
    }
    return ok;
}

bool writeJson(std::FILE* out, const FoundGroups& found) {
    std::string text = "{\"searched\": " + std::to_string(found.searched) +
                       ", \"duplicates\": " + std::to_string(found.duplicates) +
                       ", \"reclaimable\": " + std::to_string(found.reclaimable) + ", \"groups\": [";
    for (size_t g = 0; g < found.groups.size(); ++g) {
        const DuplicateGroup& group = found.groups[g];
        text += g ? ", " : "";
        text += "{\"size\": " + std::to_string(group.size) + ", " +
                jsonPathMember("original", group.original) + ", " +
                jsonPathListMembers("duplicates", group.duplicates) + "}";
    }
    text += "]}\n";
    return writeAll(out, text);
}

bool writeCsv(std::FILE* out, const FoundGroups& found) {
    bool ok = writeAll(out, "group,size,role,path\n");
    for (size_t g = 0; ok && g < found.groups.size(); ++g) {
        const DuplicateGroup& group = found.groups[g];
        const std::string lead = std::to_string(g + 1) + ',' + std::to_string(group.size) + ',';
        ok = writeAll(out, lead + "original," + csvField(group.original) + '\n');
        for (const std::string& path : group.duplicates) {
            ok = ok && writeAll(out, lead + "duplicate," + csvField(path) + '\n');
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

bool writeGroups(std::FILE* out, const FoundGroups& found, GroupFormat format) {
    bool written = false;
    switch (format) {
    case GroupFormat::Text:
        written = writeLines(out, found, '\n');
        break;
    case GroupFormat::NullSeparated:
        written = writeLines(out, found, '\0');
        break;
    case GroupFormat::Json:
        written = writeJson(out, found);
        break;
    case GroupFormat::Csv:
        written = writeCsv(out, found);
        break;
    }
    return std::fflush(out) == 0 && written && !std::ferror(out);
}

} // namespace corvane::cli
