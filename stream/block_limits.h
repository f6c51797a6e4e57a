#pragma once

#include <cstddef>

namespace corvane::stream {

// A text in an item or node block holds at most this many UTF-16 code units (its length is one byte).
inline constexpr size_t kMaxBlockTextUnits = 255;

} // namespace corvane::stream
