#pragma once

// A file name as the window shows it. Names are bytes; what the window shows must let a reader
// tell any two apart, so control characters (a newline in a name), invisible marks and bytes that
// are not UTF-8 show as \xNN escapes, the form the program's messages and the command line use
// (stream::printableName).

#include <QString>

#include <string_view>

namespace corvane::ui {

QString shownName(std::string_view bytes);

} // namespace corvane::ui
