// Document -> text form. Each value is printed in its plainest spelling when that spelling compiles
// back to the same tag and payload, else with its tag named.

#include "stream/block_text.h"
#include "stream/error.h"
#include "stream/extended_float.h"
#include "stream/messages.h"
#include "stream/text_codec.h"
#include "stream/text_form.h"
#include "stream/text_literals.h"
#include "stream/value_rules.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>

namespace corvane::stream {

using namespace textform;

namespace {

constexpr size_t kHexBytesPerLine = 32;

std::string indent(int level) {
    return std::string(2 * static_cast<size_t>(level), ' ');
}

std::string integerLiteral(ValueTag tag, int64_t value) {
    const std::string digits = std::to_string(value);
    return integerTagFor(value) == tag ? digits : std::string(valueTagName(tag)) + "(" + digits + ")";
}

std::string textValueLiteral(const Value& value) {
    const std::string program = value.tag == ValueTag::WideText ? utf16ToUtf8(value.wide) : value.text;
    const bool plain = textTagFor(program) == value.tag &&
                       (value.tag != ValueTag::WideText || utf8ToUtf16(program) == value.wide);
    if (plain) {
        return narrowLiteral(program);
    }
    const std::string inner =
        value.tag == ValueTag::WideText ? wideLiteral(value.wide) : narrowLiteral(value.text);
    return std::string(valueTagName(value.tag)) + "(" + inner + ")";
}

std::string rawFloat(const Value& value) {
    return std::string(valueTagName(value.tag)) + "({" + hexBytes(value.bytes) + "})";
}

std::string floatLiteral(const Value& value) {
    const std::string tagName(valueTagName(value.tag));
    if (value.tag == ValueTag::Extended) {
        ExtendedBytes raw;
        std::memcpy(raw.data(), value.bytes.data(), raw.size());
        const double number = extendedToDouble(raw);
        if (!std::isfinite(number) || doubleToExtended(number) != raw) {
            return rawFloat(value);
        }
        return formatDouble(number); // the writer's tag for a float
    }
    if (value.tag == ValueTag::Single) {
        uint32_t bits = 0;
        std::memcpy(&bits, value.bytes.data(), 4);
        const float number = std::bit_cast<float>(bits);
        if (!std::isfinite(number)) {
            return rawFloat(value);
        }
        // The parser reads the decimal as a double and rounds it to a float: make sure that lands here.
        const std::string text = formatFloat(number);
        double parsed = 0;
        std::from_chars(text.data(), text.data() + text.size(), parsed);
        return std::bit_cast<uint32_t>(static_cast<float>(parsed)) == bits ? tagName + "(" + text + ")"
                                                                           : rawFloat(value);
    }
    uint64_t bits = 0;
    std::memcpy(&bits, value.bytes.data(), 8);
    const double number = std::bit_cast<double>(bits);
    return std::isfinite(number) ? tagName + "(" + formatDouble(number) + ")" : rawFloat(value);
}

class Printer {
public:
    explicit Printer(const TextFormOptions& options) : options_(options) {}

    void record(const Record& r, int level) {
        std::string head = indent(level);
        const int flags = r.flags.value_or(0);
        const int positionFlag = r.position ? kFlagChildPosition : 0;
        const int rest = flags & ~kFlagChildPosition;
        bool explicitFlags = r.flags.has_value();
        if (!r.flags) {
            head += "object";
        } else if (rest == kFlagInherited) {
            head += "inherited";
            explicitFlags = false;
        } else if (rest == kFlagInline) {
            head += "inline";
            explicitFlags = false;
        } else {
            head += "object";
            explicitFlags = rest != 0 || positionFlag == 0;
        }
        if ((flags & kFlagChildPosition) != positionFlag) {
            explicitFlags = true;
        }
        // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) about "literal" + std::string.
        head += ' ';
        if (!r.objectName.empty()) {
            head += nameLiteral(r.objectName, false);
        }
        head += ": ";
        head += nameLiteral(r.className, false);
        if (r.position) {
            head += " [";
            head += integerLiteral(r.position->tag, r.position->value);
            head += ']';
        }
        if (explicitFlags) {
            head += " flags ";
            head += std::to_string(flags);
        }
        line(head);
        for (const Entry& e : r.entries) {
            entry(e, level + 1, &r);
        }
        for (const Record& child : r.children) {
            record(child, level + 1);
        }
        line(indent(level) + "end");
    }

