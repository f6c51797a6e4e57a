#pragma once

// What a script hands the command line whole: a file named on it, or the standard input for "-".

#include <string>

namespace corvane::cli {

// Appends the whole of the file `name` (the standard input for "-") to `bytes`; returns 0, or the
// system's error number when it cannot be opened or read.
int readWholeInput(const std::string& name, std::string& bytes);

} // namespace corvane::cli
