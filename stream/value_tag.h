#pragma once

// The value tags of the component stream: the byte before every value that says how its payload reads.

#include <cstdint>
#include <string_view>

namespace corvane::stream {

enum class ValueTag : uint8_t {
    Null = 0, // also the end marker of lists, collections and items
    List = 1,
    Int8 = 2,
    Int16 = 3,
    Int32 = 4,
    Extended = 5,
    ShortText = 6,
    Identifier = 7,
    False = 8,
    True = 9,
    Bytes = 10,
    Set = 11,
    LongText = 12,
    Nil = 13,
    Collection = 14,
    Single = 15,
    Currency = 16,
    DateTime = 17,
    WideText = 18,
    Int64 = 19,
    Utf8Text = 20,
    Double = 21,
};

inline constexpr uint8_t kLastValueTag = 21;

// The four bytes every stream starts with.
inline constexpr uint8_t kSignature[4] = {'T', 'P', 'F', '0'};

// A record whose first byte is at least this carries a prefix byte; its low four bits are flags.
inline constexpr uint8_t kPrefixMarker = 0xF0;
inline constexpr uint8_t kFlagInherited = 1;
inline constexpr uint8_t kFlagChildPosition = 2;
inline constexpr uint8_t kFlagInline = 4;

// Records, collections and lists nested deeper than this are refused ("Invalid stream format") so
// that no input can exhaust the stack; the program's own streams nest a handful of levels.
inline constexpr int kMaxNesting = 64;

inline bool isIntegerTag(ValueTag tag) {
    return tag == ValueTag::Int8 || tag == ValueTag::Int16 || tag == ValueTag::Int32;
}

inline bool isTextTag(ValueTag tag) {
    return tag == ValueTag::ShortText || tag == ValueTag::LongText || tag == ValueTag::WideText ||
           tag == ValueTag::Utf8Text;
}

// The tag's name as this code spells it ("Int8", "ShortText", …), or "" for an undefined tag.
std::string_view valueTagName(ValueTag tag);

} // namespace corvane::stream
