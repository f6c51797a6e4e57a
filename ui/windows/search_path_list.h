#pragma once

// The search path list (searchPathList_ of the main window): which row is selected, and the rule that
// keeps two listed folders from overlapping.

#include <string_view>

namespace corvane::ui {

class ListViewModel;
class ListViewWidget;

// Whether a typed path and a listed path overlap: they name the same folder, or one lies inside
// the other, compared as whole path components: "/a/b" overlaps "/a/b" and "/a/b/c", but neither
// "/a/bc" nor "/x/a/b". Repeated and trailing separators do not count ("/a//b/" is "/a/b"); "."
// and "..", links and letter case are taken as they are written. Bytes are compared exactly.
// (The rule was once a plain substring test, which refused "/mnt/backup/home/ann" beside
// "/home/ann" and "/database" beside "/data".)
bool PathsOverlap(std::string_view typed, std::string_view listed);

// The first row of `rows`, other than `skipRow`, whose path overlaps `typed`; -1 for none.
int firstOverlappingRow(const ListViewModel& rows, std::string_view typed, int skipRow = -1);

// The selected row of a list (at most one is), or -1.
int selectedRow(const ListViewWidget& list);

} // namespace corvane::ui
