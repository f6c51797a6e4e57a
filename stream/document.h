#pragma once

// Any component stream as a tree of records, entries and values, read without knowing any class.
// Every value keeps its exact tag and payload, so encodeDocument(parseDocument(bytes)) gives back the
// bytes up to the end of the root record. The text form and `corvane-cli dump` are built on this.

#include "stream/byte_streams.h"
#include "stream/value_tag.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace corvane::stream {

struct Entry;
struct CollectionItem;

struct Value {
    ValueTag tag = ValueTag::Null;
    int64_t integer = 0;               // Int8, Int16, Int32, Int64, Currency (the stored number)
    std::string text;                  // ShortText, LongText, Utf8Text (the stored bytes), Identifier
    std::u16string wide;               // WideText
    std::vector<uint8_t> bytes;        // Bytes; the raw payload of Extended, Single, Double, DateTime
    std::vector<std::string> names;    // Set members, in stream order
    std::vector<Value> list;           // List elements
    std::vector<CollectionItem> items; // Collection items

    friend bool operator==(const Value&, const Value&) = default;
};

struct Entry {
    std::string name;
    Value value;

    friend bool operator==(const Entry&, const Entry&) = default;
};

// An item index is kept with its tag so that it is written back as it was.
struct ItemIndex {
    ValueTag tag = ValueTag::Int8;
    int64_t value = 0;

    friend bool operator==(const ItemIndex&, const ItemIndex&) = default;
};

struct CollectionItem {
    std::optional<ItemIndex> index;
    std::vector<Entry> entries;

    friend bool operator==(const CollectionItem&, const CollectionItem&) = default;
};

struct Record {
    std::optional<uint8_t> flags;      // present when the record has a prefix byte (low 4 bits)
    std::optional<ItemIndex> position; // the child position (flag 2)
    std::string className;
    std::string objectName;
    std::vector<Entry> entries;
    std::vector<Record> children;

    friend bool operator==(const Record&, const Record&) = default;
};

struct Document {
    Record root;
    // Bytes after the root record, which a reader does not look at.
    uint64_t trailingBytes = 0;
};

// Reads a whole stream (walkStream builds it). Throws Error with the messages the reader gives for the
// same faults (an entry's failure wrapped in "Error reading %s%s%s: %s"); undefined tags fail with
// "Invalid property value", nesting deeper than kMaxNesting with "Invalid stream format". A Document
// keeps every value of the stream, each costing far more than the byte or two it may take in the
// stream: to look at a stream of any size, walk it instead.
Document parseDocument(std::span<const uint8_t> bytes);
Document parseDocument(InputStream& in);

// The stream's bytes. Throws Error("Stream write error") for what no stream can hold (a class name of
// 240 bytes or more, a name over 255 bytes, an empty entry or set member name, Null inside a list, a
// record flag that the position does not match).
std::vector<uint8_t> encodeDocument(const Document& document);

} // namespace corvane::stream
