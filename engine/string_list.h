#pragma once

#include <string>
#include <vector>

namespace corvane::engine {

// An ordered list of strings. Paths are kept as the exact bytes of their names, so an entry may
// hold any byte, a line break included; lists are always copied entry by entry.
using StringList = std::vector<std::string>;

} // namespace corvane::engine
