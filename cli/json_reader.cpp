#include "cli/json_reader.h"

#include "platform/utf8.h"
#include "stream/text_codec.h"

#include <cstdlib>
#include <stdexcept>

namespace corvane::cli {

const JsonValue& JsonValue::operator[](const std::string& key) const {
    const auto found = members.find(key);
    if (found == members.end()) {
        throw std::out_of_range("no member " + key);
    }
    return found->second;
}

namespace {

struct Failure {
    std::string what;
};

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    JsonValue document() {
        JsonValue value = readValue();
        skipBlanks();
        if (at_ != text_.size()) {
            fail("text after the value");
        }
        return value;
    }

private:
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

    JsonValue readValue() {
        skipBlanks();
        if (at_ >= text_.size()) {
            fail("missing value");
        }
        JsonValue value;
        switch (text_[at_]) {
        case '{':
            value.kind = JsonValue::Kind::Object;
            enter();
            readObject(value);
            --depth_;
            break;
        case '[':
            value.kind = JsonValue::Kind::Array;
            enter();
            readArray(value);
            --depth_;
            break;
        case '"':
            value.kind = JsonValue::Kind::String;
            value.text = readString();
            break;
        case 't':
            expectWord("true");
            value.kind = JsonValue::Kind::Boolean;
            value.boolean = true;
            break;
        case 'f':
            expectWord("false");
            value.kind = JsonValue::Kind::Boolean;
            break;
        case 'n':
            expectWord("null");
            break;
        default:
            value.kind = JsonValue::Kind::Number;
            value.number = readNumber();
        }
        return value;
    }

    void readObject(JsonValue& value) {
        ++at_;
        skipBlanks();
        if (at_ < text_.size() && text_[at_] == '}') {
            ++at_;
            return;
        }
        for (;;) {
            skipBlanks();
            if (at_ >= text_.size() || text_[at_] != '"') {
                fail("a member name must be a string");
            }
            std::string key = readString();
            skipBlanks();
            if (at_ >= text_.size() || text_[at_] != ':') {
                fail("missing ':'");
            }
            ++at_;
            if (!value.members.emplace(std::move(key), readValue()).second) {
                fail("a member name given twice");
            }
            skipBlanks();
            if (at_ < text_.size() && text_[at_] == ',') {
                ++at_;
                continue;
            }
            if (at_ < text_.size() && text_[at_] == '}') {
                ++at_;
                return;
            }
            fail("missing ',' or '}'");
        }
    }

    void readArray(JsonValue& value) {
        ++at_;
        skipBlanks();
        if (at_ < text_.size() && text_[at_] == ']') {
            ++at_;
            return;
        }
        for (;;) {
            value.items.push_back(readValue());
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

    double readNumber() {
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
        // Out of range gives an infinity or zero, never an exception.
        return std::strtod(std::string(text_.substr(start, at_ - start)).c_str(), nullptr);
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

    std::string readString() {
        ++at_;
        std::string out;
        for (;;) {
            if (at_ >= text_.size()) {
                fail("unterminated string");
            }
            const auto c = static_cast<unsigned char>(text_[at_]);
            if (c == '"') {
                ++at_;
                return out;
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
    size_t at_ = 0;
    int depth_ = 0;
};

} // namespace

std::optional<JsonValue> parseStrictJson(std::string_view text, std::string* error) {
    try {
        return Reader(text).document();
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
