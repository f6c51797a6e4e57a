// Text form -> Document. Plain spellings take the writer's rules; named tags are kept as written.

#include "stream/extended_float.h"
#include "stream/text_codec.h"
#include "stream/text_form.h"
#include "stream/text_form_tokenizer.h"
#include "stream/text_literals.h"
#include "stream/value_rules.h"

#include <bit>
#include <charconv>
#include <cstring>
#include <limits>

namespace corvane::stream {

using namespace textform;

namespace {

class Parser {
public:
    explicit Parser(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

    Document document() {
        Document document;
        const Token& head = next();
        if (!isRecordKeyword(head)) {
            fail(head, "the text must start with 'object Name: Class'");
        }
        document.root = record(head, 0);
        if (peek().kind != TokenKind::End) {
            fail(peek(), "nothing may follow the 'end' of the root object");
        }
        return document;
    }

private:
    [[noreturn]] static void fail(const Token& at, const std::string& reason) {
        throw TextFormError(at.line, reason);
    }

    const Token& peek(size_t ahead = 0) const {
        return tokens_[std::min(index_ + ahead, tokens_.size() - 1)];
    }
    const Token& next() {
        const Token& token = peek();
        if (index_ < tokens_.size() - 1) {
            ++index_;
        }
        return token;
    }
    static bool isPunct(const Token& t, char c) { return t.kind == TokenKind::Punct && t.text[0] == c; }
    static bool isWord(const Token& t, std::string_view w) {
        return t.kind == TokenKind::Word && t.text == w;
    }
    static bool isRecordKeyword(const Token& t) {
        return isWord(t, "object") || isWord(t, "inherited") || isWord(t, "inline");
    }
    void expect(char c, const char* what) {
        const Token& token = next();
        if (!isPunct(token, c)) {
            fail(token, std::string("expected ") + what);
        }
    }
    void checkDepth(const Token& at, int depth) {
        if (depth > kMaxNesting) {
            fail(at, "nested more than " + std::to_string(kMaxNesting) + " levels deep");
        }
    }

    Record record(const Token& keyword, int depth) {
        checkDepth(keyword, depth);
        Record r;
        if (!isPunct(peek(), ':')) {
            r.objectName = name("the object's name");
        }
        expect(':', "':' between the object's name and its class");
        r.className = name("the class name");
        if (isPunct(peek(), '[')) {
            next();
            r.position = itemIndex("a child position");
            expect(']', "']' after the child position");
        }
        std::optional<uint8_t> flags;
        if (isWord(peek(), "flags") && peek(1).kind == TokenKind::Number) {
            const Token& at = next();
            const Token& number = next();
            int64_t value = -1;
            if (number.kind == TokenKind::Number) {
                std::from_chars(number.text.data(), number.text.data() + number.text.size(), value);
            }
            if (value < 0 || value > 15) {
                fail(at, "flags takes a number from 0 to 15");
            }
            flags = static_cast<uint8_t>(value);
        }
        if (flags) {
            if (((*flags & kFlagChildPosition) != 0) != r.position.has_value()) {
                fail(keyword, "flag 2 and a [child position] go together");
            }
            r.flags = flags;
        } else {
            uint8_t implied = r.position ? kFlagChildPosition : 0;
            implied |= isWord(keyword, "inherited") ? kFlagInherited : 0;
            implied |= isWord(keyword, "inline") ? kFlagInline : 0;
            if (implied != 0) {
                r.flags = implied;
            }
        }
        if (!r.flags && r.className.size() >= kPrefixMarker) {
            fail(keyword, "a class name holds at most 239 bytes (255 with a prefix such as flags 0)");
        }
        if (depth > 0 && !r.flags && r.className.empty()) {
            fail(keyword, "a child object needs a class name");
        }
        while (true) {
            const Token& token = peek();
            if (token.kind == TokenKind::End) {
                fail(keyword, "object '" + r.objectName + "' has no 'end'");
            }
            const bool followedByEquals = isPunct(peek(1), '=');
            if (isWord(token, "end") && !followedByEquals) {
                next();
                return r;
            }
            if (isRecordKeyword(token) && !followedByEquals) {
                r.children.push_back(record(next(), depth + 1));
                continue;
            }
            if (!r.children.empty()) {
                fail(token, "property entries must come before the child objects");
            }
            r.entries.push_back(entry(depth));
        }
    }

    Entry entry(int depth) {
        Entry e;
        e.name = name("a property name or 'end'");
        expect('=', "'=' after the property name");
        e.value = value(depth);
        return e;
    }

    // A name: bare, or quoted for any other bytes.
    std::string name(const char* what) {
        const Token& token = next();
        std::string text;
        if (token.kind == TokenKind::Word) {
            text = token.text;
        } else if (token.kind == TokenKind::Text) {
            text = narrow(token);
        } else {
            fail(token, std::string("expected ") + what);
        }
        if (text.size() > 255) {
            fail(token, "a name holds at most 255 bytes");
        }
        return text;
    }

    static std::string narrow(const Token& token) {
        std::string out;
        for (const TextPiece& piece : token.pieces) {
            if (!piece.escape) {
                out += piece.quoted;
            } else if (piece.code > 0xFF) {
                fail(token, "in 8-bit text a # escape is a byte, at most 255");
            } else {
                out += static_cast<char>(piece.code);
            }
        }
        return out;
    }

    static std::u16string wide(const Token& token) {
        std::u16string out;
        for (const TextPiece& piece : token.pieces) {
            if (piece.escape) {
                out += static_cast<char16_t>(piece.code);
            } else {
                out += utf8ToUtf16(piece.quoted);
            }
        }
        return out;
    }

    static int64_t integer(const Token& token) {
        int64_t value = 0;
        const char* end = token.text.data() + token.text.size();
        const auto result = std::from_chars(token.text.data(), end, value);
        if (token.kind != TokenKind::Number || result.ec != std::errc() || result.ptr != end) {
            fail(token, "expected a whole number from -9223372036854775808 to 9223372036854775807");
        }
        return value;
    }

    static double floating(const Token& token) {
        double value = 0;
        const char* end = token.text.data() + token.text.size();
        const auto result = std::from_chars(token.text.data(), end, value);
        if (token.kind != TokenKind::Number || result.ec != std::errc() || result.ptr != end) {
            fail(token, "expected a number such as 1.5 or -2e10 within the range of a double");
        }
        return value;
    }

    static bool isFloatText(const std::string& text) {
        return text.find_first_of(".eE") != std::string::npos;
    }

    std::optional<ItemIndex> itemIndex(const char* what) {
        const Token& token = peek();
        if (token.kind != TokenKind::Number && !(token.kind == TokenKind::Word && isPunct(peek(1), '(') &&
                                                 peek(1).glued && token.text.starts_with("Int"))) {
            return std::nullopt;
        }
        const Value v = value(0);
        if (!isIntegerTag(v.tag)) {
            fail(token, std::string(what) + " is a whole number from -2147483648 to 2147483647");
        }
        return ItemIndex{v.tag, v.integer};
    }

    Value value(int depth) {
        const Token& token = next();
        checkDepth(token, depth);
        Value v;
        switch (token.kind) {
        case TokenKind::Number:
            if (isFloatText(token.text)) {
                v.tag = ValueTag::Extended;
                const ExtendedBytes raw = doubleToExtended(floating(token));
                v.bytes.assign(raw.begin(), raw.end());
            } else {
                v.integer = integer(token);
                v.tag = integerTagFor(v.integer);
            }
            return v;
        case TokenKind::Text: {
            const std::string text = narrow(token);
            v.tag = textTagFor(text);
            if (v.tag == ValueTag::WideText) {
                v.wide = utf8ToUtf16(text);
            } else {
                v.text = text;
            }
            return v;
        }
        case TokenKind::Hex:
            v.tag = ValueTag::Bytes;
            v.bytes = token.bytes;
            return v;
        case TokenKind::Word:
            if (isPunct(peek(), '(') && peek().glued) {
                next();
                v = typed(token);
                expect(')', "')' to close the value");
                return v;
            }
            if (token.text.size() > 255) {
                fail(token, "an identifier holds at most 255 bytes");
            }
            if (const auto bare = bareTagForIdentifier(token.text)) {
                v.tag = *bare;
            } else {
                v.tag = ValueTag::Identifier;
                v.text = token.text;
            }
            return v;
        case TokenKind::Punct:
            break;
        case TokenKind::End:
            fail(token, "a value is missing");
        }
        switch (token.text[0]) {
        case '[':
            v.tag = ValueTag::Set;
            if (isPunct(peek(), ']')) {
                next();
                return v;
            }
            while (true) {
                const Token& at = peek();
                v.names.push_back(name("a set member"));
                if (v.names.back().empty()) {
                    fail(at, "a set member needs a name");
                }
                const Token& separator = next();
                if (isPunct(separator, ']')) {
                    return v;
                }
                if (!isPunct(separator, ',')) {
                    fail(separator, "expected ',' or ']' in the set");
                }
            }
        case '(':
            v.tag = ValueTag::List;
            while (!isPunct(peek(), ')')) {
                const Token& at = peek();
                Value element = value(depth + 1);
                if (element.tag == ValueTag::Null) {
                    fail(at, "Null cannot be an element of a list: it would end the list");
                }
                v.list.push_back(std::move(element));
            }
            next();
            return v;
        case '<':
            v.tag = ValueTag::Collection;
            while (!isPunct(peek(), '>')) {
                const Token& head = next();
                if (!isWord(head, "item")) {
                    fail(head, "expected 'item' or '>' in the collection");
                }
                checkDepth(head, depth + 1);
                CollectionItem item;
                item.index = itemIndex("an item index");
                while (!(isWord(peek(), "end") && !isPunct(peek(1), '='))) {
                    if (peek().kind == TokenKind::End) {
                        fail(head, "item without its 'end'");
                    }
                    item.entries.push_back(entry(depth + 1));
                }
                next();
                v.items.push_back(std::move(item));
            }
            next();
            return v;
        default:
            fail(token, "expected a value");
        }
    }

    Value typed(const Token& kind) {
        Value v;
        const std::string& k = kind.text;
        if (k == "Identifier") {
            v.tag = ValueTag::Identifier;
            v.text = name("an identifier");
            return v;
        }
        const Token& arg = next();
        const auto integerIn = [&](ValueTag tag, int64_t low, int64_t high) {
            v.tag = tag;
            v.integer = integer(arg);
            if (v.integer < low || v.integer > high) {
                fail(arg, k + " holds " + std::to_string(low) + " to " + std::to_string(high));
            }
        };
        const auto rawOr = [&](ValueTag tag, size_t size, auto convert) {
            v.tag = tag;
            if (arg.kind == TokenKind::Hex) {
                if (arg.bytes.size() != size) {
                    fail(arg, k + " holds " + std::to_string(size) + " bytes");
                }
                v.bytes = arg.bytes;
            } else {
                v.bytes = convert(floating(arg));
            }
        };
        if (k == "Int8") {
            integerIn(ValueTag::Int8, INT8_MIN, INT8_MAX);
        } else if (k == "Int16") {
            integerIn(ValueTag::Int16, INT16_MIN, INT16_MAX);
        } else if (k == "Int32") {
            integerIn(ValueTag::Int32, INT32_MIN, INT32_MAX);
        } else if (k == "Int64") {
            integerIn(ValueTag::Int64, INT64_MIN, INT64_MAX);
        } else if (k == "ShortText" || k == "LongText" || k == "Utf8Text" || k == "WideText") {
            if (arg.kind != TokenKind::Text) {
                fail(arg, k + " takes a quoted text");
            }
            if (k == "WideText") {
                v.tag = ValueTag::WideText;
                v.wide = wide(arg);
            } else {
                v.tag = k == "ShortText" ? ValueTag::ShortText
                                         : (k == "LongText" ? ValueTag::LongText : ValueTag::Utf8Text);
                v.text = narrow(arg);
                if (v.tag == ValueTag::ShortText && v.text.size() > 255) {
                    fail(arg, "ShortText holds at most 255 bytes");
                }
            }
        } else if (k == "Extended") {
            rawOr(ValueTag::Extended, 10, [](double d) {
                const ExtendedBytes raw = doubleToExtended(d);
                return std::vector<uint8_t>(raw.begin(), raw.end());
            });
        } else if (k == "Single") {
            rawOr(ValueTag::Single, 4, [](double d) {
                const auto bits = std::bit_cast<uint32_t>(static_cast<float>(d));
                return std::vector<uint8_t>{static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8),
                                            static_cast<uint8_t>(bits >> 16),
                                            static_cast<uint8_t>(bits >> 24)};
            });
        } else if (k == "Double" || k == "DateTime") {
            rawOr(k == "Double" ? ValueTag::Double : ValueTag::DateTime, 8, [](double d) {
                const auto bits = std::bit_cast<uint64_t>(d);
                std::vector<uint8_t> out(8);
                for (int i = 0; i < 8; ++i) {
                    out[i] = static_cast<uint8_t>(bits >> (8 * i));
                }
                return out;
            });
        } else if (k == "Currency") {
            const std::optional<int64_t> stored =
                arg.kind == TokenKind::Number ? parseCurrency(arg.text) : std::nullopt;
            if (!stored) {
                fail(arg, "Currency takes a decimal with at most 4 places");
            }
            v.tag = ValueTag::Currency;
            v.integer = *stored;
        } else {
            fail(kind, "unknown value kind '" + k + "'");
        }
        return v;
    }

    std::vector<Token> tokens_;
    size_t index_ = 0;
};

} // namespace

Document textToDocument(std::string_view text) {
    return Parser(tokenize(text)).document();
}

std::vector<uint8_t> textToStream(std::string_view text) {
    return encodeDocument(textToDocument(text));
}

} // namespace corvane::stream
