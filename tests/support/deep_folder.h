#pragma once

// Folders deeper than a path can name: the system takes paths of at most PATH_MAX bytes, so such
// a tree is made one folder at a time, each relative to the one before.

#include <string>
#include <utility>
#include <vector>

namespace corvane::testing {

// Makes folders below `root`, one inside the other, until the path of the deepest is longer than
// `length` bytes, and writes `files` (name and contents) into the deepest. Returns its path,
// without a trailing separator. Throws when the system refuses a step.
std::string makeDeepFolder(const std::string& root, size_t length,
                           const std::vector<std::pair<std::string, std::string>>& files);

} // namespace corvane::testing
