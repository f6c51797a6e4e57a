#include "ui/Un_delete.h"

#include "ui/Un_Utama.h"
#include "ui/list_controls_qt.h"
#include "ui/recycle_bin.h"
#include "ui/windows.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace corvane::ui {

Tfrm_delete::Tfrm_delete(QWidget* parent) : DialogForm(parent) {
    addHandler("FormShow", [this](const EventArgs& args) { FormShow(args.sender); });
    addHandler("btn_okClick", [this](const EventArgs& args) { btn_okClick(args.sender); });
    load("Tfrm_delete");
}

void Tfrm_delete::descriptionLoaded() {
    Memo1 = control<QPlainTextEdit>("Memo1");
    ProgressBar1 = control<QProgressBar>("ProgressBar1");
    Label1 = control<QLabel>("Label1");
    btn_ok = control<QPushButton>("btn_ok");
}

void Tfrm_delete::FormShow(QObject*) {
    if (running_) {
        return;
    }
    running_ = true;
    Memo1->clear();
    btn_ok->setEnabled(false);
    // The show handler runs before the dialog is on the screen. The run starts from the event
    // loop that the showing enters, so that the dialog is there to paint its progress.
    QTimer::singleShot(0, this, &Tfrm_delete::run);
}

void Tfrm_delete::btn_okClick(QObject*) {
    accept();
}

void Tfrm_delete::reject() {
    if (!running_) {
        DialogForm::reject();
    }
}

void Tfrm_delete::closeEvent(QCloseEvent* event) {
    if (running_) {
        event->ignore();
        return;
    }
    DialogForm::closeEvent(event);
}

void Tfrm_delete::collect() {
    ChildNodesToDelete.clear();
    TopNodesToDelete.clear();
    if (frm_utama == nullptr) {
        return;
    }
    const auto reserve = static_cast<size_t>(std::max<int32_t>(frm_utama->DuplicateCount, 0));
    ChildNodesToDelete.reserve(reserve);
    TopNodesToDelete.reserve(reserve);
    const bool allDuplicates = frm_utama->DeleteAllDuplicates;
    const bool checkedFiles = frm_utama->DeleteCheckedFiles;
    const DuplicateTreeModel* tree = frm_utama->TreeView1->treeModel();
    for (int top = 0; top < tree->rowCount(); ++top) {
        const QModelIndex group = tree->index(top, 0);
        const DuplicateNode* topNode = tree->node(group);
        if (checkedFiles && topNode->stateIndex == kStateChecked) {
            TopNodesToDelete.push_back({top, -1, topNode, topNode->text});
        }
        for (int child = 0; child < tree->rowCount(group); ++child) {
            const DuplicateNode* childNode = tree->node(tree->index(child, 0, group));
            if (allDuplicates || (checkedFiles && childNode->stateIndex == kStateChecked)) {
                ChildNodesToDelete.push_back({top, child, childNode, childNode->text});
            }
        }
    }
}

void Tfrm_delete::run() {
    collect();
    total_ = static_cast<int32_t>(ChildNodesToDelete.size() + TopNodesToDelete.size());
    // With nothing to delete the bar keeps what it showed: a range from 1 to 0 is not valid.
    // Otherwise it keeps its position where that lies in the new range, and is empty if not.
    if (total_ > 0) {
        ProgressBar1->setRange(1, total_);
    }
    successCount_ = 0;
    removedChildren_.assign(
        frm_utama ? static_cast<size_t>(frm_utama->TreeView1->treeModel()->rowCount()) : 0, 0);
    removedTops_ = 0;
    int k = 0;
    for (const NodeToDelete& entry : ChildNodesToDelete) {
        deleteEntry(entry, ++k);
    }
    for (const NodeToDelete& entry : TopNodesToDelete) {
        deleteEntry(entry, ++k);
    }
    // The entries point into the tree; they are not kept past the run.
    ChildNodesToDelete.clear();
    TopNodesToDelete.clear();
    running_ = false;
    btn_ok->setEnabled(true);
}

void Tfrm_delete::deleteEntry(const NodeToDelete& entry, int k) {
    QApplication::processEvents();
    DuplicateTreeModel* tree = frm_utama->TreeView1->treeModel();
    QModelIndex index = tree->index(entry.topRow - removedTops_, 0);
    if (entry.childRow >= 0) {
        index = tree->index(entry.childRow - removedChildren_[static_cast<size_t>(entry.topRow)], 0, index);
    }
    const DuplicateNode* node = tree->node(index);
    if (node != entry.node) {
        // The modal run leaves nobody else to change the tree; should it change all the same,
        // no file is touched on a guess.
        listFailure(QString::fromUtf8(entry.text) + QStringLiteral(" \u2014 no longer in the list"));
        return;
    }
    QString reason;
    if (!DeleteToRecycleBin(node->text, node->fileInfo, &reason)) {
        const QString path = QString::fromUtf8(node->text);
        listFailure(reason.isEmpty() ? path : path + QStringLiteral(" \u2014 ") + reason);
        return;
    }
    ++successCount_;
    ProgressBar1->setValue(k);
    Label1->setText(QStringLiteral("deleted %1 of %2").arg(successCount_).arg(total_));
    Label1->adjustSize();
    tree->removeNode(index);
    if (entry.childRow >= 0) {
        ++removedChildren_[static_cast<size_t>(entry.topRow)];
    } else {
        ++removedTops_;
    }
}

void Tfrm_delete::listFailure(const QString& line) {
    if (Memo1->document()->isEmpty()) {
        Memo1->appendPlainText(QLatin1String(kFailedHeading));
    }
    Memo1->appendPlainText(line);
}

} // namespace corvane::ui
