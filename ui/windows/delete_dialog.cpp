#include "ui/windows/delete_dialog.h"

#include "ui/desktop/recycle_bin.h"
#include "ui/views/duplicate_tree_model.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace corvane::ui {

DeleteDialog::DeleteDialog(DuplicateTreeModel& tree, QWidget* parent) : DialogForm(parent), tree_(tree) {
    addHandler("FormShow", [this](const EventArgs& args) { formShown(args.sender); });
    addHandler("btn_okClick", [this](const EventArgs& args) { okClicked(args.sender); });
    load("Tfrm_delete", "delete_dialog");
}

void DeleteDialog::descriptionLoaded() {
    failureList_ = control<QPlainTextEdit>("Memo1");
    progressBar_ = control<QProgressBar>("ProgressBar1");
    countLabel_ = control<QLabel>("Label1");
    okButton_ = control<QPushButton>("btn_ok");
}

void DeleteDialog::formShown(QObject*) {
    if (running_) {
        return;
    }
    running_ = true;
    failureList_->clear();
    okButton_->setEnabled(false);
    // The show handler runs before the dialog is on the screen. The run starts from the event
    // loop that the showing enters, so that the dialog is there to paint its progress.
    QTimer::singleShot(0, this, &DeleteDialog::run);
}

void DeleteDialog::okClicked(QObject*) {
    accept();
}

void DeleteDialog::reject() {
    if (!running_) {
        DialogForm::reject();
    }
}

void DeleteDialog::closeEvent(QCloseEvent* event) {
    if (running_) {
        event->ignore();
        return;
    }
    DialogForm::closeEvent(event);
}

void DeleteDialog::collect() {
    childNodesToDelete_.clear();
    topNodesToDelete_.clear();
    const bool allDuplicates = filesToDelete_ == FilesToDelete::AllDuplicates;
    const bool checkedFiles = filesToDelete_ == FilesToDelete::CheckedFiles;
    if (!allDuplicates && !checkedFiles) {
        return;
    }
    for (int top = 0; top < tree_.rowCount(); ++top) {
        const QModelIndex group = tree_.index(top, 0);
        const DuplicateNode* topNode = tree_.node(group);
        if (checkedFiles && topNode->stateIndex == kStateChecked) {
            topNodesToDelete_.push_back({top, -1, topNode, topNode->text});
        }
        for (int child = 0; child < tree_.rowCount(group); ++child) {
            const DuplicateNode* childNode = tree_.node(tree_.index(child, 0, group));
            if (allDuplicates || (checkedFiles && childNode->stateIndex == kStateChecked)) {
                childNodesToDelete_.push_back({top, child, childNode, childNode->text});
            }
        }
    }
}

void DeleteDialog::run() {
    collect();
    total_ = static_cast<int32_t>(childNodesToDelete_.size() + topNodesToDelete_.size());
    // With nothing to delete the bar keeps what it showed: a range from 1 to 0 is not valid.
    // Otherwise it keeps its position where that lies in the new range, and is empty if not.
    if (total_ > 0) {
        progressBar_->setRange(1, total_);
    }
    successCount_ = 0;
    removedChildren_.assign(static_cast<size_t>(tree_.rowCount()), 0);
    removedTops_ = 0;
    int k = 0;
    for (const NodeToDelete& entry : childNodesToDelete_) {
        deleteEntry(entry, ++k);
    }
    for (const NodeToDelete& entry : topNodesToDelete_) {
        deleteEntry(entry, ++k);
    }
    // The entries point into the tree; they are not kept past the run.
    childNodesToDelete_.clear();
    topNodesToDelete_.clear();
    running_ = false;
    okButton_->setEnabled(true);
}

void DeleteDialog::deleteEntry(const NodeToDelete& entry, int k) {
    QApplication::processEvents();
    QModelIndex index = tree_.index(entry.topRow - removedTops_, 0);
    if (entry.childRow >= 0) {
        index = tree_.index(entry.childRow - removedChildren_[static_cast<size_t>(entry.topRow)], 0, index);
    }
    const DuplicateNode* node = tree_.node(index);
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
    progressBar_->setValue(k);
    countLabel_->setText(QStringLiteral("deleted %1 of %2").arg(successCount_).arg(total_));
    countLabel_->adjustSize();
    tree_.removeNode(index);
    if (entry.childRow >= 0) {
        ++removedChildren_[static_cast<size_t>(entry.topRow)];
    } else {
        ++removedTops_;
    }
}

void DeleteDialog::listFailure(const QString& line) {
    if (failureList_->document()->isEmpty()) {
        failureList_->appendPlainText(QLatin1String(kFailedHeading));
    }
    failureList_->appendPlainText(line);
}

} // namespace corvane::ui
