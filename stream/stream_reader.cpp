// StreamReader's buffering and its primitive field readers.

#include "stream/stream_reader.h"

#include "stream/error.h"
#include "stream/messages.h"
#include "stream/text_codec.h"

#include <algorithm>
#include <cstring>

namespace corvane::stream {

namespace {

[[noreturn]] void failRead() {
    throw Error(std::string(kStreamReadError));
}

// When the medium cannot tell how much is left, a large count is read in pieces of this size, so
// that memory grows only with bytes that really arrive.
constexpr size_t kPiece = size_t{1} << 16;

} // namespace

StreamReader::~StreamReader() {
    if (end_ > position_) {
        try {
            in_.unread(end_ - position_);
        } catch (...) {
            // The position is a courtesy to the caller; a reader that goes must not throw.
        }
    }
}

void StreamReader::fill() {
    position_ = 0;
    end_ = in_.read(buffer_.data(), buffer_.size());
    if (end_ == 0) {
        failRead();
    }
}

uint8_t StreamReader::readByte() {
    if (position_ == end_) {
        fill();
    }
    return buffer_[position_++];
}

uint8_t StreamReader::peekByte() {
    if (position_ == end_) {
        fill();
    }
    return buffer_[position_];
}

void StreamReader::readExact(uint8_t* into, size_t count) {
    while (count > 0) {
        if (position_ == end_) {
            fill();
        }
        const size_t n = std::min(count, end_ - position_);
        std::memcpy(into, buffer_.data() + position_, n);
        position_ += n;
        into += n;
        count -= n;
    }
}

void StreamReader::ensureAvailable(uint64_t count) {
    const uint64_t buffered = end_ - position_;
    if (count <= buffered) {
        return;
    }
    if (const std::optional<uint64_t> rest = in_.remaining(); rest && count - buffered > *rest) {
        failRead();
    }
}

int16_t StreamReader::readInt16() {
    uint8_t b[2];
    readExact(b, 2);
    return static_cast<int16_t>(b[0] | (b[1] << 8));
}

int32_t StreamReader::readInt32() {
    uint8_t b[4];
    readExact(b, 4);
    return static_cast<int32_t>(uint32_t{b[0]} | (uint32_t{b[1]} << 8) | (uint32_t{b[2]} << 16) |
                                (uint32_t{b[3]} << 24));
}

int64_t StreamReader::readInt64() {
    uint8_t b[8];
    readExact(b, 8);
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) {
        bits |= uint64_t{b[i]} << (8 * i);
    }
    return static_cast<int64_t>(bits);
}

uint32_t StreamReader::readLength() {
    const int32_t length = readInt32();
    if (length < 0) {
        failRead();
    }
    return static_cast<uint32_t>(length);
}

std::string StreamReader::readName() {
    return readString(readByte());
}

std::vector<uint8_t> StreamReader::readBytes(uint64_t count) {
    ensureAvailable(count);
    std::vector<uint8_t> out;
    while (out.size() < count) {
        const size_t start = out.size();
        const size_t piece = static_cast<size_t>(std::min<uint64_t>(count - start, kPiece));
        out.resize(start + piece);
        readExact(out.data() + start, piece);
    }
    return out;
}

std::string StreamReader::readString(uint64_t count) {
    const std::vector<uint8_t> bytes = readBytes(count);
    return std::string(bytes.begin(), bytes.end());
}

std::u16string StreamReader::readWide(uint64_t count) {
    const std::vector<uint8_t> bytes = readBytes(count * 2);
    std::u16string out(count, u'\0');
    for (uint64_t i = 0; i < count; ++i) {
        out[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    }
    return out;
}

void StreamReader::readSignature() {
    uint8_t signature[4];
    readExact(signature, 4);
    if (std::memcmp(signature, kSignature, 4) != 0) {
        throw Error(std::string(kInvalidStreamFormat));
    }
}

int StreamReader::readPrefix(int64_t* position) {
    if (peekByte() < kPrefixMarker) {
        return -1;
    }
    const int flags = readByte() & 0x0F;
    if (flags & kFlagChildPosition) {
        const ValueTag tag = readTag();
        if (!isIntegerTag(tag)) {
            throw Error(std::string(kInvalidPropertyValue));
        }
        const int64_t value = readIntegerPayload(tag);
        if (position) {
            *position = value;
        }
    }
    return flags;
}

int64_t StreamReader::readIntegerPayload(ValueTag tag) {
    switch (tag) {
    case ValueTag::Int8:
        return static_cast<int8_t>(readByte());
    case ValueTag::Int16:
        return readInt16();
    case ValueTag::Int32:
        return readInt32();
    case ValueTag::Int64:
        return readInt64();
    default:
        throw Error(std::string(kInvalidPropertyValue));
    }
}

std::string StreamReader::readTextPayload(ValueTag tag) {
    switch (tag) {
    case ValueTag::ShortText:
        return readString(readByte());
    case ValueTag::LongText:
    case ValueTag::Utf8Text:
        return readString(readLength());
    case ValueTag::WideText:
        return utf16ToUtf8(readWide(readLength()));
    default:
        throw Error(std::string(kInvalidPropertyValue));
    }
}

ObjectRef ReadRootRecord(InputStream& in, ObjectRef root, ReadOptions options) {
    StreamReader reader(in, std::move(options));
    return reader.ReadRootRecord(root);
}

ObjectRef readRootRecordFromBytes(std::span<const uint8_t> bytes, ObjectRef root, ReadOptions options) {
    MemoryInputStream in(bytes);
    return ReadRootRecord(in, root, std::move(options));
}

} // namespace corvane::stream
