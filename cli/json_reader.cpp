#include "cli/json_reader.h"

#include "platform/utf8.h"
#include "stream/text_codec.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

namespace corvane::cli {

using Kind = JsonValue::Kind;

Kind JsonValue::kind() const {
    return document_->nodes_[node_].kind;
}

bool JsonValue::boolean() const {
    const JsonDocument::Node& node = document_->nodes_[node_];
    return node.kind == Kind::Boolean && node.at != 0;
}

std::string_view JsonValue::text() const {
    const JsonDocument::Node& node = document_->nodes_[node_];
    if (node.kind != Kind::String && node.kind != Kind::Number) {
        return {};
    }
    return std::string_view(document_->bytes_).substr(node.at, node.size);
}

std::optional<int64_t> JsonValue::wholeNumber() const {
    if (kind() != Kind::Number) {
        return std::nullopt;
    }
    const std::string_view written = text();
    int64_t value = 0;
    const auto [end, error] = std::from_chars(written.data(), written.data() + written.size(), value);
    if (error != std::errc() || end != written.data() + written.size()) {
        return std::nullopt; // a fraction, an exponent, or out of range
    }
    return value;
}

uint32_t JsonValue::end() const {
    const JsonDocument::Node& node = document_->nodes_[node_];
    return node.kind == Kind::Array || node.kind == Kind::Object ? node.at : node_ + 1;
}

std::vector<JsonValue> JsonValue::items() const {
    std::vector<JsonValue> found;
    const JsonDocument::Node& node = document_->nodes_[node_];
    if (node.kind != Kind::Array && node.kind != Kind::Object) {
        return found;
    }
    found.reserve(node.size);
    const bool keyed = node.kind == Kind::Object;
    for (uint32_t at = node_ + 1; at < node.at;) {
        const JsonValue item(document_, keyed ? at + 1 : at);
        found.push_back(item);
        at = item.end();
    }
    return found;
}

std::optional<JsonValue> JsonValue::find(std::string_view key) const {
    const JsonDocument::Node& node = document_->nodes_[node_];
    if (node.kind != Kind::Object) {
        return std::nullopt;
    }
    for (uint32_t at = node_ + 1; at < node.at;) {
        const JsonValue name(document_, at);
        const JsonValue value(document_, at + 1);
        if (name.text() == key) {
            return value;
        }
        at = value.end();
    }
    return std::nullopt;
}

JsonValue JsonValue::operator[](std::string_view key) const {
    if (const std::optional<JsonValue> value = find(key)) {
        return *value;
    }
    throw std::out_of_range("no member " + std::string(key));
}

JsonValue JsonValue::operator[](size_t index) const {
    const std::vector<JsonValue> all = items();
    if (kind() != Kind::Array || index >= all.size()) {
        throw std::out_of_range("no item " + std::to_string(index));
    }
    return all[index];
}

namespace {

struct Failure {
    std::string what;
};

// An upper bound of the values and member names in `text`: each but the first follows a '[', a
// '{', a ',' or a ':' outside a string. Counted first, so that the nodes are allocated once.
size_t mostNodes(std::string_view text) {
    size_t count = 1;
    bool inString = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{' || c == ',' || c == ':') {
            ++count;
        }
    }
    return count;
}

} // namespace

class JsonParser {
public:
    JsonParser(std::string_view text, JsonDocument& document) : text_(text), document_(document) {}

    void document() {
        document_.nodes_.reserve(mostNodes(text_));
        readValue();
        skipBlanks();
        if (at_ != text_.size()) {
            fail("text after the value");
        }
    }

private:
    using Node = JsonDocument::Node;

    [[noreturn]] void fail(const std::string& why) { throw Failure{why + " at byte " + std::to_string(at_)}; }

