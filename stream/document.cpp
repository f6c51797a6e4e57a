#include "stream/document.h"

#include "stream/error.h"
#include "stream/messages.h"
#include "stream/stream_reader.h"
#include "stream/stream_writer.h"

namespace corvane::stream {

namespace {

[[noreturn]] void fail(std::string_view message) {
    throw Error(std::string(message));
}

class DocumentParser {
public:
    explicit DocumentParser(StreamReader& reader) : in_(reader) {}

    Record readRecord(int depth) {
        if (depth > kMaxNesting) {
            fail(kInvalidStreamFormat);
        }
        Record record;
        if (in_.peekByte() >= kPrefixMarker) {
            const uint8_t flags = in_.readByte() & 0x0F;
            record.flags = flags;
            if (flags & kFlagChildPosition) {
                record.position = readIndex(in_.readTag());
            }
        }
        record.className = in_.readName();
        record.objectName = in_.readName();
        const std::string& label = record.objectName.empty() ? record.className : record.objectName;
        while (in_.peekByte() != 0) {
            record.entries.push_back(readEntry(label, depth));
        }
        in_.readByte();
        while (in_.peekByte() != 0) {
            record.children.push_back(readRecord(depth + 1));
        }
        in_.readByte();
        return record;
    }

private:
    ItemIndex readIndex(ValueTag tag) {
        if (!isIntegerTag(tag)) {
            fail(kInvalidPropertyValue);
        }
        return ItemIndex{tag, in_.readIntegerPayload(tag)};
    }

    Entry readEntry(const std::string& label, int depth) {
        Entry entry;
        entry.name = in_.readName();
        try {
            entry.value = readValue(in_.readTag(), depth);
        } catch (const Error& error) {
            throw Error(formatMessage(kErrorReading, {label, ".", entry.name, error.what()}));
        }
        return entry;
    }

    Value readValue(ValueTag tag, int depth) {
        if (depth > kMaxNesting) {
            fail(kInvalidStreamFormat);
        }
        Value value;
        value.tag = tag;
        switch (tag) {
        case ValueTag::Null:
        case ValueTag::False:
        case ValueTag::True:
        case ValueTag::Nil:
            break;
        case ValueTag::List:
            while (in_.peekByte() != 0) {
                value.list.push_back(readValue(in_.readTag(), depth + 1));
            }
            in_.readByte();
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
        case ValueTag::Set:
            while (true) {
                std::string name = in_.readName();
                if (name.empty()) {
                    break;
                }
                value.names.push_back(std::move(name));
            }
            break;
        case ValueTag::Collection:
            while (in_.peekByte() != 0) {
                value.items.push_back(readItem(depth + 1));
            }
            in_.readByte();
            break;
        default:
            fail(kInvalidPropertyValue);
        }
        return value;
    }

    CollectionItem readItem(int depth) {
        if (depth > kMaxNesting) {
            fail(kInvalidStreamFormat);
        }
        CollectionItem item;
        ValueTag tag = in_.readTag();
        if (isIntegerTag(tag)) {
            item.index = readIndex(tag);
            tag = in_.readTag();
        }
        if (tag != ValueTag::List) {
            fail(kInvalidPropertyValue);
        }
        while (in_.peekByte() != 0) {
            Entry entry;
            entry.name = in_.readName();
            entry.value = readValue(in_.readTag(), depth + 1);
            item.entries.push_back(std::move(entry));
        }
        in_.readByte();
        return item;
    }

    StreamReader& in_;
};

class DocumentWriter {
public:
    explicit DocumentWriter(StreamWriter& out) : out_(out) {}

    void writeRecord(const Record& record) {
        if (record.flags) {
            const bool hasPosition = (*record.flags & kFlagChildPosition) != 0;
            if (*record.flags > 0x0F || hasPosition != record.position.has_value()) {
                fail(kStreamWriteError);
            }
            out_.writeByte(kPrefixMarker | *record.flags);
            if (record.position) {
                writeIndex(*record.position);
            }
        } else if (record.position) {
            fail(kStreamWriteError);
        }
        // Without a prefix, a class name of 240 bytes or more would be read as one.
        if (!record.flags && record.className.size() >= kPrefixMarker) {
            fail(kStreamWriteError);
        }
        writeName(record.className);
        writeName(record.objectName);
        writeEntries(record.entries);
        out_.writeByte(0);
        for (const Record& child : record.children) {
            // A child whose class name is empty would read as the end of the children.
            if (!child.flags && child.className.empty()) {
                fail(kStreamWriteError);
            }
            writeRecord(child);
        }
        out_.writeByte(0);
    }

private:
    void writeName(const std::string& name) {
        if (name.size() > 255) {
            fail(kStreamWriteError);
        }
        out_.writeName(name);
    }

