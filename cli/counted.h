#pragma once

// Counts in the command line's sentences: "1 file", "2 files".

#include <cstdint>
#include <string>

namespace corvane::cli {

inline std::string counted(int64_t count, const char* one, const char* many) {
    return std::to_string(count) + ' ' + (count == 1 ? one : many);
}

} // namespace corvane::cli
