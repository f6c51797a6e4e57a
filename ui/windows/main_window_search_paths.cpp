// The main window's search path list: adding, editing and deleting paths with the path dialog.

#include "stream/result_set.h"
#include "ui/forms/list_controls_qt.h"
#include "ui/forms/message_dialog.h"
#include "ui/forms/window_texts.h"
#include "ui/views/duplicate_tree_model.h"
#include "ui/windows/main_window.h"
#include "ui/windows/path_dialog.h"
#include "ui/windows/search_path_list.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>

namespace corvane::ui {

namespace {

// The path dialog's titles, translated in its context.
constexpr const char* kAddTitle = QT_TRANSLATE_NOOP("frm_add", "Add Search Path...");
constexpr const char* kEditTitle = QT_TRANSLATE_NOOP("frm_add", "Edit Search Path...");
constexpr const char* kAllFiles = "*.*";

// The path dialog's check before it takes a folder: no listed folder other than the edited row
// (-1 for none) may overlap it.
PathDialog::OverlapCheck overlapCheck(const ListViewModel& rows, int editedRow) {
    return [&rows, editedRow](std::string_view folder) -> std::optional<std::string> {
        const int overlapping = firstOverlappingRow(rows, folder, editedRow);
        if (overlapping < 0) {
            return std::nullopt;
        }
        return std::string(rows.row(overlapping).caption());
    };
}

} // namespace

void MainWindow::updatePathButtons() {
    const bool hasRows = searchPathList_->listModel()->count() > 0;
    const bool searching = captionOf(searchButton_) != QLatin1String(kStartSearch);
    searchButton_->setEnabled(hasRows || searching);
    deletePathButton_->setEnabled(hasRows);
    editPathButton_->setEnabled(hasRows);
}

void MainWindow::followReferenceFolders() {
    const SearchedFilesModel* rows = searchPathList_->listModel();
    const auto follow = [this] { duplicateTree_->treeModel()->setReferenceFolders(referenceFolders()); };
    connect(rows, &QAbstractItemModel::rowsInserted, this, follow);
    connect(rows, &QAbstractItemModel::rowsRemoved, this, follow);
    connect(rows, &QAbstractItemModel::dataChanged, this, follow);
    connect(rows, &QAbstractItemModel::modelReset, this, follow);
}

void MainWindow::addPathClicked(QObject*) {
    PathDialog& dialog = *pathDialog_;
    SearchedFilesModel& rows = *searchPathList_->listModel();
    dialog.setPathBytes({});
    dialog.setPatternBytes({});
    setCaption(&dialog, QLatin1String(kAddTitle));
    setCaption(dialog.okButton_, QLatin1String(PathDialog::kAddCaption));
    dialog.setPatternBytes(kAllFiles);
    dialog.setReferenceFolder(false);
    dialog.setOverlapCheck(overlapCheck(rows, -1));
    if (dialog.exec() == QDialog::Accepted) {
        ListRow row(dialog.pathBytes(), {dialog.patternBytes()});
        row.data = dialog.referenceFolder() ? stream::kReferenceFolderRowData : 0;
        rows.appendRow(std::move(row));
        rows.flushAppendedRows();
    }
    updatePathButtons();
}

void MainWindow::editPathClicked(QObject*) {
    const int row = selectedRow(*searchPathList_);
    if (row < 0) {
        MessageDialog(MessageKind::Warning,
                      QCoreApplication::translate("frm_utama", "Select a Search Path to Edit."), this);
        return;
    }
    PathDialog& dialog = *pathDialog_;
    SearchedFilesModel& rows = *searchPathList_->listModel();
    dialog.setPathBytes(rows.row(row).caption());
    dialog.setPatternBytes(rows.row(row).subItemText(0));
    dialog.setReferenceFolder(rows.row(row).data == stream::kReferenceFolderRowData);
    setCaption(&dialog, QLatin1String(kEditTitle));
    setCaption(dialog.okButton_, QLatin1String(PathDialog::kSaveCaption));
    // The edited row may keep its own folder.
    dialog.setOverlapCheck(overlapCheck(rows, row));
    if (dialog.exec() == QDialog::Accepted) {
        ListRow edited = rows.row(row);
        edited.setCaption(dialog.pathBytes());
        edited.setSubItemText(0, dialog.patternBytes());
        // Another data value a set may hold stays as it is, unless the box changed.
        const bool wasReference = edited.data == stream::kReferenceFolderRowData;
        if (dialog.referenceFolder() != wasReference) {
            edited.data = dialog.referenceFolder() ? stream::kReferenceFolderRowData : 0;
        }
        rows.setRow(row, std::move(edited));
    }
}

void MainWindow::deletePathClicked(QObject*) {
    const int row = selectedRow(*searchPathList_);
    if (row < 0) {
        MessageDialog(MessageKind::Warning,
                      QCoreApplication::translate("frm_utama", "Select a Search Path to Delete."), this);
        return;
    }
    searchPathList_->listModel()->removeRows(row, 1);
    updatePathButtons();
}

} // namespace corvane::ui
