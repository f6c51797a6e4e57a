#pragma once

#include <string>
#include <string_view>

namespace corvane::cli {

// The text of --help.
extern const char* const kUsage;

// The text of `corvane-cli COMMAND --help`; empty for a command that does not exist.
std::string commandHelp(std::string_view command);

// Prints "corvane-cli: REASON" and the usage to stderr; returns exit status 2.
int usageError(const std::string& reason);

} // namespace corvane::cli