    void skipBlanks() {
        while (at_ < text_.size() &&
               (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r')) {
            ++at_;
        }
    }

    // Nesting is bounded, so that a crafted text cannot exhaust the stack.
    void enter() {
        if (++depth_ > kMaxDepth) {
            fail("nested deeper than " + std::to_string(kMaxDepth) + " levels");
        }
    }

    void expectWord(std::string_view word) {
        if (text_.substr(at_, word.size()) != word) {
            fail("unknown word");
        }
        at_ += word.size();
    }

    uint32_t addNode(Kind kind) {
        document_.nodes_.push_back(Node{kind, 0, 0});
        return static_cast<uint32_t>(document_.nodes_.size() - 1);
    }

    // Marks the bytes added to the document's buffer since `from` as the node's.
    void setBytes(uint32_t node, size_t from) {
        document_.nodes_[node].at = static_cast<uint32_t>(from);
        document_.nodes_[node].size = static_cast<uint32_t>(document_.bytes_.size() - from);
    }

    void readValue() {
        skipBlanks();
        if (at_ >= text_.size()) {
            fail("missing value");
        }
        switch (text_[at_]) {
        case '{': {
            const uint32_t node = addNode(Kind::Object);
            enter();
            readObject(node);
            --depth_;
            document_.nodes_[node].at = static_cast<uint32_t>(document_.nodes_.size());
            break;
        }
        case '[': {
            const uint32_t node = addNode(Kind::Array);
            enter();
            readArray(node);
            --depth_;
            document_.nodes_[node].at = static_cast<uint32_t>(document_.nodes_.size());
            break;
        }
        case '"':
            readString();
            break;
        case 't':
            expectWord("true");
            document_.nodes_[addNode(Kind::Boolean)].at = 1;
            break;
        case 'f':
            expectWord("false");
            addNode(Kind::Boolean);
            break;
        case 'n':
            expectWord("null");
            addNode(Kind::Null);
            break;
        default:
            readNumber();
        }
    }

    void readObject(uint32_t object) {
        ++at_;
        skipBlanks();
        if (at_ < text_.size() && text_[at_] == '}') {
            ++at_;
            return;
        }
        std::vector<uint32_t> names;
        for (;;) {
            skipBlanks();
            if (at_ >= text_.size() || text_[at_] != '"') {
                fail("a member name must be a string");
            }
            names.push_back(readString());
            skipBlanks();
            if (at_ >= text_.size() || text_[at_] != ':') {
                fail("missing ':'");
            }
            ++at_;
            readValue();
            ++document_.nodes_[object].size;
            skipBlanks();
            if (at_ < text_.size() && text_[at_] == ',') {
                ++at_;
                continue;
            }
            if (at_ < text_.size() && text_[at_] == '}') {
                ++at_;
                checkNamesDiffer(names);
                return;
            }
            fail("missing ',' or '}'");
        }
    }

    void checkNamesDiffer(const std::vector<uint32_t>& names) {
        std::vector<std::string_view> sorted;
        sorted.reserve(names.size());
        for (const uint32_t name : names) {
            const Node& node = document_.nodes_[name];
            sorted.push_back(std::string_view(document_.bytes_).substr(node.at, node.size));
        }
        std::sort(sorted.begin(), sorted.end());
        if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end()) {
            fail("a member name given twice in the object that ends");
        }
    }

    void readArray(uint32_t array) {
        ++at_;
        skipBlanks();
        if (at_ < text_.size() && text_[at_] == ']') {
            ++at_;
            return;
        }
        for (;;) {
            readValue();
            ++document_.nodes_[array].size;
            skipBlanks();
            if (at_ < text_.size() && text_[at_] == ',') {
                ++at_;
                continue;
            }
            if (at_ < text_.size() && text_[at_] == ']') {
                ++at_;
                return;
            }
            fail("missing ',' or ']'");
        }
    }

