#pragma once

// Reads the fields of a byte block that is already in memory. Every read is checked against the end
// of the block, so counts and lengths inside a block can never reach past it ("Stream read error").

#include "stream/error.h"
#include "stream/messages.h"
#include "stream/text_codec.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace corvane::stream {

class BlockCursor {
public:
    explicit BlockCursor(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    size_t remaining() const { return bytes_.size() - position_; }
    bool atEnd() const { return position_ == bytes_.size(); }

    std::span<const uint8_t> take(size_t count) {
        if (count > remaining()) {
            throw Error(std::string(kStreamReadError));
        }
        const auto out = bytes_.subspan(position_, count);
        position_ += count;
        return out;
    }
    uint8_t u8() { return take(1)[0]; }
    int16_t i16() {
        const auto b = take(2);
        return static_cast<int16_t>(b[0] | (b[1] << 8));
    }
    int32_t i32() {
        const auto b = take(4);
        return static_cast<int32_t>(uint32_t{b[0]} | (uint32_t{b[1]} << 8) | (uint32_t{b[2]} << 16) |
                                    (uint32_t{b[3]} << 24));
    }
    // `units` UTF-16LE code units, as 8-bit text.
    std::string utf16Text(size_t units) {
        const auto b = take(units * 2);
        std::u16string wide(units, u'\0');
        for (size_t i = 0; i < units; ++i) {
            wide[i] = static_cast<char16_t>(b[2 * i] | (b[2 * i + 1] << 8));
        }
        return utf16ToUtf8(wide);
    }
    // A name string: a length byte and that many bytes of 8-bit text.
    std::string shortText() {
        const auto b = take(u8());
        return std::string(b.begin(), b.end());
    }

private:
    std::span<const uint8_t> bytes_;
    size_t position_ = 0;
};

// Appends little-endian fields to a block being built.
class BlockBuilder {
public:
    void u8(uint8_t v) { bytes_.push_back(v); }
    void i16(int16_t v) {
        const auto bits = static_cast<uint16_t>(v);
        bytes_.push_back(static_cast<uint8_t>(bits));
        bytes_.push_back(static_cast<uint8_t>(bits >> 8));
    }
    void i32(int32_t v) {
        const auto bits = static_cast<uint32_t>(v);
        for (int i = 0; i < 4; ++i) {
            bytes_.push_back(static_cast<uint8_t>(bits >> (8 * i)));
        }
    }
    void i32At(size_t offset, int32_t v) {
        const auto bits = static_cast<uint32_t>(v);
        for (int i = 0; i < 4; ++i) {
            bytes_[offset + i] = static_cast<uint8_t>(bits >> (8 * i));
        }
    }
    void units(const std::u16string& text) {
        for (char16_t unit : text) {
            bytes_.push_back(static_cast<uint8_t>(unit));
            bytes_.push_back(static_cast<uint8_t>(unit >> 8));
        }
    }
    size_t size() const { return bytes_.size(); }
    std::vector<uint8_t> take() { return std::move(bytes_); }

private:
    std::vector<uint8_t> bytes_;
};

} // namespace corvane::stream
