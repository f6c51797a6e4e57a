#include "report_reader_exercise.h"

#include "cli/json_reader.h"
#include "cli/json_report.h"
#include "engine/json_text.h"
#include "platform/error.h"
#include "platform/utf8.h"

#include <set>

namespace corvane::testing {

namespace {

using cli::JsonValue;
using Kind = JsonValue::Kind;

// The text, checked by rules the reader does not share: UTF-8 throughout, and outside strings
// nothing but JSON's own characters.
std::string textFault(std::string_view text) {
    bool inString = false;
    for (size_t at = 0; at < text.size();) {
        const auto c = static_cast<unsigned char>(text[at]);
        if (c >= 0x80) {
            char32_t ignored = 0;
            const size_t length = platform::decodeUtf8(text, at, ignored);
            if (length == 0 || !inString) {
                return "accepted bytes that are not UTF-8 or stand outside a string at byte " +
                       std::to_string(at);
            }
            at += length;
            continue;
        }
        if (inString) {
            if (c < 0x20) {
                return "accepted a raw control character in a string";
            }
            at += c == '\\' ? 2 : 1;
            inString = c != '"';
            continue;
        }
        if (c == '"') {
            inString = true;
        } else if (std::string_view(" \t\r\n{}[],:-+.0123456789eEtrufalsn").find(static_cast<char>(c)) ==
                   std::string_view::npos) {
            return "accepted the character " + std::to_string(c) + " outside a string";
        }
        ++at;
    }
    return inString ? "accepted an unterminated string" : "";
}

// Every "…_base64" text that decodes is the text base64() makes of its bytes.
std::string base64Fault(const JsonValue& value) {
    if (value.kind() == Kind::Array) {
        for (const JsonValue& item : value.items()) {
            if (std::string fault = base64Fault(item); !fault.empty()) {
                return fault;
            }
        }
    }
    if (value.kind() != Kind::Object) {
        return {};
    }
    for (const JsonValue& member : value.items()) {
        if (std::string fault = base64Fault(member); !fault.empty()) {
            return fault;
        }
    }
    for (const char* key : {"original_base64", "duplicates_base64", "path_base64"}) {
        const std::optional<JsonValue> bytes = value.find(key);
        if (!bytes) {
            continue;
        }
        std::vector<JsonValue> texts = bytes->kind() == Kind::Array ? bytes->items() : std::vector{*bytes};
        for (const JsonValue& text : texts) {
            const std::optional<std::string> decoded =
                text.kind() == Kind::String ? cli::decodeBase64(text.text()) : std::nullopt;
            if (decoded && engine::base64(*decoded) != text.text()) {
                return "base64 " + std::string(text.text()) + " does not come back as it was";
            }
        }
    }
    return {};
}

} // namespace

std::string exerciseReportReader(std::string_view bytes) {
    std::vector<engine::FileGroup> groups;
    try {
        groups = cli::groupsOfReport(bytes, "fuzzed");
    } catch (const Error&) {
        return {};
    } catch (const std::exception& other) {
        return std::string("an exception other than our error: ") + other.what();
    }
    if (std::string fault = textFault(bytes); !fault.empty()) {
        return fault;
    }
    const std::optional<cli::JsonDocument> document = cli::parseStrictJson(bytes);
    if (!document) {
        return "accepted a text the JSON reader refuses";
    }
    if (std::string fault = base64Fault(document->root()); !fault.empty()) {
        return fault;
    }
    for (const engine::FileGroup& group : groups) {
        std::set<std::string> paths;
        for (const engine::GroupFile& file : group.files) {
            if (file.path.empty() || file.path.front() != '/') {
                return "accepted a relative path: " + file.path;
            }
            if (file.path.find('\0') != std::string::npos) {
                return "accepted a path with a zero byte";
            }
            paths.insert(file.path);
        }
        if (paths.size() < 2 || paths.size() != group.files.size()) {
            return "accepted a group without two distinct paths";
        }
    }
    return {};
}

} // namespace corvane::testing
