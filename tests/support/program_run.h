#pragma once

// Running one of the project's programs from a test, as a user would from a shell.

#include <string>
#include <vector>

namespace corvane::testing {

// How a program run ended: its exit status (-1 when it could not start or did not exit on its own)
// and everything it wrote to standard output and standard error.
struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs `program` with `args` in the environment of the test, its output caught in files of a
// folder of its own; returns once it has ended.
ProgramRun runProgram(const std::string& program, const std::vector<std::string>& args);

// The same, started in the folder `workingFolder`, for what a program makes of relative paths.
ProgramRun runProgramIn(const std::string& workingFolder, const std::string& program,
                        const std::vector<std::string>& args);

// The same, with `input` as its standard input.
ProgramRun runProgramWithInput(const std::string& program, const std::vector<std::string>& args,
                               const std::string& input);

// The same as the user "nobody" when the test runs as root, whom permissions do not stop (as CI
// does); as the test's own user otherwise.
ProgramRun runProgramUnprivileged(const std::string& program, const std::vector<std::string>& args);

} // namespace corvane::testing
