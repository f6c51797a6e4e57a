#pragma once

// The command line's names for the forms `find` prints its groups in, which the window's export
// writes too (engine/group_report.h).

#include "cli/result_files.h"
#include "engine/group_report.h"

namespace corvane::cli {

using engine::csvField;
using engine::FoundGroups;
using engine::GroupFormat;
using engine::kJsonVersion;
using engine::ShownPath;
using engine::writeGroups;

} // namespace corvane::cli
