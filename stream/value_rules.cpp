#include "stream/value_rules.h"

#include "stream/text_codec.h"

#include <limits>

namespace corvane::stream {

ValueTag integerTagFor(int64_t value) {
    if (value >= std::numeric_limits<int8_t>::min() && value <= std::numeric_limits<int8_t>::max()) {
        return ValueTag::Int8;
    }
    if (value >= std::numeric_limits<int16_t>::min() && value <= std::numeric_limits<int16_t>::max()) {
        return ValueTag::Int16;
    }
    if (value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max()) {
        return ValueTag::Int32;
    }
    return ValueTag::Int64;
}

ValueTag textTagFor(std::string_view text) {
    if (isAscii(text)) {
        return text.size() <= 255 ? ValueTag::ShortText : ValueTag::LongText;
    }
    return text.size() < 2 * utf16Length(text) ? ValueTag::Utf8Text : ValueTag::WideText;
}

std::optional<ValueTag> bareTagForIdentifier(std::string_view identifier) {
    if (equalsIgnoringAsciiCase(identifier, "False")) {
        return ValueTag::False;
    }
    if (equalsIgnoringAsciiCase(identifier, "True")) {
        return ValueTag::True;
    }
    if (equalsIgnoringAsciiCase(identifier, "Null")) {
        return ValueTag::Null;
    }
    if (equalsIgnoringAsciiCase(identifier, "nil")) {
        return ValueTag::Nil;
    }
    return std::nullopt;
}

} // namespace corvane::stream
