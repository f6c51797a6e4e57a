#pragma once

#include <string>
#include <vector>

namespace corvane::cli {

// Each subcommand gets the arguments after its own name and returns the process exit
// status: 0 success, 1 failure, 2 usage error.
using Arguments = std::vector<std::string>;

int runFind(const Arguments& args);
int runDump(const Arguments& args);
int runShow(const Arguments& args);

} // namespace corvane::cli
