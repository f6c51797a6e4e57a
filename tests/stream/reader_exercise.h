#pragma once

// One input through every reading path of the stream library: the document parser and the text form
// (whose round trip must give the same bytes back), the block decoders, and StreamReader into list, tree
// and window declarations. Shared by the fuzz target and the seed corpus test, so that CI replays
// under the sanitizers exactly what the fuzzer runs.

#include <cstdint>
#include <span>
#include <string>

namespace corvane::testing {

// Returns "" when every path ended in success or in a clean corvane::Error; otherwise a description
// of the broken promise (a round trip that changed bytes, a different exception type).
std::string exerciseReader(std::span<const uint8_t> input);

} // namespace corvane::testing
