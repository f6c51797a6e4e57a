#pragma once

// Where Help > Content finds the help page.

#include <QString>

namespace corvane::ui {

// help/index.html in `programFolder`, where the build puts it beside the program. An installed
// program (PREFIX/bin) finds it in PREFIX/share/corvane/help/ instead. With a `language` ("de")
// the page in that language, help/index.LANGUAGE.html, comes first in either place. When no page
// exists the English page beside the program is named all the same: opening it then fails.
QString helpPageFile(const QString& programFolder, const QString& language = QString());

} // namespace corvane::ui
