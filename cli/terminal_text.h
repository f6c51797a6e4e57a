#pragma once

// Names on a terminal. A file name may hold any byte: an escape sequence could move the cursor,
// recolour the screen or ring the bell, and a line break could make one name look like two. So
// where a name (or a message naming one) goes to a terminal it is shown with visible escapes; to a
// pipe or a file it goes as its exact bytes, for scripts.

#include <cstdio>
#include <string>
#include <string_view>

namespace corvane::cli {

// `bytes` with every control character, backslash and byte that is not UTF-8 written as an
// escape: \n, \t, \r, \\ and \xHH. Two different texts never look alike.
std::string escapedForTerminal(std::string_view bytes);

// `text` as it may go to `stream`: escaped when the stream is a terminal, else as it is.
std::string shownOn(std::FILE* stream, std::string_view text);

} // namespace corvane::cli
