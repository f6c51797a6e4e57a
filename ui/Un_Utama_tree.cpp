// The main window's duplicate tree: check boxes, the file information box, opening a file or
// its folder.

#include "platform/file_info.h"
#include "ui/Un_Utama.h"
#include "ui/desktop_shell.h"
#include "ui/list_controls_qt.h"

#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>

namespace corvane::ui {

namespace {

constexpr const char* kUnknown = "Unknown";
constexpr const char* kOriginalFile = "Original file";
constexpr const char* kDuplicateFile = "Duplicate file";

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

void Tfrm_utama::TreeView1Click(QObject*) {
    // Only a click on the picture itself toggles; a click on the text just selects.
    if (TreeView1->stateImageAt(TreeView1->clickPos()).isValid()) {
        toggle(*TreeView1, selectedNode(*TreeView1));
    }
    const QModelIndex index = selectedNode(*TreeView1);
    const DuplicateNode* node = TreeView1->treeModel()->node(index);
    if (!node) {
        return;
    }
    for (QLineEdit* edit : {Edit1, Edit2, Edit3, Edit4}) {
        showText(edit, QLatin1String(kUnknown));
    }
    Bit_open->setEnabled(true);
    bit_explorer->setEnabled(true);
    showText(Edit1, QLatin1String(DuplicateTreeModel::isTopLevel(index) ? kOriginalFile : kDuplicateFile));
    showText(Edit2, index.data(Qt::DisplayRole).toString());
    if (const std::optional<platform::FileInfo> info = platform::lookupFile(node->text)) {
        showText(Edit3, texts_.sizeText(info->size));
        showText(Edit4, texts_.creationDateText(info->creationTime));
    }
    bit_del_dup->setEnabled(true);
    bit_del_checked->setEnabled(true);
}

void Tfrm_utama::TreeView1KeyDown(const EventArgs& args) {
    if (args.key && *args.key == Qt::Key_Space) {
        toggle(*TreeView1, selectedNode(*TreeView1));
    }
}

void Tfrm_utama::Bit_openClick(QObject*) {
    if (const DuplicateNode* node = TreeView1->treeModel()->node(selectedNode(*TreeView1))) {
        openFile(node->text);
    }
}

void Tfrm_utama::bit_explorerClick(QObject*) {
    if (const DuplicateNode* node = TreeView1->treeModel()->node(selectedNode(*TreeView1))) {
        showInFileManager(node->text);
    }
}

} // namespace corvane::ui
