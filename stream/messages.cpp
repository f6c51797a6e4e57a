#include "stream/messages.h"

#include "stream/error.h"
#include "stream/text_codec.h"
#include "stream/value_tag.h"

#include <algorithm>
#include <cstring>

namespace corvane::stream {

std::string formatMessage(std::string_view pattern, std::initializer_list<std::string_view> args) {
    std::string out;
    auto next = args.begin();
    size_t i = 0;
    while (i < pattern.size()) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's' && next != args.end()) {
            out += *next++;
            i += 2;
        } else {
            out += pattern[i++];
        }
    }
    return out;
}

std::string printableName(std::string_view name) {
    static constexpr char kHexDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(name.size());
    size_t pos = 0;
    while (pos < name.size()) {
        char32_t codePoint = 0;
        const size_t length = decodeUtf8(name, pos, codePoint);
        // A backslash before an x is escaped itself, so that no name reads as another's escape.
        const bool readsAsEscape =
            length == 1 && codePoint == '\\' && pos + 1 < name.size() && name[pos + 1] == 'x';
        if (length != 0 && showsAsItself(codePoint) && !readsAsEscape) {
            out.append(name, pos, length);
            pos += length;
            continue;
        }
        // A character not to be shown escapes all its bytes; a byte outside UTF-8 escapes alone.
        for (size_t end = pos + std::max<size_t>(length, 1); pos < end; ++pos) {
            const auto byte = static_cast<unsigned char>(name[pos]);
            out += "\\x";
            out += kHexDigits[byte >> 4];
            out += kHexDigits[byte & 0x0F];
        }
    }
    return out;
}

std::string inFileMessage(std::string_view file, std::string_view message) {
    std::string out = printableName(file);
    out += ": ";
    out += message;
    return out;
}

std::string systemErrorText(int errorNumber) {
    std::string text = std::strerror(errorNumber);
    while (!text.empty() && (text.back() == ' ' || text.back() == '.')) {
        text.pop_back();
    }
    return text;
}

void checkNesting(int depth) {
    if (depth > kMaxNesting) {
        fail(kInvalidStreamFormat);
    }
}

} // namespace corvane::stream
