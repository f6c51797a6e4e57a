#pragma once

// Where Help > Content finds the help page.

#include <QString>

namespace corvane::ui {

// help/index.html in `programFolder`, where the build puts it beside the program. An installed
// program (PREFIX/bin) finds it in PREFIX/share/corvane/help/ instead. When neither exists the
// page beside the program is named all the same: opening it then fails quietly.
QString helpPageFile(const QString& programFolder);

} // namespace corvane::ui
