#pragma once

// File names as JSON text: the strings of the reports a search's groups are written as. Plain C++.

#include <span>
#include <string>
#include <string_view>

namespace corvane::engine {

// `bytes` as a JSON string literal, quotes included. Bytes that are not valid UTF-8 become
// U+FFFD, so the result is always valid JSON whatever a file name holds.
std::string jsonString(std::string_view bytes);

// True when `bytes` are well-formed UTF-8 throughout: jsonString then holds them exactly.
bool isWellFormedUtf8(std::string_view bytes);

// The standard base64 form of `bytes` (RFC 4648, with padding).
std::string base64(std::string_view bytes);

// A path as members of a JSON object: `"KEY": TEXT`, and when the path is not well-formed UTF-8
// (so that TEXT shows U+FFFD in place of some bytes) `, "KEY_base64": BYTES` with its exact bytes.
std::string jsonPathMember(std::string_view key, std::string_view path);

// A list of paths as members of a JSON object: `"KEY": [TEXT, ...]`, and when any of them is not
// well-formed UTF-8 `, "KEY_base64": [...]` beside it, holding each path's bytes in base64 at the
// same place, or null where the text already is exact.
std::string jsonPathListMembers(std::string_view key, std::span<const std::string> paths);

} // namespace corvane::engine
