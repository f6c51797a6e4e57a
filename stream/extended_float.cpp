#include "stream/extended_float.h"

#include <bit>
#include <cmath>

namespace corvane::stream {

namespace {

constexpr int kExtendedBias = 16383;
constexpr int kDoubleBias = 1023;
constexpr uint64_t kIntegerBit = uint64_t{1} << 63;

} // namespace

ExtendedBytes doubleToExtended(double value) {
    const uint64_t bits = std::bit_cast<uint64_t>(value);
    const uint16_t sign = (bits >> 63) ? 0x8000 : 0;
    const int exponent = static_cast<int>((bits >> 52) & 0x7FF);
    const uint64_t fraction = bits & ((uint64_t{1} << 52) - 1);

    uint64_t significand = 0;
    int biased = 0;
    if (exponent == 0x7FF) {
        biased = 0x7FFF;
        // Infinity keeps only the integer bit; a NaN is quiet with its payload.
        significand = kIntegerBit | (fraction << 11);
        if (fraction != 0) {
            significand |= uint64_t{1} << 62;
        }
    } else if (exponent == 0) {
        if (fraction != 0) {
            // A subnormal double is a normal extended: shift its highest set bit up to the integer bit.
            const int top = 63 - std::countl_zero(fraction);
            significand = fraction << (63 - top);
            biased = top - 1074 + kExtendedBias;
        }
    } else {
        significand = kIntegerBit | (fraction << 11);
        biased = exponent - kDoubleBias + kExtendedBias;
    }

    ExtendedBytes out{};
    for (int i = 0; i < 8; ++i) {
        out[i] = static_cast<uint8_t>(significand >> (8 * i));
    }
    const uint16_t top = static_cast<uint16_t>(sign | biased);
    out[8] = static_cast<uint8_t>(top);
    out[9] = static_cast<uint8_t>(top >> 8);
    return out;
}

double extendedToDouble(const ExtendedBytes& bytes) {
    uint64_t significand = 0;
    for (int i = 0; i < 8; ++i) {
        significand |= uint64_t{bytes[i]} << (8 * i);
    }
    const unsigned top = bytes[8] | (unsigned{bytes[9]} << 8);
    const bool negative = (top & 0x8000) != 0;
    const int biased = static_cast<int>(top & 0x7FFF);

    double magnitude = 0;
    if (biased == 0x7FFF) {
        magnitude = (significand << 1) == 0 ? INFINITY : NAN;
    } else {
        // The integer bit is taken as stored, so unnormal and pseudo-denormal forms get their plain value.
        magnitude = std::ldexp(static_cast<double>(significand), biased - kExtendedBias - 63);
    }
    return negative ? -magnitude : magnitude;
}

} // namespace corvane::stream
