#pragma once

// StreamWriter: writes one component stream. WriteRootRecord walks a class's declarations to choose the
// entries; the value writers below encode single values by the format's rules and are also what the
// text form's compiler uses. Output is handed to the OutputStream in blocks of 4096 bytes.

#include "stream/byte_streams.h"
#include "stream/declaration.h"
#include "stream/value_tag.h"

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::stream {

class StreamWriter {
public:
    explicit StreamWriter(OutputStream& out) : out_(out) {}
    StreamWriter(const StreamWriter&) = delete;
    StreamWriter& operator=(const StreamWriter&) = delete;
    // Drops what is still buffered: call finish() so that a failed write is reported.
    ~StreamWriter() = default;

    // The signature and `root` as the root record (no prefix), then finish(). Throws Error
    // ("Stream write error") for a value it cannot encode or a failed write.
    void WriteRootRecord(ObjectRef root);

    // Hands everything buffered to the output stream.
    void finish();

    void writeSignature();
    void writeByte(uint8_t byte);
    void writeBytes(std::span<const uint8_t> bytes);
    void writeTag(ValueTag tag) { writeByte(static_cast<uint8_t>(tag)); }
    void writeInt16(int16_t value);
    void writeInt32(int32_t value);
    void writeInt64(int64_t value);
    // A name string: length byte and bytes; a name longer than 255 bytes is cut to its first 255.
    void writeName(std::string_view name);

    // Tag and payload by the format's rules.
    void writeInteger(int64_t value);
    void writeBoolean(bool value);
    void writeIdentifier(std::string_view identifier); // False/True/Null/nil become bare tags
    void writeText(std::string_view utf8);
    void writeBinary(std::span<const uint8_t> bytes);
    void writeExtended(double value);
    void writeSet(const std::vector<std::string>& memberNames);

private:
    void writeRecord(ObjectRef object, int depth);
    void writeProperties(ObjectRef object, const std::string& prefix, int depth);
    void writeProperty(ObjectRef object, const PropertyInfo& property, const std::string& prefix, int depth);
    void writeObjectProperty(ObjectRef object, const PropertyInfo& property, const std::string& prefix,
                             int depth);
    void writeCollection(ObjectRef collection, int depth);
    std::string referenceName(ObjectRef component) const;
    void writeLength(size_t length);

    OutputStream& out_;
    std::array<uint8_t, 4096> buffer_{};
    size_t used_ = 0;
    ObjectRef root_;
};

// Writes `root` as a whole stream to `out`.
void WriteRootRecord(OutputStream& out, ObjectRef root);

// The same, into memory.
std::vector<uint8_t> writeRootRecordToBytes(ObjectRef root);

} // namespace corvane::stream
