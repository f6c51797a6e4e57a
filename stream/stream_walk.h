#pragma once

// Any component stream read part by part, in stored order, without knowing any class and without
// keeping what was read: each record with its entries and child records, each value with its exact
// tag and payload. parseDocument builds a Document from the parts; the text form's printer prints
// them as they come, so that a stream of any size can be shown in little memory.

#include "stream/document.h"
#include "stream/stream_reader.h"

#include <cstdint>
#include <optional>
#include <string>

namespace corvane::stream {

// What comes before a record's entries.
struct RecordHead {
    std::optional<uint8_t> flags;      // present when the record has a prefix byte (low 4 bits)
    std::optional<ItemIndex> position; // the child position (flag 2)
    std::string className;
    std::string objectName;
};

// Receives the parts of a stream in the order they are stored. Nesting follows the calls: a record
// is recordBegins, its entries, its child records, recordEnds; an entry is entryBegins and one value.
class StreamVisitor {
public:
    virtual ~StreamVisitor() = default;

    virtual void recordBegins(const RecordHead& head) = 0;
    virtual void recordEnds() = 0;
    // An entry of the record or collection item being read.
    virtual void entryBegins(const std::string& name) = 0;
    // A value of any tag but List, Set and Collection, with the fields of its tag set.
    virtual void plainValue(Value value) = 0;
    // A list: listBegins, its elements (each a value), listEnds.
    virtual void listBegins() = 0;
    virtual void listEnds() = 0;
    // A set: setBegins, setMember for each member name in stored order, setEnds.
    virtual void setBegins() = 0;
    virtual void setMember(const std::string& name) = 0;
    virtual void setEnds() = 0;
    // A collection: collectionBegins, its items (itemBegins, the item's entries, itemEnds),
    // collectionEnds.
    virtual void collectionBegins() = 0;
    virtual void itemBegins(const std::optional<ItemIndex>& index) = 0;
    virtual void itemEnds() = 0;
    virtual void collectionEnds() = 0;
};

// Reads the signature and the root record, handing each part to `visitor` as soon as it is read.
// Throws Error with the reader's messages: a failure inside an entry of a record, also one the
// visitor throws, is wrapped in "Error reading %s%s%s: %s"; an undefined tag is "Invalid property
// value", nesting deeper than kMaxNesting "Invalid stream format".
void walkStream(StreamReader& reader, StreamVisitor& visitor);

} // namespace corvane::stream