    void readNumber() {
        const size_t start = at_;
        if (at_ < text_.size() && text_[at_] == '-') {
            ++at_;
        }
        const auto digits = [&] {
            const size_t from = at_;
            while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') {
                ++at_;
            }
            return at_ - from;
        };
        const size_t intStart = at_;
        const size_t intDigits = digits();
        if (intDigits == 0 || (intDigits > 1 && text_[intStart] == '0')) {
            fail("malformed number");
        }
        if (at_ < text_.size() && text_[at_] == '.') {
            ++at_;
            if (digits() == 0) {
                fail("malformed fraction");
            }
        }
        if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
            ++at_;
            if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-')) {
                ++at_;
            }
            if (digits() == 0) {
                fail("malformed exponent");
            }
        }
        // Kept as written: whoever reads it decides what it may be, and nothing is rounded here.
        const uint32_t node = addNode(Kind::Number);
        const size_t from = document_.bytes_.size();
        document_.bytes_.append(text_.substr(start, at_ - start));
        setBytes(node, from);
    }

    unsigned hex4() {
        if (at_ + 4 > text_.size()) {
            fail("short \\u escape");
        }
        unsigned value = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = text_[at_++];
            value <<= 4;
            if (c >= '0' && c <= '9') {
                value |= static_cast<unsigned>(c - '0');
            } else if (c >= 'a' && c <= 'f') {
                value |= static_cast<unsigned>(c - 'a' + 10);
            } else if (c >= 'A' && c <= 'F') {
                value |= static_cast<unsigned>(c - 'A' + 10);
            } else {
                fail("bad \\u escape");
            }
        }
        return value;
    }

    // One raw UTF-8 sequence, checked strictly (no overlong forms, surrogates or values above U+10FFFF).
    void copyUtf8(std::string& out) {
        char32_t ignored = 0;
        const size_t length = platform::decodeUtf8(text_, at_, ignored);
        if (length == 0) {
            fail("bytes that are not UTF-8");
        }
        out.append(text_.substr(at_, length));
        at_ += length;
    }

    // Reads a string into the document's buffer; its node.
    uint32_t readString() {
        ++at_;
        const uint32_t node = addNode(Kind::String);
        const size_t from = document_.bytes_.size();
        std::string& out = document_.bytes_;
        for (;;) {
            if (at_ >= text_.size()) {
                fail("unterminated string");
            }
            const auto c = static_cast<unsigned char>(text_[at_]);
            if (c == '"') {
                ++at_;
                setBytes(node, from);
                return node;
            }
            if (c < 0x20) {
                fail("a raw control character in a string");
            }
            if (c >= 0x80) {
                copyUtf8(out);
                continue;
            }
            ++at_;
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            if (at_ >= text_.size()) {
                fail("unterminated escape");
            }
            const char e = text_[at_++];
            switch (e) {
            case '"':
            case '\\':
            case '/':
                out += e;
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                char32_t cp = hex4();
                if (cp >= 0xDC00 && cp <= 0xDFFF) {
                    fail("a lone low surrogate");
                }
                if (cp >= 0xD800 && cp <= 0xDBFF) {
                    if (text_.substr(at_, 2) != "\\u") {
                        fail("a lone high surrogate");
                    }
                    at_ += 2;
                    const char32_t low = hex4();
                    if (low < 0xDC00 || low > 0xDFFF) {
                        fail("a high surrogate without its low one");
                    }
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                }
                stream::appendUtf8(out, cp);
                break;
            }
            default:
                fail("unknown escape");
            }
        }
    }

    static constexpr int kMaxDepth = 256;
    std::string_view text_;
    JsonDocument& document_;
    size_t at_ = 0;
    int depth_ = 0;
};

std::optional<JsonDocument> parseStrictJson(std::string_view text, std::string* error) {
    try {
        if (text.size() > kMaxJsonTextBytes) {
            throw Failure{"longer than " + std::to_string(kMaxJsonTextBytes) + " bytes"};
        }
        JsonDocument document;
        JsonParser(text, document).document();
        return document;
    } catch (const Failure& failure) {
        if (error) {
            *error = failure.what;
        }
        return std::nullopt;
    }
}

std::optional<std::string> decodeBase64(std::string_view text) {
    if (text.size() % 4 != 0) {
        return std::nullopt;
    }
    const auto digit = [](char c) -> int {
        if (c >= 'A' && c <= 'Z') {
            return c - 'A';
        }
        if (c >= 'a' && c <= 'z') {
            return c - 'a' + 26;
        }
        if (c >= '0' && c <= '9') {
            return c - '0' + 52;
        }
        return c == '+' ? 62 : c == '/' ? 63 : -1;
    };
    std::string out;
    for (size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        const size_t padding = !last || text[i + 3] != '=' ? 0 : text[i + 2] == '=' ? 2 : 1;
        uint32_t word = 0;
        for (size_t k = 0; k < 4; ++k) {
            const int value = k >= 4 - padding ? 0 : digit(text[i + k]);
            if (value < 0) {
                return std::nullopt;
            }
            word = word << 6 | static_cast<uint32_t>(value);
        }
        // Bits past the last byte must be zero: one text for one string of bytes.
        if ((padding == 2 && (word & 0xFFFF) != 0) || (padding == 1 && (word & 0xFF) != 0)) {
            return std::nullopt;
        }
        out += static_cast<char>(word >> 16);
        if (padding < 2) {
            out += static_cast<char>(word >> 8 & 0xFF);
        }
        if (padding < 1) {
            out += static_cast<char>(word & 0xFF);
        }
    }
    return out;
}

} // namespace corvane::cli
