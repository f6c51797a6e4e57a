#include "cli/terminal_text.h"

#include "platform/utf8.h"

#include <unistd.h>

namespace corvane::cli {

namespace {

void appendHexEscape(std::string& out, unsigned char byte) {
    constexpr char kHex[] = "0123456789abcdef";
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
}

} // namespace

std::string escapedForTerminal(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (size_t at = 0; at < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[at]);
        if (c >= 0x80) {
            char32_t codePoint = 0;
            const size_t length = platform::decodeUtf8(bytes, at, codePoint);
            // C1 controls (U+0080..U+009F) act on terminals as ESC sequences do.
            if (length > 0 && codePoint >= 0xA0) {
                out.append(bytes.substr(at, length));
                at += length;
                continue;
            }
            const size_t bad = length > 0 ? length : 1;
            for (size_t k = 0; k < bad; ++k) {
                appendHexEscape(out, static_cast<unsigned char>(bytes[at + k]));
            }
            at += bad;
            continue;
        }
        ++at;
        switch (c) {
        case '\n':
            out += "\\n";
            continue;
        case '\t':
            out += "\\t";
            continue;
        case '\r':
            out += "\\r";
            continue;
        case '\\':
            out += "\\\\";
            continue;
        default:
            break;
        }
        if (c < 0x20 || c == 0x7F) {
            appendHexEscape(out, c);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string shownOn(std::FILE* stream, std::string_view text) {
    return ::isatty(::fileno(stream)) ? escapedForTerminal(text) : std::string(text);
}

} // namespace corvane::cli
