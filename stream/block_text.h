#pragma once

// Readable lines for the two byte blocks of the list and tree views, for the text form's comments.

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

namespace corvane::stream::textform {

// Receives text piece by piece: a row of millions of sub-items is never built as one line.
using TextOut = std::function<void(std::string_view)>;

// When the entry `entryName` of a record of class `className` holds an item block or node block (new
// or older form) in `bytes`, writes the lines that show its rows or nodes, each begun with `linePrefix`
// and ended with a line break, and returns true; otherwise writes nothing and returns false. Throws
// Error ("Stream read error") for a block that does not decode, before writing anything.
bool describeBlock(std::string_view className, std::string_view entryName, std::span<const uint8_t> bytes,
                   std::string_view linePrefix, const TextOut& write);

} // namespace corvane::stream::textform
