#pragma once

// The groups of a report that `find --json` wrote and a user or a script may have edited since, for
// the actions' --from-json: which files each group still lists, and which of them is marked to stay.

#include "engine/action_plan.h"

#include <string>
#include <string_view>
#include <vector>

namespace corvane::cli {

// The groups of the report `text` (read from `name`, for messages). A file belongs to a group only
// where every list of the group that names files names it: "original" with "duplicates", and
// "files" when the group has one (so that taking a path out of either list leaves that file alone).
// The file marked "keep": true comes first, where the actions keep the original. Groups left with
// fewer than two files are left out. Paths are their exact bytes ("…_base64" where given). Throws
// Error when the text is no such report, or when it names a file by a relative path.
std::vector<engine::FileGroup> groupsOfReport(std::string_view text, const std::string& name);

} // namespace corvane::cli
