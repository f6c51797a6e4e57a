#pragma once

// Options as users type them: "--min-size=5" as well as "--min-size 5", several one-letter flags in
// one argument ("-xq0"), a one-letter option with its value joined ("-t*.c"). Each command's
// arguments are put into one plain form (every option and every value an argument of its own)
// before the command reads them, so that no command parses these forms itself.

#include "cli/commands.h"

#include <string>
#include <string_view>
#include <vector>

namespace corvane::cli {

// The options one command knows, as they are written in their plain form.
struct CommandOptions {
    std::vector<std::string_view> withValue; // "--types", "-t", "--min-size"...: each takes the next argument
    std::vector<std::string_view> flags;     // "--quiet", "-q"...: each stands alone
};

// The options of each command.
const CommandOptions& findOptions();
const CommandOptions& actionOptions(); // trash, link and dedupe
const CommandOptions& showOptions();
const CommandOptions& restoreOptions();
const CommandOptions& dumpOptions();

struct PlainArguments {
    Arguments args;
    bool helpAsked = false; // "--help" or "-h" stood where an option may (never as a value, nor after "--")
    std::string error;      // the reason of a usage error, else empty
};

// `args` in their plain form. Values are never read as options ("--save -h" saves to "-h"), and
// everything after "--" passes unchanged. Long options the command does not know pass unchanged
// too, for the command to name; an unknown letter in a group of flags is an error here.
PlainArguments plainArguments(const Arguments& args, const CommandOptions& options);

} // namespace corvane::cli
