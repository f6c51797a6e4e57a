// Document -> text form. Each value is printed in its plainest spelling when that spelling compiles
// back to the same tag and payload, else with its tag named.

#include "stream/block_text.h"
#include "stream/error.h"
#include "stream/extended_float.h"
#include "stream/messages.h"
#include "stream/stream_reader.h"
#include "stream/stream_walk.h"
#include "stream/text_codec.h"
#include "stream/text_form.h"
#include "stream/text_literals.h"
#include "stream/value_rules.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>

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

// Prints the parts of a stream as they are read. Text is collected in a buffer that is handed on
// whenever it has grown past kFlushBytes, so memory stays small however long the text gets.
class Printer final : public StreamVisitor {
public:
    Printer(const TextFormOptions& options, const TextOut& write) : options_(options), write_(write) {}

    void recordBegins(const RecordHead& r) override {
        const int level = frames_.empty() ? 0 : frames_.back().level + 1;
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
        frames_.push_back({.kind = FrameKind::Record, .level = level, .className = r.className});
    }

    void recordEnds() override { line(indent(pop().level) + "end"); }

    void entryBegins(const std::string& name) override {
        const Frame& owner = frames_.back();
        entry_ = Slot{.start = indent(owner.level + 1) + nameLiteral(name, true) + " = ",
                      .level = owner.level + 1,
                      .ofRecord = owner.kind == FrameKind::Record,
                      .entryName = name};
    }

    void plainValue(Value v) override {
        const Slot slot = takeSlot();
        value(v, slot.level, slot.start);
        // The record is still the innermost frame: a plain value opens none.
        if (slot.ofRecord && v.tag == ValueTag::Bytes && options_.describeBlocks) {
            describeBlock(frames_.back().className, slot.entryName, v.bytes, indent(slot.level) + "// ",
                          [this](std::string_view text) { put(text); });
        }
    }

    void listBegins() override { openLater(FrameKind::List); }
    void listEnds() override { close("()", ")"); }

    void setBegins() override {
        put(takeSlot().start + "[");
        frames_.push_back({.kind = FrameKind::Set});
    }
    void setMember(const std::string& name) override {
        Frame& set = frames_.back();
        if (set.opened) {
            put(", ");
        }
        set.opened = true;
        put(nameLiteral(name, false));
    }
    void setEnds() override {
        pop();
        put("]\n");
    }

    void collectionBegins() override { openLater(FrameKind::Collection); }
    void itemBegins(const std::optional<ItemIndex>& index) override {
        const int level = openFrame().level + 1;
        std::string head = indent(level) + "item";
        if (index) {
            head += ' ';
            head += integerLiteral(index->tag, index->value);
        }
        line(head);
        frames_.push_back({.kind = FrameKind::Item, .level = level});
    }
    void itemEnds() override { line(indent(pop().level) + "end"); }
    void collectionEnds() override { close("<>", ">"); }

    // Hands on what is left.
    void finish() {
        if (!out_.empty()) {
            write_(out_);
            out_.clear();
        }
    }

private:
    static constexpr size_t kFlushBytes = size_t{1} << 16;

    enum class FrameKind { Record, Item, List, Set, Collection };
    struct Frame {
        FrameKind kind = FrameKind::Record;
        int level = 0; // a record's or item's own line, a list's or collection's first line
        std::string className{};
        std::string start{}; // a list's or collection's first line up to its opening bracket
        bool opened = false; // the opening line is printed (a set: a member is printed)
    };
    // Where a value is printed: its first line begins with `start`, further lines at `level`.
    struct Slot {
        std::string start;
        int level = 0;
        bool ofRecord = false; // the value of an entry of a record (not of a collection item)
        std::string entryName{};
    };

    void put(std::string_view text) {
        out_ += text;
        if (out_.size() >= kFlushBytes) {
            write_(out_);
            out_.clear();
        }
    }
    void line(std::string_view text) {
        put(text);
        put("\n");
    }

    Frame pop() {
        Frame frame = std::move(frames_.back());
        frames_.pop_back();
        return frame;
    }

    // The entry's value, else the next element of the list being read.
    Slot takeSlot() {
        if (entry_) {
            Slot slot = std::move(*entry_);
            entry_.reset();
            return slot;
        }
        const int level = openFrame().level + 1;
        return Slot{.start = indent(level), .level = level};
    }

    // A list or collection prints "(" or "<" only when its first element comes; "()" or "<>" when none
    // does.
    void openLater(FrameKind kind) {
        Slot slot = takeSlot();
        frames_.push_back({.kind = kind, .level = slot.level, .start = std::move(slot.start)});
    }
    Frame& openFrame() {
        Frame& frame = frames_.back();
        if (!frame.opened) {
            line(frame.start + (frame.kind == FrameKind::List ? "(" : "<"));
            frame.opened = true;
        }
        return frame;
    }
    void close(std::string_view empty, std::string_view end) {
        const Frame frame = pop();
        if (frame.opened) {
            line(indent(frame.level) + std::string(end));
        } else {
            line(frame.start + std::string(empty));
        }
    }

    // A value that has no parts, its first line begun with `start`.
    void value(const Value& v, int level, const std::string& start) {
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
        case ValueTag::Bytes:
            bytes(v.bytes, level, start);
            return;
        default:
            throw Error(std::string(kInvalidPropertyValue));
        }
    }

    void bytes(const std::vector<uint8_t>& data, int level, const std::string& start) {
        if (data.size() <= kHexBytesPerLine) {
            line(start + "{" + hexBytes(data) + "}");
            return;
        }
        line(start + "{");
        const std::string lineStart = indent(level + 1);
        for (size_t i = 0; i < data.size(); i += kHexBytesPerLine) {
            const size_t count = std::min(kHexBytesPerLine, data.size() - i);
            put(lineStart);
            line(hexBytes(std::span(data).subspan(i, count)));
        }
        line(indent(level) + "}");
    }

    const TextFormOptions& options_;
    const TextOut& write_;
    std::string out_;
    std::vector<Frame> frames_;
    std::optional<Slot> entry_;
};

} // namespace

void printStream(InputStream& in, const TextFormOptions& options, const TextOut& write) {
    StreamReader reader(in);
    Printer printer(options, write);
    try {
        walkStream(reader, printer);
    } catch (...) {
        printer.finish(); // the text up to the fault, as promised
        throw;
    }
    printer.finish();
}

std::string streamToText(std::span<const uint8_t> bytes, const TextFormOptions& options) {
    std::string text;
    MemoryInputStream in(bytes);
    printStream(in, options, [&text](std::string_view piece) { text += piece; });
    return text;
}

} // namespace corvane::stream
