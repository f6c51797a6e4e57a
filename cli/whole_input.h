#pragma once

// What a script hands the command line whole: a file named on it, or the standard input for "-".
// Read up to a stated bound, so that an endless input (/dev/zero, a runaway pipe) ends in a clear
// error rather than in memory running out.

#include <cstddef>
#include <string>

namespace corvane::cli {

// The most bytes of one input read whole: a report or a list of a few million paths.
inline constexpr size_t kMaxWholeInputBytes = size_t{1} << 30;

// Words the bound for a message: "1 GiB".
std::string wholeInputBoundText(size_t maxBytes = kMaxWholeInputBytes);

// Appends the whole of the file `name` (the standard input for "-") to `bytes`; returns 0, or the
// system's error number when it cannot be opened or read, or EFBIG when it holds more than
// `maxBytes` (then `bytes` is left as it was).
int readWholeInput(const std::string& name, std::string& bytes, size_t maxBytes = kMaxWholeInputBytes);

} // namespace corvane::cli
