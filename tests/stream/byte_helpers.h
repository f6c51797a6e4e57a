#pragma once

// Spelling expected bytes in tests: hex("01 FF"), name("Left") (length byte + text), and cat(...).

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::testing {

using Bytes = std::vector<uint8_t>;

inline Bytes hex(std::string_view text) {
    Bytes out;
    int high = -1;
    for (char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (c == ' ' || c == ',' || c == '\n') {
            continue;
        } else {
            throw std::invalid_argument("hex: bad digit");
        }
        if (high < 0) {
            high = digit;
        } else {
            out.push_back(static_cast<uint8_t>(high * 16 + digit));
            high = -1;
        }
    }
    return out;
}

inline Bytes ascii(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

inline Bytes name(std::string_view text) {
    Bytes out(text.size() + 1);
    out[0] = static_cast<uint8_t>(text.size());
    std::copy(text.begin(), text.end(), out.begin() + 1);
    return out;
}

inline Bytes utf16le(std::u16string_view text) {
    Bytes out;
    for (char16_t unit : text) {
        out.push_back(static_cast<uint8_t>(unit));
        out.push_back(static_cast<uint8_t>(unit >> 8));
    }
    return out;
}

inline Bytes cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

} // namespace corvane::testing
