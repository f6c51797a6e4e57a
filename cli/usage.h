#pragma once

#include <string>
#include <string_view>

namespace corvane::cli {

// The text of --help.
extern const char* const kUsage;

// The text of `corvane-cli COMMAND --help`; empty for a command that does not exist.
std::string commandHelp(std::string_view command);

// Prints "corvane-cli: COMMAND: REASON" and where to read more (the help of COMMAND, or the general help
// when it is empty) to stderr, two lines; returns exit status 2.
int usageError(std::string_view command, const std::string& reason);

} // namespace corvane::cli
