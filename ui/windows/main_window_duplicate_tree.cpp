// The main window's duplicate tree: check boxes, the file information box, opening a file or
// its folder.

#include "platform/file_info.h"
#include "ui/desktop/desktop_shell.h"
#include "ui/forms/list_controls_qt.h"
#include "ui/windows/main_window.h"
#include "ui/windows/message_dialog.h"

#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>

namespace corvane::ui {

namespace {

constexpr const char* kUnknown = QT_TRANSLATE_NOOP("frm_utama", "Unknown");
constexpr const char* kOriginalFile = QT_TRANSLATE_NOOP("frm_utama", "Original file");
constexpr const char* kDuplicateFile = QT_TRANSLATE_NOOP("frm_utama", "Duplicate file");

QString text(const char* english) {
    return QCoreApplication::translate("frm_utama", english);
}

// The tree's selected node (there is at most one), or an invalid index.
QModelIndex selectedNode(const TreeViewWidget& tree) {
    const QItemSelectionModel* selection = tree.selectionModel();
    if (!selection) {
        return {};
    }
    const QModelIndexList selected = selection->selectedIndexes();
    return selected.isEmpty() ? QModelIndex() : selected.first();
}

void toggle(TreeViewWidget& tree, const QModelIndex& node) {
    tree.treeModel()->ToggleCheckState(node, kStateUnchecked, kStateChecked, kStateRadioOff, kStateRadioOn);
}

// Shows a text from its start, as a long path reads best.
void showText(QLineEdit* edit, const QString& text) {
    edit->setText(text);
    edit->setCursorPosition(0);
}

} // namespace

void MainWindow::treeClicked(QObject*) {
    // Only a click on the picture itself toggles; a click on the text just selects.
    if (duplicateTree_->stateImageAt(duplicateTree_->clickPos()).isValid()) {
        toggle(*duplicateTree_, selectedNode(*duplicateTree_));
    }
    const QModelIndex index = selectedNode(*duplicateTree_);
    const DuplicateNode* node = duplicateTree_->treeModel()->node(index);
    if (!node) {
        return;
    }
    for (QLineEdit* edit : {fileTypeField_, locationField_, sizeField_, createdField_}) {
        showText(edit, text(kUnknown));
    }
    openFileButton_->setEnabled(true);
    openFolderButton_->setEnabled(true);
    showText(fileTypeField_, text(DuplicateTreeModel::isTopLevel(index) ? kOriginalFile : kDuplicateFile));
    showText(locationField_, index.data(Qt::DisplayRole).toString());
    if (const std::optional<platform::FileInfo> info = platform::lookupFile(node->text)) {
        showText(sizeField_, texts_.sizeText(info->size));
        showText(createdField_, texts_.creationDateText(info->creationTime));
    }
    deleteDuplicatesButton_->setEnabled(true);
    deleteCheckedButton_->setEnabled(true);
}

void MainWindow::treeKeyDown(const EventArgs& args) {
    if (args.key && *args.key == Qt::Key_Space) {
        toggle(*duplicateTree_, selectedNode(*duplicateTree_));
    }
}

void MainWindow::openFileClicked(QObject*) {
    const DuplicateNode* node = duplicateTree_->treeModel()->node(selectedNode(*duplicateTree_));
    if (!node) {
        return;
    }
    const QString shown = QString::fromUtf8(node->text);
    if (!platform::lookupFile(node->text)) {
        MessageDialog(
            MessageKind::Warning,
            text(QT_TRANSLATE_NOOP("frm_utama", "The file \"%1\" cannot be opened: it is not there any "
                                                "more."))
                .arg(shown),
            this);
    } else if (!openFile(node->text)) {
        MessageDialog(
            MessageKind::Warning,
            text(QT_TRANSLATE_NOOP("frm_utama", "The file \"%1\" cannot be opened: the desktop has no "
                                                "program to open it with."))
                .arg(shown),
            this);
    }
}

void MainWindow::openFolderClicked(QObject*) {
    const DuplicateNode* node = duplicateTree_->treeModel()->node(selectedNode(*duplicateTree_));
    if (!node) {
        return;
    }
    const QString shown = QString::fromUtf8(node->text);
    showInFileManager(node->text, [this, shown] {
        if (!closed_) {
            MessageDialog(
                MessageKind::Warning,
                text(QT_TRANSLATE_NOOP("frm_utama", "The folder of \"%1\" cannot be shown: the desktop "
                                                    "has no file manager to show it in."))
                    .arg(shown),
                this);
        }
    });
}

} // namespace corvane::ui
