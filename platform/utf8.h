#pragma once

#include <cstddef>
#include <string_view>

namespace corvane::platform {

// Length of the well-formed UTF-8 sequence that starts at text[i] (1 to 4), with its code point
// in `codePoint`; 0 when the bytes there are not well-formed UTF-8 (overlong forms, surrogates
// and values above U+10FFFF included). File names are bytes, and not every name is UTF-8.
size_t decodeUtf8(std::string_view text, size_t i, char32_t& codePoint);

} // namespace corvane::platform
