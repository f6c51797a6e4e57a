#include "stream/value_tag.h"

namespace corvane::stream {

std::string_view valueTagName(ValueTag tag) {
    static constexpr std::string_view kNames[] = {
        "Null",     "List",     "Int8",     "Int16", "Int32",    "Extended", "ShortText",  "Identifier",
        "False",    "True",     "Bytes",    "Set",   "LongText", "Nil",      "Collection", "Single",
        "Currency", "DateTime", "WideText", "Int64", "Utf8Text", "Double",
    };
    const auto index = static_cast<uint8_t>(tag);
    return index <= kLastValueTag ? kNames[index] : std::string_view{};
}

} // namespace corvane::stream
