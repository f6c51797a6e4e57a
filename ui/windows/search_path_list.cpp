#include "ui/windows/search_path_list.h"

#include "ui/forms/list_controls_qt.h"

#include <QItemSelectionModel>

#include <algorithm>
#include <vector>

namespace corvane::ui {

namespace {

// The components of a path, and whether it starts at the root.
struct PathComponents {
    bool absolute = false;
    std::vector<std::string_view> parts;
};

PathComponents componentsOf(std::string_view path) {
    PathComponents result;
    result.absolute = !path.empty() && path.front() == '/';
    size_t start = 0;
    while (start < path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string_view::npos) {
            end = path.size();
        }
        if (end > start) {
            result.parts.push_back(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return result;
}

} // namespace

bool PathsOverlap(std::string_view typed, std::string_view listed) {
    const PathComponents a = componentsOf(typed);
    const PathComponents b = componentsOf(listed);
    if (a.absolute != b.absolute) {
        return false;
    }
    // One lies inside the other when the shorter's components start the longer.
    const size_t common = std::min(a.parts.size(), b.parts.size());
    return std::equal(a.parts.begin(), a.parts.begin() + static_cast<std::ptrdiff_t>(common),
                      b.parts.begin());
}

int firstOverlappingRow(const ListViewModel& rows, std::string_view typed, int skipRow) {
    for (int i = 0; i < rows.count(); ++i) {
        if (i != skipRow && PathsOverlap(typed, rows.row(i).caption())) {
            return i;
        }
    }
    return -1;
}

int selectedRow(const ListViewWidget& list) {
    const QItemSelectionModel* selection = list.selectionModel();
    if (!selection) {
        return -1;
    }
    const QModelIndexList rows = selection->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

} // namespace corvane::ui
