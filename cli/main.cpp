// corvane-cli: the command-line front end of Corvane, on the same engine as the window.

#include "cli/commands.h"
#include "cli/option_syntax.h"
#include "cli/terminal_text.h"
#include "cli/usage.h"
#include "corvane_version.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <string>
#include <string_view>

namespace {

using corvane::cli::CommandOptions;

struct Command {
    const char* name;
    int (*run)(const corvane::cli::Arguments&);
    const CommandOptions& (*options)();
};

const Command kCommands[] = {
    {"find", corvane::cli::runFind, corvane::cli::findOptions},
    {"dump", corvane::cli::runDump, corvane::cli::dumpOptions},
    {"show", corvane::cli::runShow, corvane::cli::showOptions},
    {"trash", corvane::cli::runTrash, corvane::cli::actionOptions},
    {"link", corvane::cli::runLink, corvane::cli::actionOptions},
    {"dedupe", corvane::cli::runDedupe, corvane::cli::actionOptions},
    {"restore", corvane::cli::runRestore, corvane::cli::restoreOptions},
};

// The one place where a failure becomes what the user sees: whatever a command throws ends here as
// a message on stderr and status 1, out of memory included, never as an abort.
int run(const Command& command, const corvane::cli::Arguments& args) {
    const auto fail = [](const char* message) {
        std::fprintf(stderr, "corvane-cli: error: %s\n", corvane::cli::shownOn(stderr, message).c_str());
        return 1;
    };
    try {
        return command.run(args);
    } catch (const std::bad_alloc&) {
        return fail("out of memory");
    } catch (const std::exception& error) {
        return fail(error.what());
    } catch (...) {
        return fail("an unexpected failure");
    }
}

// Prints a help or version text; 1, with the reason, when it could not be written (a full disk).
int printText(const std::string& text) {
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0 ||
        std::ferror(stdout)) {
        std::fprintf(stderr, "corvane-cli: error: cannot write the text: %s\n", std::strerror(errno));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    using namespace corvane::cli;
    if (argc < 2) {
        return usageError({}, "no command given");
    }
    const std::string_view command = argv[1];
    if (command == "--help" || command == "-h" || (command == "help" && argc == 2)) {
        return printText(kUsage);
    }
    if (command == "--version") {
        return printText(std::string("corvane-cli ") + CORVANE_VERSION + "\n");
    }
    if (command == "help" && argc == 3) {
        const std::string help = commandHelp(argv[2]);
        if (help.empty()) {
            return usageError({}, "unknown command '" + std::string(argv[2]) + "'");
        }
        return printText(help);
    }
    for (const Command& entry : kCommands) {
        if (command == entry.name) {
            const PlainArguments plain = plainArguments(Arguments(argv + 2, argv + argc), entry.options());
            // "COMMAND --help" anywhere among the options (not as a value, nor after "--").
            if (plain.helpAsked) {
                return printText(commandHelp(command));
            }
            if (!plain.error.empty()) {
                return usageError(command, plain.error);
            }
            return run(entry, plain.args);
        }
    }
    return usageError({}, "unknown command '" + std::string(command) + "'");
}
