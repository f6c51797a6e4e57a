// The main window's duplicate tree: check boxes, the file information box, opening a file or
// its folder.

#include "platform/file_info.h"
#include "ui/desktop/desktop_shell.h"
#include "ui/forms/list_controls_qt.h"
#include "ui/forms/message_dialog.h"
#include "ui/views/shown_name.h"
#include "ui/windows/main_window.h"

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

void toggle(TreeViewWidget& tree, const QModelIndex& node) {
    tree.treeModel()->ToggleCheckState(node, kStateUnchecked, kStateChecked, kStateRadioOff, kStateRadioOn);
}

// Shows a text from its start, as a long path reads best.
void showText(QLineEdit* edit, const QString& text) {
    edit->setText(text);
    edit->setCursorPosition(0);
}

} // namespace

DuplicateTreeModel& MainWindow::duplicateModel() const {
    return *duplicateTree_->treeModel();
}

void MainWindow::treeClicked(QObject*) {
    // Only a click on the picture itself toggles; a click on the text just selects.
    if (duplicateTree_->stateImageAt(duplicateTree_->clickPos()).isValid()) {
        toggle(*duplicateTree_, duplicateTree_->currentIndex());
    }
    showFileInformation();
}

void MainWindow::showFileInformation() {
    const QModelIndex index = duplicateTree_->currentIndex();
    const DuplicateNode* node = duplicateTree_->treeModel()->node(index);
    if (!node) {
        // No file is current: the tree was replaced, or the file's node went with its file.
        for (QLineEdit* edit : {fileTypeField_, locationField_, sizeField_, createdField_}) {
            edit->clear();
        }
        openFileButton_->setEnabled(false);
        openFolderButton_->setEnabled(false);
        return;
    }
    for (QLineEdit* edit : {fileTypeField_, locationField_, sizeField_, createdField_}) {
        showText(edit, text(kUnknown));
    }
    openFileButton_->setEnabled(true);
    openFolderButton_->setEnabled(true);
    showText(fileTypeField_, text(DuplicateTreeModel::isTopLevel(index) ? kOriginalFile : kDuplicateFile));
    showText(locationField_, shownName(node->text));
    if (const std::optional<platform::FileInfo> info = platform::lookupFile(node->text)) {
        showText(sizeField_, texts_.sizeText(info->size));
        showText(createdField_, texts_.creationDateText(info->creationTime));
    }
    deleteDuplicatesButton_->setEnabled(true);
    deleteCheckedButton_->setEnabled(true);
}

void MainWindow::followTree() {
    // Whatever makes a node current (a click, the arrow keys, the focus coming to the tree) or
    // takes it away (its file deleted, the tree emptied or read from a set), the information box
    // and its buttons show that node.
    connect(duplicateTree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { showFileInformation(); });
    connect(duplicateTree_->treeModel(), &QAbstractItemModel::modelReset, this,
            [this] { showFileInformation(); });
    // A tick, by any way (one node's, or many at once from the Select menu), makes the files it
    // marks something to delete.
    const auto ticked = [this] {
        if (duplicateTree_->isEnabled()) {
            deleteDuplicatesButton_->setEnabled(true);
            deleteCheckedButton_->setEnabled(true);
        }
    };
    connect(duplicateTree_->treeModel(), &QAbstractItemModel::dataChanged, this, ticked);
    connect(duplicateTree_->treeModel(), &DuplicateTreeModel::checkStatesChanged, this, ticked);
}

void MainWindow::treeKeyDown(const EventArgs& args) {
    if (!args.key) {
        return;
    }
    if (*args.key == Qt::Key_Space) {
        // The current node, selected or not yet: the first press ticks it.
        toggle(*duplicateTree_, duplicateTree_->currentIndex());
    } else if (*args.key == Qt::Key_Delete && (args.modifiers & ~Qt::KeypadModifier) == Qt::NoModifier &&
               deleteCheckedButton_->isEnabled()) {
        // As the button: the question comes first.
        deleteCheckedButton_->click();
    }
}

void MainWindow::openFileClicked(QObject*) {
    const DuplicateNode* node = duplicateTree_->treeModel()->node(duplicateTree_->currentIndex());
    if (!node) {
        return;
    }
    const QString shown = shownName(node->text);
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
    const DuplicateNode* node = duplicateTree_->treeModel()->node(duplicateTree_->currentIndex());
    if (!node) {
        return;
    }
    const QString shown = shownName(node->text);
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
