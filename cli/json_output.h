#pragma once

#include <string>
#include <string_view>

namespace corvane::cli {

// `bytes` as a JSON string literal, quotes included. Bytes that are not valid UTF-8 become
// U+FFFD, so the result is always valid JSON whatever a file name holds.
std::string jsonString(std::string_view bytes);

} // namespace corvane::cli
