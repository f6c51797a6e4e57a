#pragma once

#include <string>

namespace corvane::testing {

// Every byte of the file at `path`; empty when it cannot be read.
std::string fileContents(const std::string& path);

} // namespace corvane::testing
