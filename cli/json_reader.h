#pragma once

// A strict JSON reader (RFC 8259), for the reports that scripts hand back (--from-json) and for the
// tests of what find writes: it refuses what lenient parsers let through, such as bytes that are
// not UTF-8, raw control characters in strings, lone surrogates, trailing commas, a member named
// twice and anything after the value, so that what it accepts any conforming parser reads the
// same way. Nesting deeper than 256 levels is refused too.
//
// A report may be large and comes from anywhere, so a parsed document is compact: every value is
// one small node in one array, and the strings (decoded) and numbers (as written) share one
// buffer. Memory stays within a small multiple of the text's size whatever the text holds.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::cli {

class JsonDocument;

// One value of a parsed document: a view, valid while its document lives.
class JsonValue {
public:
    enum class Kind : uint8_t { Null, Boolean, Number, String, Array, Object };

    Kind kind() const;
    bool boolean() const;
    // String: the decoded UTF-8. Number: the number exactly as the text wrote it.
    std::string_view text() const;
    // Number: its value when written as a whole number (no fraction, no exponent) that fits in
    // 64 bits; nothing otherwise, so that no number is ever read as another.
    std::optional<int64_t> wholeNumber() const;

    // Array: its items in order. Object: its members' values in order.
    std::vector<JsonValue> items() const;
    // Object: the member `key`; nothing when there is none.
    std::optional<JsonValue> find(std::string_view key) const;
    bool has(std::string_view key) const { return find(key).has_value(); }
    // Object: the member `key`, Array: the item at `index`; both throw std::out_of_range when
    // there is none.
    JsonValue operator[](std::string_view key) const;
    JsonValue operator[](size_t index) const;

private:
    friend class JsonDocument;
    JsonValue(const JsonDocument* document, uint32_t node) : document_(document), node_(node) {}
    // The node after this value and everything inside it.
    uint32_t end() const;

    const JsonDocument* document_;
    uint32_t node_;
};

// A parsed JSON text.
class JsonDocument {
public:
    JsonValue root() const { return JsonValue(this, 0); }

private:
    friend class JsonValue;
    friend class JsonParser;
    struct Node {
        JsonValue::Kind kind = JsonValue::Kind::Null;
        // String, Number: the length of its bytes. Array: its items. Object: its members.
        uint32_t size = 0;
        // String, Number: where its bytes start in `bytes_`. Array, Object: the node after its
        // last one. Boolean: 1 for true.
        uint32_t at = 0;
    };
    std::vector<Node> nodes_; // an object's members are a key (a String) and then the value
    std::string bytes_;
};

// The longest text parseStrictJson reads.
inline constexpr size_t kMaxJsonTextBytes = size_t{1} << 31;

// Reads one JSON text; nothing, with `error` set, when it is not strictly valid.
std::optional<JsonDocument> parseStrictJson(std::string_view text, std::string* error = nullptr);

// The bytes that a base64 text (RFC 4648, padded, unused bits zero) stands for; nothing when it
// is not base64 in exactly the form base64() writes.
std::optional<std::string> decodeBase64(std::string_view text);

} // namespace corvane::cli
