// corvane-cli: the command-line front end of Corvane, on the same engine as the window.

#include "cli/commands.h"
#include "cli/usage.h"
#include "corvane_version.h"

#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

struct Command {
    const char* name;
    int (*run)(const corvane::cli::Arguments&);
};

constexpr Command kCommands[] = {
    {"find", corvane::cli::runFind},
    {"dump", corvane::cli::runDump},
    {"show", corvane::cli::runShow},
};

} // namespace

int main(int argc, char** argv) {
    using namespace corvane::cli;
    if (argc < 2) {
        return usageError("no command given");
    }
    const std::string_view command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == "--version") {
        std::printf("corvane-cli %s\n", CORVANE_VERSION);
        return 0;
    }
    for (const Command& entry : kCommands) {
        if (command == entry.name) {
            return entry.run(Arguments(argv + 2, argv + argc));
        }
    }
    return usageError("unknown command '" + std::string(command) + "'");
}
