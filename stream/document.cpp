#include "stream/document.h"

#include "stream/error.h"
#include "stream/messages.h"
#include "stream/stream_reader.h"
#include "stream/stream_walk.h"
#include "stream/stream_writer.h"

#include <utility>

namespace corvane::stream {

namespace {

// Builds the tree from the parts as they are read. Each open record, item and container is kept by
// address: a vector only grows at the innermost open level, so no address taken is moved.
class DocumentBuilder final : public StreamVisitor {
public:
    Record root;

    void recordBegins(const RecordHead& head) override {
        Record& record = frames_.empty() ? root : frames_.back().record->children.emplace_back();
        record.flags = head.flags;
        record.position = head.position;
        record.className = head.className;
        record.objectName = head.objectName;
        frames_.push_back({.record = &record});
    }
    void recordEnds() override { frames_.pop_back(); }

    void entryBegins(const std::string& name) override {
        const Frame& frame = frames_.back();
        Entry& entry = frame.item ? frame.item->entries.emplace_back() : frame.record->entries.emplace_back();
        entry.name = name;
        entryValue_ = &entry.value;
    }

    void plainValue(Value value) override { nextValue() = std::move(value); }

    void listBegins() override { open(ValueTag::List); }
    void listEnds() override { frames_.pop_back(); }
    void setBegins() override { open(ValueTag::Set); }
    void setMember(const std::string& name) override { frames_.back().value->names.push_back(name); }
    void setEnds() override { frames_.pop_back(); }
    void collectionBegins() override { open(ValueTag::Collection); }
    void itemBegins(const std::optional<ItemIndex>& index) override {
        CollectionItem& item = frames_.back().value->items.emplace_back();
        item.index = index;
        frames_.push_back({.item = &item});
    }
    void itemEnds() override { frames_.pop_back(); }
    void collectionEnds() override { frames_.pop_back(); }

private:
    // One of the three is set.
    struct Frame {
        Record* record = nullptr;
        CollectionItem* item = nullptr;
        Value* value = nullptr; // a list, set or collection
    };

    // The value of the entry just begun, else the next element of the list being read.
    Value& nextValue() {
        if (Value* value = std::exchange(entryValue_, nullptr)) {
            return *value;
        }
        return frames_.back().value->list.emplace_back();
    }

    void open(ValueTag tag) {
        Value& value = nextValue();
        value.tag = tag;
        frames_.push_back({.value = &value});
    }

    std::vector<Frame> frames_;
    Value* entryValue_ = nullptr;
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
    DocumentBuilder builder;
    walkStream(reader, builder);
    Document document;
    document.root = std::move(builder.root);
    return document;
}

Document parseDocument(std::span<const uint8_t> bytes) {
    MemoryInputStream in(bytes);
    Document document = parseDocument(in);
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
