#pragma once

#include <cstddef>
#include <string>

namespace corvane::testing {

// Every byte of the file at `path`; empty when it cannot be read.
std::string fileContents(const std::string& path);

// `size` bytes that look random, the same for the same `seed`.
std::string randomBytes(size_t size, unsigned seed);

} // namespace corvane::testing
