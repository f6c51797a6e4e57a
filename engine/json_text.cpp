#include "engine/json_text.h"

#include "platform/utf8.h"

#include <cstdint>
#include <cstdio>

namespace corvane::engine {

std::string jsonString(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + 2);
    out += '"';
    for (size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
            ++i;
        } else if (c < 0x20) {
            switch (c) {
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default: {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", c);
                out += escape;
            }
            }
            ++i;
        } else {
            char32_t ignored = 0;
            const size_t length = platform::decodeUtf8(bytes, i, ignored);
            if (length == 0) {
                out += "\xEF\xBF\xBD"; // U+FFFD
                ++i;
            } else {
                out.append(bytes.substr(i, length));
                i += length;
            }
        }
    }
    out += '"';
    return out;
}

bool isWellFormedUtf8(std::string_view bytes) {
    for (size_t i = 0; i < bytes.size();) {
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        char32_t ignored = 0;
        const size_t length = platform::decodeUtf8(bytes, i, ignored);
        if (length == 0) {
            return false;
        }
        i += length;
    }
    return true;
}

std::string base64(std::string_view bytes) {
    static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    const auto byteAt = [&](size_t k) { return static_cast<uint32_t>(static_cast<unsigned char>(bytes[k])); };
    for (; i + 3 <= bytes.size(); i += 3) {
        const uint32_t word = byteAt(i) << 16 | byteAt(i + 1) << 8 | byteAt(i + 2);
        for (int shift = 18; shift >= 0; shift -= 6) {
            out += kDigits[(word >> shift) & 63];
        }
    }
    if (const size_t left = bytes.size() - i; left > 0) {
        const uint32_t word = byteAt(i) << 16 | (left == 2 ? byteAt(i + 1) << 8 : 0);
        out += kDigits[(word >> 18) & 63];
        out += kDigits[(word >> 12) & 63];
        out += left == 2 ? kDigits[(word >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::string jsonPathMember(std::string_view key, std::string_view path) {
    std::string out = jsonString(key) + ": " + jsonString(path);
    if (!isWellFormedUtf8(path)) {
        out += ", " + jsonString(std::string(key) + "_base64") + ": \"" + base64(path) + '"';
    }
    return out;
}

std::string jsonPathListMembers(std::string_view key, std::span<const std::string> paths) {
    std::string out = jsonString(key) + ": [";
    std::string exact;
    bool allExact = true;
    for (size_t i = 0; i < paths.size(); ++i) {
        out += i ? ", " : "";
        out += jsonString(paths[i]);
        exact += i ? ", " : "";
        if (isWellFormedUtf8(paths[i])) {
            exact += "null";
        } else {
            allExact = false;
            exact += '"' + base64(paths[i]) + '"';
        }
    }
    out += ']';
    if (!allExact) {
        out += ", " + jsonString(std::string(key) + "_base64") + ": [" + exact + ']';
    }
    return out;
}

} // namespace corvane::engine