    std::string take() { return std::move(out_); }

private:
    void line(const std::string& text) {
        out_ += text;
        out_ += '\n';
    }

    void entry(const Entry& e, int level, const Record* owner) {
        std::string start = indent(level) + nameLiteral(e.name, true) + " = ";
        value(e.value, level, std::move(start));
        if (owner && options_.describeBlocks) {
            std::optional<std::vector<std::string>> lines;
            try {
                lines = describeBlock(*owner, e);
            } catch (const Error& error) {
                const std::string& label = owner->objectName.empty() ? owner->className : owner->objectName;
                throw Error(formatMessage(kErrorReading, {label, ".", e.name, error.what()}));
            }
            if (lines) {
                for (const std::string& text : *lines) {
                    line(indent(level) + "// " + text);
                }
            }
        }
    }

    // Prints `v`, the first line starting with `start`.
    void value(const Value& v, int level, std::string start) {
        switch (v.tag) {
        case ValueTag::Null:
            line(start + "Null");
            return;
        case ValueTag::False:
            line(start + "False");
            return;
        case ValueTag::True:
            line(start + "True");
            return;
        case ValueTag::Nil:
            line(start + "nil");
            return;
        case ValueTag::Int8:
        case ValueTag::Int16:
        case ValueTag::Int32:
        case ValueTag::Int64:
            line(start + integerLiteral(v.tag, v.integer));
            return;
        case ValueTag::Currency:
            line(start + "Currency(" + formatCurrency(v.integer) + ")");
            return;
        case ValueTag::Extended:
        case ValueTag::Single:
        case ValueTag::Double:
        case ValueTag::DateTime:
            line(start + floatLiteral(v));
            return;
        case ValueTag::ShortText:
        case ValueTag::LongText:
        case ValueTag::Utf8Text:
        case ValueTag::WideText:
            line(start + textValueLiteral(v));
            return;
        case ValueTag::Identifier:
            if (!bareTagForIdentifier(v.text) && isBareName(v.text, true)) {
                line(start + v.text);
            } else {
                line(start + "Identifier(" + nameLiteral(v.text, true) + ")");
            }
            return;
        case ValueTag::Set: {
            std::string text = start + "[";
            for (size_t i = 0; i < v.names.size(); ++i) {
                text += (i ? ", " : "") + nameLiteral(v.names[i], false);
            }
            line(text + "]");
            return;
        }
        case ValueTag::Bytes:
            bytes(v.bytes, level, std::move(start));
            return;
        case ValueTag::List:
            if (v.list.empty()) {
                line(start + "()");
                return;
            }
            line(start + "(");
            for (const Value& element : v.list) {
                value(element, level + 1, indent(level + 1));
            }
            line(indent(level) + ")");
            return;
        case ValueTag::Collection:
            if (v.items.empty()) {
                line(start + "<>");
                return;
            }
            line(start + "<");
            for (const CollectionItem& item : v.items) {
                std::string head = indent(level + 1) + "item";
                if (item.index) {
                    head += ' ';
                    head += integerLiteral(item.index->tag, item.index->value);
                }
                line(head);
                for (const Entry& e : item.entries) {
                    entry(e, level + 2, nullptr);
                }
                line(indent(level + 1) + "end");
            }
            line(indent(level) + ">");
            return;
        default:
            throw Error(std::string(kInvalidPropertyValue));
        }
    }

    void bytes(const std::vector<uint8_t>& data, int level, std::string start) {
        if (data.size() <= kHexBytesPerLine) {
            line(start + "{" + hexBytes(data) + "}");
            return;
        }
        line(start + "{");
        for (size_t i = 0; i < data.size(); i += kHexBytesPerLine) {
            const size_t count = std::min(kHexBytesPerLine, data.size() - i);
            line(indent(level + 1) + hexBytes(std::span(data).subspan(i, count)));
        }
        line(indent(level) + "}");
    }

    const TextFormOptions& options_;
    std::string out_;
};

} // namespace

std::string documentToText(const Document& document, const TextFormOptions& options) {
    Printer printer(options);
    printer.record(document.root, 0);
    return printer.take();
}

std::string streamToText(std::span<const uint8_t> bytes, const TextFormOptions& options) {
    return documentToText(parseDocument(bytes), options);
}

} // namespace corvane::stream
