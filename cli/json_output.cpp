#include "cli/json_output.h"

#include "platform/utf8.h"

#include <cstdio>

namespace corvane::cli {

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

} // namespace corvane::cli
