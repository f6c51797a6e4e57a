#pragma once

// Running the system's own tools (mount, mkfs.xfs, bindfs, strace) from a test.

#include <string>
#include <string_view>
#include <vector>

namespace corvane::testing {

// Runs `argv` (its program looked up on PATH) with its output dropped; its exit status, or -1 when
// it could not start or a signal ended it.
int runQuietly(std::vector<std::string> argv);

// The full path of the program `name` on PATH; empty when there is none.
std::string programOnPath(std::string_view name);

} // namespace corvane::testing
