#include "stream/text_literals.h"

#include "stream/text_codec.h"

#include <charconv>
#include <limits>

namespace corvane::stream::textform {

namespace {

bool isWordStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool isWordChar(char c) {
    return isWordStart(c) || (c >= '0' && c <= '9');
}

class LiteralBuilder {
public:
    void printable(std::string_view utf8) {
        if (!quoted_) {
            out_ += '\'';
            quoted_ = true;
        }
        for (char c : utf8) {
            out_ += c;
            if (c == '\'') {
                out_ += '\'';
            }
        }
    }
    void escape(unsigned value) {
        if (quoted_) {
            out_ += '\'';
            quoted_ = false;
        }
        out_ += '#';
        out_ += std::to_string(value);
    }
    std::string finish() {
        if (out_.empty()) {
            return "''";
        }
        if (quoted_) {
            out_ += '\'';
        }
        return std::move(out_);
    }

private:
    std::string out_;
    bool quoted_ = false;
};

} // namespace

bool isBareName(std::string_view name, bool allowDots) {
    bool wordStart = true;
    for (char c : name) {
        if (wordStart) {
            if (!isWordStart(c)) {
                return false;
            }
            wordStart = false;
        } else if (c == '.' && allowDots) {
            wordStart = true;
        } else if (!isWordChar(c)) {
            return false;
        }
    }
    return !wordStart;
}

std::string nameLiteral(std::string_view name, bool allowDots) {
    return isBareName(name, allowDots) ? std::string(name) : narrowLiteral(name);
}

std::string narrowLiteral(std::string_view bytes) {
    LiteralBuilder out;
    size_t pos = 0;
    while (pos < bytes.size()) {
        char32_t cp = 0;
        const size_t length = decodeUtf8(bytes, pos, cp);
        if (length != 0 && showsAsItself(cp)) {
            out.printable(bytes.substr(pos, length));
            pos += length;
            continue;
        }
        const size_t count = length == 0 ? 1 : length;
        for (size_t i = 0; i < count; ++i) {
            out.escape(static_cast<unsigned char>(bytes[pos + i]));
        }
        pos += count;
    }
    return out.finish();
}

std::string wideLiteral(std::u16string_view units) {
    LiteralBuilder out;
    for (size_t i = 0; i < units.size(); ++i) {
        const char16_t unit = units[i];
        char32_t cp = unit;
        size_t used = 1;
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (char32_t(units[i + 1]) - 0xDC00);
            used = 2;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            out.escape(unit);
            continue;
        }
        if (showsAsItself(cp)) {
            std::string utf8;
            appendUtf8(utf8, cp);
            out.printable(utf8);
        } else {
            for (size_t k = 0; k < used; ++k) {
                out.escape(units[i + k]);
            }
        }
        i += used - 1;
    }
    return out.finish();
}

namespace {

template <class F> std::string formatShortest(F value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, result.ptr);
    if (text.find_first_of(".e") == std::string::npos) {
        text += ".0";
    }
    return text;
}

} // namespace

std::string formatDouble(double value) {
    return formatShortest(value);
}
std::string formatFloat(float value) {
    return formatShortest(value);
}

std::string formatCurrency(int64_t stored) {
    const bool negative = stored < 0;
    // The magnitude as unsigned, so that the most negative value has one too.
    const uint64_t magnitude =
        negative ? uint64_t{0} - static_cast<uint64_t>(stored) : static_cast<uint64_t>(stored);
    std::string fraction = std::to_string(magnitude % 10000);
    fraction.insert(0, 4 - fraction.size(), '0');
    // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) about "literal" + std::string.
    std::string text = negative ? "-" : "";
    text += std::to_string(magnitude / 10000);
    text += '.';
    text += fraction;
    return text;
}

std::optional<int64_t> parseCurrency(std::string_view text) {
    bool negative = false;
    if (!text.empty() && text[0] == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    const size_t dot = text.find('.');
    const std::string_view whole = text.substr(0, dot);
    const std::string_view fraction =
        dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
    if (whole.empty() || fraction.size() > 4 || (dot != std::string_view::npos && fraction.empty())) {
        return std::nullopt;
    }
    uint64_t magnitude = 0;
    const auto addDigit = [&](char c) {
        if (c < '0' || c > '9' || magnitude > (std::numeric_limits<uint64_t>::max() - 9) / 10) {
            return false;
        }
        magnitude = magnitude * 10 + static_cast<uint64_t>(c - '0');
        return true;
    };
    for (char c : whole) {
        if (!addDigit(c)) {
            return std::nullopt;
        }
    }
    for (size_t i = 0; i < 4; ++i) {
        if (!addDigit(i < fraction.size() ? fraction[i] : '0')) {
            return std::nullopt;
        }
    }
    const uint64_t limit = negative ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
    if (magnitude > limit) {
        return std::nullopt;
    }
    return negative ? static_cast<int64_t>(uint64_t{0} - magnitude) : static_cast<int64_t>(magnitude);
}

std::string hexBytes(std::span<const uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (uint8_t byte : bytes) {
        out += kDigits[byte >> 4];
        out += kDigits[byte & 0x0F];
    }
    return out;
}

} // namespace corvane::stream::textform
