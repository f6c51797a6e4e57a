#pragma once

// The search path list (searchPathList_ of the main window): which row is selected, and the rule that
// keeps two listed folders from overlapping.

#include <string_view>

namespace corvane::ui {

class ListViewModel;
class ListViewWidget;

// Whether a typed path and a listed path overlap: they are equal, or the shorter occurs inside
// the longer at any position. Bytes are compared exactly: letter case counts, separators and
// trailing separators are not normalised. A plain substring test, so a listed "/data" also
// rules out "/database".
bool PathsOverlap(std::string_view typed, std::string_view listed);

// The first row of `rows`, other than `skipRow`, whose path overlaps `typed`; -1 for none.
int firstOverlappingRow(const ListViewModel& rows, std::string_view typed, int skipRow = -1);

// The selected row of a list (at most one is), or -1.
int selectedRow(const ListViewWidget& list);

} // namespace corvane::ui
