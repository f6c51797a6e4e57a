#include "stream/stream_walk.h"

#include "stream/error.h"
#include "stream/messages.h"

namespace corvane::stream {

namespace {

class Walker {
public:
    Walker(StreamReader& in, StreamVisitor& visitor) : in_(in), visitor_(visitor) {}

    void record(int depth) {
        checkNesting(depth);
        RecordHead head;
        if (in_.peekByte() >= kPrefixMarker) {
            const uint8_t flags = in_.readByte() & 0x0F;
            head.flags = flags;
            if (flags & kFlagChildPosition) {
                head.position = index(in_.readTag());
            }
        }
        head.className = in_.readName();
        head.objectName = in_.readName();
        visitor_.recordBegins(head);
        const std::string& label = head.objectName.empty() ? head.className : head.objectName;
        while (in_.peekByte() != 0) {
            recordEntry(label, depth);
        }
        in_.readByte();
        while (in_.peekByte() != 0) {
            record(depth + 1);
        }
        in_.readByte();
        visitor_.recordEnds();
    }

private:
    ItemIndex index(ValueTag tag) {
        if (!isIntegerTag(tag)) {
            fail(kInvalidPropertyValue);
        }
        return ItemIndex{tag, in_.readIntegerPayload(tag)};
    }

    void recordEntry(const std::string& label, int depth) {
        const std::string name = in_.readName();
        try {
            visitor_.entryBegins(name);
            value(in_.readTag(), depth);
        } catch (const Error& error) {
            throw Error(
                formatMessage(kErrorReading, {printableName(label), ".", printableName(name), error.what()}));
        }
    }

    void value(ValueTag tag, int depth) {
        checkNesting(depth);
        switch (tag) {
        case ValueTag::List:
            visitor_.listBegins();
            while (in_.peekByte() != 0) {
                value(in_.readTag(), depth + 1);
            }
            in_.readByte();
            visitor_.listEnds();
            return;
        case ValueTag::Set:
            visitor_.setBegins();
            while (true) {
                const std::string name = in_.readName();
                if (name.empty()) {
                    break;
                }
                visitor_.setMember(name);
            }
            visitor_.setEnds();
            return;
        case ValueTag::Collection:
            visitor_.collectionBegins();
            while (in_.peekByte() != 0) {
                item(depth + 1);
            }
            in_.readByte();
            visitor_.collectionEnds();
            return;
        default:
            visitor_.plainValue(plainValue(tag));
            return;
        }
    }

    Value plainValue(ValueTag tag) {
        Value value;
        value.tag = tag;
        switch (tag) {
        case ValueTag::Null:
        case ValueTag::False:
        case ValueTag::True:
        case ValueTag::Nil:
            break;
        case ValueTag::Int8:
        case ValueTag::Int16:
        case ValueTag::Int32:
        case ValueTag::Int64:
            value.integer = in_.readIntegerPayload(tag);
            break;
        case ValueTag::Currency:
            value.integer = in_.readInt64();
            break;
        case ValueTag::Extended:
            value.bytes = in_.readBytes(10);
            break;
        case ValueTag::Single:
            value.bytes = in_.readBytes(4);
            break;
        case ValueTag::Double:
        case ValueTag::DateTime:
            value.bytes = in_.readBytes(8);
            break;
        case ValueTag::ShortText:
            value.text = in_.readString(in_.readByte());
            break;
        case ValueTag::LongText:
        case ValueTag::Utf8Text:
            value.text = in_.readString(in_.readLength());
            break;
        case ValueTag::WideText:
            value.wide = in_.readWide(in_.readLength());
            break;
        case ValueTag::Identifier:
            value.text = in_.readName();
            break;
        case ValueTag::Bytes:
            value.bytes = in_.readBytes(in_.readLength());
            break;
        default:
            fail(kInvalidPropertyValue);
        }
        return value;
    }

    void item(int depth) {
        checkNesting(depth);
        ValueTag tag = in_.readTag();
        std::optional<ItemIndex> itemIndex;
        if (isIntegerTag(tag)) {
            itemIndex = index(tag);
            tag = in_.readTag();
        }
        if (tag != ValueTag::List) {
            fail(kInvalidPropertyValue);
        }
        visitor_.itemBegins(itemIndex);
        while (in_.peekByte() != 0) {
            visitor_.entryBegins(in_.readName());
            value(in_.readTag(), depth + 1);
        }
        in_.readByte();
        visitor_.itemEnds();
    }

    StreamReader& in_;
    StreamVisitor& visitor_;
};

} // namespace

void walkStream(StreamReader& reader, StreamVisitor& visitor) {
    reader.readSignature();
    Walker(reader, visitor).record(0);
}

} // namespace corvane::stream
