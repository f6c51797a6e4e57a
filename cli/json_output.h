#pragma once

// The command line's names for the JSON strings of its reports, which the window's export writes
// too (engine/json_text.h).

#include "engine/json_text.h"

namespace corvane::cli {

using engine::base64;
using engine::isWellFormedUtf8;
using engine::jsonPathListMembers;
using engine::jsonPathMember;
using engine::jsonString;

} // namespace corvane::cli
