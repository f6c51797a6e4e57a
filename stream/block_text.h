#pragma once

// Readable lines for the two byte blocks of the list and tree views, for the text form's comments.

#include "stream/document.h"

#include <optional>
#include <string>
#include <vector>

namespace corvane::stream::textform {

// When `entry` of `record` is an item block or node block (new or older form), the lines that show
// its rows or nodes; otherwise nothing. Throws Error ("Stream read error") for a block that does not
// decode.
std::optional<std::vector<std::string>> describeBlock(const Record& record, const Entry& entry);

} // namespace corvane::stream::textform
