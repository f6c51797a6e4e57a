#pragma once

// Finding and loading corvane-cli's save module. The only code that knows how a module is loaded
// (dlopen, the program's folder from /proc/self/exe); another system would swap this file.

#include "cli/save_module.h"

namespace corvane::cli {

// The save module's table. The first call loads the module, from the program's own folder (the build
// tree) or else from the folder it is installed in relative to the program's, refuses a module built
// for another interface, and keeps it loaded for the rest of the run. Throws Error saying what is
// missing or wrong when it cannot.
const CorvaneSaveModule& loadSaveModule();

} // namespace corvane::cli
