#pragma once

// A strict JSON reader (RFC 8259), for the reports that scripts hand back (--from-json) and for the
// tests of what find writes: it refuses what lenient parsers let through, such as bytes that are
// not UTF-8, raw control characters in strings, lone surrogates, trailing commas, a member named
// twice and anything after the value, so that what it accepts any conforming parser reads the
// same way. Nesting deeper than 256 levels is refused too.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::cli {

struct JsonValue {
    enum class Kind { Null, Boolean, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool boolean = false;
    double number = 0;
    std::string text; // String: the decoded UTF-8
    std::vector<JsonValue> items;
    std::map<std::string, JsonValue> members;

    // The member `key` of an object; throws when there is none.
    const JsonValue& operator[](const std::string& key) const;
    const JsonValue& operator[](size_t index) const { return items.at(index); }
    bool has(const std::string& key) const { return members.count(key) != 0; }
};

// Reads one JSON text; nothing, with `error` set, when it is not strictly valid.
std::optional<JsonValue> parseStrictJson(std::string_view text, std::string* error = nullptr);

// The bytes that a base64 text (RFC 4648, padded) stands for; nothing when it is not base64.
std::optional<std::string> decodeBase64(std::string_view text);

} // namespace corvane::cli
