// corvane-cli restore: undoing the last trash, link or dedupe run from its record, all of it or
// the files named.

#include "cli/commands.h"
#include "cli/counted.h"
#include "cli/terminal_text.h"
#include "cli/usage.h"
#include "engine/run_undo.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace corvane::cli {

namespace {

// One line a file: its exact bytes for a script, escaped on a terminal.
void printLine(const std::string& words, const std::string& path, const std::string& reason) {
    std::string line =
        words + ' ' + shownOn(stdout, path + (reason.empty() ? std::string() : ": " + reason)) + '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
}

} // namespace

int runRestore(const Arguments& args) {
    bool dryRun = false;
    std::vector<std::string> paths;
    bool optionsOpen = true;
    for (const std::string& arg : args) {
        if (optionsOpen && arg == "--") {
            optionsOpen = false;
        } else if (optionsOpen && (arg == "-n" || arg == "--dry-run")) {
            dryRun = true;
        } else if (optionsOpen && (arg == "-q" || arg == "--quiet")) {
            // No progress line to leave out: taken, as every command takes it.
        } else if (optionsOpen && arg.size() > 1 && arg.front() == '-') {
            return usageError("restore", "unknown option '" + arg + "'");
        } else {
            paths.push_back(arg);
        }
    }

    const engine::UndoRun run = engine::undoLastRun(
        engine::lastRunRecordPath(), paths, dryRun,
        [dryRun](const engine::RunChange& change, const engine::UndoOutcome& outcome) {
            switch (outcome.status) {
            case engine::UndoStatus::PutBack:
                printLine(dryRun ? "would restore" : "restored", change.path, outcome.reason.text());
                break;
            case engine::UndoStatus::Unchanged:
                printLine("unchanged", change.path, outcome.reason.text());
                break;
            case engine::UndoStatus::NotPutBack:
                printLine("not restored", change.path, outcome.reason.text());
                break;
            }
            return true;
        });
    for (const std::string& path : run.notInRecord) {
        printLine("not restored", path, "the last run did not change it");
    }
    const bool written = std::fflush(stdout) == 0 && !std::ferror(stdout);
    if (!run.recorded && run.failure.empty()) {
        std::fputs("Nothing to restore: no trash, link or dedupe run is recorded\n", stderr);
    } else if (run.recorded) {
        std::fprintf(stderr, "%s %s; unchanged %zu, not restored %zu\n",
                     dryRun ? "Would restore" : "Restored",
                     counted(static_cast<int64_t>(run.putBack), "file", "files").c_str(), run.unchanged,
                     run.notPutBack + run.notInRecord.size());
    }
    if (!run.failure.empty()) {
        std::fprintf(stderr, "corvane-cli: error: %s\n", shownOn(stderr, run.failure).c_str());
        return 1;
    }
    if (!written) {
        std::fprintf(stderr, "corvane-cli: error: cannot write the result: %s\n", std::strerror(errno));
        return 1;
    }
    return run.notPutBack + run.notInRecord.size() == 0 ? 0 : 1;
}

} // namespace corvane::cli