    void writeIndex(const ItemIndex& index) {
        out_.writeTag(index.tag);
        switch (index.tag) {
        case ValueTag::Int8:
            if (index.value < -128 || index.value > 127) {
                fail(kStreamWriteError);
            }
            out_.writeByte(static_cast<uint8_t>(index.value));
            break;
        case ValueTag::Int16:
            if (index.value < -32768 || index.value > 32767) {
                fail(kStreamWriteError);
            }
            out_.writeInt16(static_cast<int16_t>(index.value));
            break;
        case ValueTag::Int32:
            if (index.value < INT32_MIN || index.value > INT32_MAX) {
                fail(kStreamWriteError);
            }
            out_.writeInt32(static_cast<int32_t>(index.value));
            break;
        case ValueTag::Int64:
            out_.writeInt64(index.value);
            break;
        default:
            fail(kStreamWriteError);
        }
    }

    void writeEntries(const std::vector<Entry>& entries) {
        for (const Entry& entry : entries) {
            if (entry.name.empty()) {
                fail(kStreamWriteError);
            }
            writeName(entry.name);
            writeValue(entry.value);
        }
    }

    void writeLength(size_t length) {
        if (length > static_cast<size_t>(INT32_MAX)) {
            fail(kStreamWriteError);
        }
        out_.writeInt32(static_cast<int32_t>(length));
    }

    void writeRaw(const std::vector<uint8_t>& bytes, size_t expected) {
        if (bytes.size() != expected) {
            fail(kStreamWriteError);
        }
        out_.writeBytes(bytes);
    }

    void writeValue(const Value& value) {
        switch (value.tag) {
        case ValueTag::Null:
        case ValueTag::False:
        case ValueTag::True:
        case ValueTag::Nil:
            out_.writeTag(value.tag);
            break;
        case ValueTag::List:
            out_.writeTag(value.tag);
            for (const Value& element : value.list) {
                if (element.tag == ValueTag::Null) {
                    fail(kStreamWriteError); // it would end the list
                }
                writeValue(element);
            }
            out_.writeByte(0);
            break;
        case ValueTag::Int8:
        case ValueTag::Int16:
        case ValueTag::Int32:
        case ValueTag::Int64:
            writeIndex(ItemIndex{value.tag, value.integer});
            break;
        case ValueTag::Currency:
            out_.writeTag(value.tag);
            out_.writeInt64(value.integer);
            break;
        case ValueTag::Extended:
            out_.writeTag(value.tag);
            writeRaw(value.bytes, 10);
            break;
        case ValueTag::Single:
            out_.writeTag(value.tag);
            writeRaw(value.bytes, 4);
            break;
        case ValueTag::Double:
        case ValueTag::DateTime:
            out_.writeTag(value.tag);
            writeRaw(value.bytes, 8);
            break;
        case ValueTag::ShortText:
            out_.writeTag(value.tag);
            writeName(value.text);
            break;
        case ValueTag::LongText:
        case ValueTag::Utf8Text:
            out_.writeTag(value.tag);
            writeLength(value.text.size());
            out_.writeBytes(
                std::span(reinterpret_cast<const uint8_t*>(value.text.data()), value.text.size()));
            break;
        case ValueTag::WideText:
            out_.writeTag(value.tag);
            writeLength(value.wide.size());
            for (char16_t unit : value.wide) {
                out_.writeByte(static_cast<uint8_t>(unit));
                out_.writeByte(static_cast<uint8_t>(unit >> 8));
            }
            break;
        case ValueTag::Identifier:
            out_.writeTag(value.tag);
            writeName(value.text);
            break;
        case ValueTag::Bytes:
            out_.writeTag(value.tag);
            writeLength(value.bytes.size());
            out_.writeBytes(value.bytes);
            break;
        case ValueTag::Set:
            out_.writeTag(value.tag);
            for (const std::string& name : value.names) {
                if (name.empty()) {
                    fail(kStreamWriteError);
                }
                writeName(name);
            }
            out_.writeByte(0);
            break;
        case ValueTag::Collection:
            out_.writeTag(value.tag);
            for (const CollectionItem& item : value.items) {
                if (item.index) {
                    writeIndex(*item.index);
                }
                out_.writeTag(ValueTag::List);
                writeEntries(item.entries);
                out_.writeByte(0);
            }
            out_.writeByte(0);
            break;
        default:
            fail(kStreamWriteError);
        }
    }

    StreamWriter& out_;
};

} // namespace

Document parseDocument(InputStream& in) {
    StreamReader reader(in);
    reader.readSignature();
    Document document;
    document.root = DocumentParser(reader).readRecord(0);
    return document;
}

Document parseDocument(std::span<const uint8_t> bytes) {
    MemoryInputStream in(bytes);
    Document document;
    {
        StreamReader reader(in);
        reader.readSignature();
        document.root = DocumentParser(reader).readRecord(0);
    }
    document.trailingBytes = bytes.size() - in.position();
    return document;
}

std::vector<uint8_t> encodeDocument(const Document& document) {
    MemoryOutputStream out;
    StreamWriter writer(out);
    writer.writeSignature();
    DocumentWriter(writer).writeRecord(document.root);
    writer.finish();
    return out.bytes();
}

} // namespace corvane::stream
