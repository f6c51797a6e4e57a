#pragma once

// The 10-byte extended-precision float of the stream's tag 5: a 64-bit significand with an explicit
// integer bit, then a 15-bit exponent biased by 16383 with the sign in the top bit, little-endian.

#include <array>
#include <cstdint>

namespace corvane::stream {

using ExtendedBytes = std::array<uint8_t, 10>;

// Exact: every double, including zeros of either sign, subnormals, infinities and NaNs, has an
// extended form that converts back to the same double.
ExtendedBytes doubleToExtended(double value);

// Rounds to the nearest double; values beyond the double range become infinities or zeros.
double extendedToDouble(const ExtendedBytes& bytes);

} // namespace corvane::stream
