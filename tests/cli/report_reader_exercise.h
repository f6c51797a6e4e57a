#pragma once

// What must hold for any bytes handed to --from-json: the report reader either refuses them with
// our error type, or accepts strictly valid JSON whose every group has at least two distinct
// absolute paths without a zero byte, and whose base64 texts are exactly those base64() writes.
// Shared by the libFuzzer target and the replay of the seed corpus.

#include <string>
#include <string_view>

namespace corvane::testing {

// Empty when the rules hold for `bytes`; else what broke.
std::string exerciseReportReader(std::string_view bytes);

} // namespace corvane::testing
