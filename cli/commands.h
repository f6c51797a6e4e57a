#pragma once

#include "engine/content_classes.h"

#include <cstddef>
#include <string>
#include <vector>

namespace corvane::cli {

// Each subcommand gets the arguments after its own name and returns the process exit
// status: 0 success, 1 failure, 2 usage error.
using Arguments = std::vector<std::string>;

int runFind(const Arguments& args);
// What `find` runs with besides its arguments: the program's defaults, unless a test changes them.
struct FindSettings {
    size_t compareMemoryBudget = engine::ContentClasses::kMemoryBudget;
};
int runFind(const Arguments& args, const FindSettings& settings);
int runDump(const Arguments& args);
int runShow(const Arguments& args);
// The actions on the groups of a search or of a result set: to the trash, hard links, shared blocks.
int runTrash(const Arguments& args);
int runLink(const Arguments& args);
int runDedupe(const Arguments& args);
// Undoing the last trash, link or dedupe run, or the files of it that the arguments name.
int runRestore(const Arguments& args);

} // namespace corvane::cli
