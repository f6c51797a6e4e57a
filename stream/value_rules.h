#pragma once

// The writer's choices of value tag. They decide the bytes, so StreamWriter and the text form's compiler
// both take them from here.

#include "stream/value_tag.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace corvane::stream {

// Int8, Int16 or Int32 for the narrowest that holds the value, else Int64.
ValueTag integerTagFor(int64_t value);

// ShortText or LongText for ASCII text (by its length); otherwise Utf8Text when the UTF-8 length is
// less than twice the UTF-16 length, else WideText.
ValueTag textTagFor(std::string_view text);

// False, True, Null or Nil when the identifier is one of those four names (ignoring ASCII case).
std::optional<ValueTag> bareTagForIdentifier(std::string_view identifier);

} // namespace corvane::stream
