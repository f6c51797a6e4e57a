#include "cli/commands.h"

#include <cstdio>

namespace corvane::cli {

// Placeholder until the component stream reader lands.
int runDump(const Arguments&) {
    std::fputs("corvane-cli: dump is not available yet\n", stderr);
    return 1;
}

} // namespace corvane::cli
