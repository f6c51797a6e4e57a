#pragma once

// Runs a program as a child process, as a user would, and reports what it printed, how it ended and
// the most memory it held.

#include <cstdint>
#include <string>
#include <vector>

namespace corvane::testing {

struct ChildRun {
    int status = -1; // the exit status; -1 when the child did not exit (a signal ended it)
    int signal = 0;  // the signal that ended it, if one did
    std::string out;
    std::string err;
    long peakKilobytes = 0; // the child's peak resident memory
};

struct ChildOptions {
    // The child's address space limit (RLIMIT_AS); 0 for none.
    uint64_t addressSpaceBytes = 0;
    // Sends standard output to /dev/null (out stays empty): for output too large to keep.
    bool discardOutput = false;
};

ChildRun runChild(const std::string& program, const std::vector<std::string>& args,
                  const ChildOptions& options = {});

// False in a sanitizer build: there shadow memory inflates every figure, and the address space a
// sanitizer reserves at start does not fit under any limit.
bool memoryFiguresAreMeaningful();

} // namespace corvane::testing
