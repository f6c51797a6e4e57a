#pragma once

// Conversions between the program's 8-bit text (UTF-8 bytes, not always valid) and UTF-16, and the
// ASCII-only letter-case comparison that the stream uses for names.
//
// File names are bytes and need not be valid UTF-8, yet some of the stream's texts are stored as
// UTF-16. So that such a name is never replaced by a look-alike, every byte that is not part of a
// valid UTF-8 sequence becomes the lone low surrogate U+DC00 + byte on the way to UTF-16, and turns
// back into that byte on the way out: utf16ToUtf8(utf8ToUtf16(s)) == s for every byte string s.

#include <cstddef>
#include <string>
#include <string_view>

namespace corvane::stream {

// True when every byte is below 0x80.
bool isAscii(std::string_view text);

// The text as UTF-16 code units (invalid bytes escaped as above).
std::u16string utf8ToUtf16(std::string_view text);

// The number of UTF-16 code units utf8ToUtf16(text) would return, without building it.
size_t utf16Length(std::string_view text);

// Back to 8-bit text: escaped bytes return as themselves; any other unpaired surrogate becomes U+FFFD.
std::string utf16ToUtf8(std::u16string_view text);

// Decodes the valid UTF-8 sequence that starts at `text[pos]`; returns its length in bytes (1 to 4)
// and stores the code point, or returns 0 when the bytes there are not a valid sequence.
size_t decodeUtf8(std::string_view text, size_t pos, char32_t& codePoint);

// True for a character that may be shown as it is; false for control characters, line separators,
// zero-width and direction marks, which would hide or reorder what a reader sees.
bool showsAsItself(char32_t codePoint);

// Appends a code point (not a surrogate, at most U+10FFFF) as UTF-8.
void appendUtf8(std::string& out, char32_t codePoint);

// Names match when equal after folding the ASCII letters A-Z to a-z; other bytes must be equal.
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

} // namespace corvane::stream
