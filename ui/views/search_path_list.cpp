#include "ui/views/search_path_list.h"

#include "ui/forms/list_controls_qt.h"

#include <QItemSelectionModel>

namespace corvane::ui {

bool PathsOverlap(std::string_view typed, std::string_view listed) {
    if (typed.size() < listed.size()) {
        return listed.find(typed) != std::string_view::npos;
    }
    if (typed.size() > listed.size()) {
        return typed.find(listed) != std::string_view::npos;
    }
    return typed == listed;
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
