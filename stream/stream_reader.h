#pragma once

// StreamReader: reads one component stream. ReadRootRecord applies a stream to an existing object through
// its class's declarations: entries set properties in stream order, child records create components
// through a ClassRegistry, component references are fixed up after the record (local ones) or after
// the loaded notification (ones into other windows). The primitives below read single fields and
// never trust a length: a count or size that points past the end of the data fails with "Stream read
// error" before anything is allocated for it. The data is taken from the InputStream in blocks of
// 4096 bytes; what was taken but not used is given back when the reader goes.

#include "stream/byte_streams.h"
#include "stream/declaration.h"
#include "stream/value_tag.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::stream {

struct ReadOptions {
    // The classes that child records may name; without it any child record fails with "Class %s not
    // found".
    const ClassRegistry* classes = nullptr;
    // The top-level window with this object name, or none; for references "Window.Component".
    std::function<ObjectRef(std::string_view)> findWindow;
};

class StreamReader {
public:
    explicit StreamReader(InputStream& in, ReadOptions options = {})
        : in_(in), options_(std::move(options)) {}
    ~StreamReader();
    StreamReader(const StreamReader&) = delete;
    StreamReader& operator=(const StreamReader&) = delete;

    // Reads the signature and one root record into `root`, which is not created but configured, and
    // returns it. Throws Error with the format's message at the first failure; entries applied before
    // it stay applied, and a failed read gets no loaded notification.
    ObjectRef ReadRootRecord(ObjectRef root);

    // "Invalid stream format" unless the next 4 bytes are the signature.
    void readSignature();
    // The record prefix when the next byte is 0xF0 or above: returns its flags and reads the child
    // position (returned in `position`) when flag 2 is set. Returns -1 when there is no prefix.
    int readPrefix(int64_t* position = nullptr);

    uint8_t readByte();
    uint8_t peekByte();
    ValueTag readTag() { return static_cast<ValueTag>(readByte()); }
    ValueTag peekTag() { return static_cast<ValueTag>(peekByte()); }
    int16_t readInt16();
    int32_t readInt32();
    int64_t readInt64();
    // A 4-byte length; a negative one fails with "Stream read error".
    uint32_t readLength();
    std::string readName();
    // Exactly `count` bytes (or UTF-16 code units).
    std::string readString(uint64_t count);
    std::u16string readWide(uint64_t count);
    std::vector<uint8_t> readBytes(uint64_t count);
    void readExact(uint8_t* into, size_t count);

    // The payload of an integer tag (Int8, Int16, Int32, Int64), sign-extended.
    int64_t readIntegerPayload(ValueTag tag);
    // The payload of a text tag (ShortText, LongText, WideText, Utf8Text) as 8-bit text.
    std::string readTextPayload(ValueTag tag);

private:
    struct Fixup {
        ObjectRef object;
        const PropertyInfo* property;
        std::string name;
    };

    void fill();
    void ensureAvailable(uint64_t count);

    void readRecordBody(ObjectRef object, const std::string& label, int depth);
    void readChildRecord(ObjectRef parent, int depth);
    void readProperty(ObjectRef object, const std::string& label, int depth);
    void readPropertyValue(ObjectRef object, const PropertyInfo& property, int depth);
    void readOrdinalValue(ObjectRef object, const PropertyInfo& property);
    void readObjectValue(ObjectRef object, const PropertyInfo& property, int depth);
    void readCollection(ObjectRef collection, int depth);
    std::string readIdentifierLike();
    void resolveLocalFixups();
    void resolveWindowFixups();

    InputStream& in_;
    ReadOptions options_;
    std::array<uint8_t, 4096> buffer_{};
    size_t position_ = 0;
    size_t end_ = 0;

    ObjectRef root_;
    std::vector<ObjectRef> loaded_;
    std::vector<Fixup> localFixups_;
    std::vector<Fixup> windowFixups_;
};

// Reads a whole stream from `in` into `root`.
ObjectRef ReadRootRecord(InputStream& in, ObjectRef root, ReadOptions options = {});

// The same, from memory.
ObjectRef readRootRecordFromBytes(std::span<const uint8_t> bytes, ObjectRef root, ReadOptions options = {});

} // namespace corvane::stream
