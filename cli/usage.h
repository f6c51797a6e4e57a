#pragma once

#include <string>

namespace corvane::cli {

// The text of --help.
extern const char* const kUsage;

// Prints "corvane-cli: REASON" and the usage to stderr; returns exit status 2.
int usageError(const std::string& reason);

} // namespace corvane::cli
