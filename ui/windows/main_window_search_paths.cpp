// The main window's search path list: adding, editing and deleting paths with the path dialog.

#include "ui/forms/list_controls_qt.h"
#include "ui/views/search_path_list.h"
#include "ui/windows/main_window.h"
#include "ui/windows/message_dialog.h"
#include "ui/windows/path_dialog.h"
#include "ui/windows/windows.h"

#include <QLineEdit>
#include <QPushButton>

namespace corvane::ui {

namespace {

constexpr const char* kAddTitle = "Add Search Path...";
constexpr const char* kEditTitle = "Edit Search Path...";
constexpr const char* kAllFiles = "*.*";

// The path buttons follow the row count. A running search keeps searchButton_, which is then its
// only way to stop, whatever happens to the list it has already copied.
void updatePathButtons(MainWindow& window) {
    const bool hasRows = window.searchPathList_->listModel()->count() > 0;
    const bool searching = window.searchButton_->text() != QLatin1String(MainWindow::kStartSearch);
    window.searchButton_->setEnabled(hasRows || searching);
    window.deletePathButton_->setEnabled(hasRows);
    window.editPathButton_->setEnabled(hasRows);
}

} // namespace

void MainWindow::addPathClicked(QObject*) {
    thePathDialog->setPathBytes({});
    thePathDialog->setPatternBytes({});
    thePathDialog->setWindowTitle(QLatin1String(kAddTitle));
    thePathDialog->okButton_->setText(QLatin1String(PathDialog::kAddCaption));
    thePathDialog->setPatternBytes(kAllFiles);
    thePathDialog->exec();
    updatePathButtons(*this);
}

void MainWindow::editPathClicked(QObject*) {
    const int row = selectedRow(*searchPathList_);
    if (row < 0) {
        MessageDialog(MessageKind::Warning, QStringLiteral("Select a Search Path to Edit."), this);
        return;
    }
    const ListRow& entry = searchPathList_->listModel()->row(row);
    thePathDialog->setPathBytes(entry.caption());
    thePathDialog->setPatternBytes(entry.subItemText(0));
    thePathDialog->setWindowTitle(QLatin1String(kEditTitle));
    thePathDialog->okButton_->setText(QLatin1String(PathDialog::kSaveCaption));
    thePathDialog->exec();
}

void MainWindow::deletePathClicked(QObject*) {
    const int row = selectedRow(*searchPathList_);
    if (row < 0) {
        MessageDialog(MessageKind::Warning, QStringLiteral("Select a Search Path to Delete."), this);
        return;
    }
    searchPathList_->listModel()->removeRows(row, 1);
    updatePathButtons(*this);
}

} // namespace corvane::ui
