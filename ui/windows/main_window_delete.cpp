// The main window's delete buttons: the files are checked, the user confirms what the check
// found, then the delete dialog moves them.

#include "ui/windows/main_window.h"

#include "ui/forms/list_controls_qt.h"
#include "ui/forms/message_dialog.h"
#include "ui/windows/delete_dialog.h"

#include <QCoreApplication>

namespace corvane::ui {

namespace {

// What the confirmation adds to the program's question: how many files will go, and what stays.
QString countsText(const engine::PlanCounts& counts, DeleteDialog::Action action) {
    QString text;
    switch (action) {
    case DeleteDialog::Action::Trash:
        text = QCoreApplication::translate("frm_utama", "\n\n%1 file(s) will be moved to the trash.")
                   .arg(counts.toAct + counts.lastCopies);
        break;
    case DeleteDialog::Action::Link:
        text = QCoreApplication::translate("frm_utama",
                                           "\n\n%1 file(s) will be replaced with hard links to the copies "
                                           "that stay.")
                   .arg(counts.toAct);
        break;
    case DeleteDialog::Action::ShareBlocks:
        text = QCoreApplication::translate(
                   "frm_utama", "\n\n%1 file(s) will share their blocks with the copies that stay.")
                   .arg(counts.toAct);
        break;
    }
    if (action != DeleteDialog::Action::Trash && counts.lastCopies > 0) {
        text += QCoreApplication::translate("frm_utama",
                                            "\n%1 file(s) will stay as they are: every copy of their "
                                            "contents is ticked, so no copy stays to join them to.")
                    .arg(counts.lastCopies);
    }
    if (counts.keptCopies > 0) {
        text +=
            QCoreApplication::translate(
                "frm_utama", "\n%1 duplicate(s) will stay in place of an original that changed or is gone.")
                .arg(counts.keptCopies);
    }
    if (counts.refused > 0) {
        text += QCoreApplication::translate(
                    "frm_utama", "\n%1 file(s) will stay: they changed or are gone since the search.")
                    .arg(counts.refused);
    }
    return text;
}

} // namespace

void MainWindow::deleteDuplicatesClicked(QObject*) {
    confirmAndDelete(
        DeleteDialog::FilesToDelete::AllDuplicates,
        QCoreApplication::translate("frm_utama", "Are you sure you want to delete all Duplicate files ?"));
}

void MainWindow::deleteCheckedClicked(QObject*) {
    confirmAndDelete(DeleteDialog::FilesToDelete::CheckedFiles,
                     QCoreApplication::translate(
                         "frm_utama", "Are you sure you want to delete all checkmarked files ?\n\rIf you "
                                      "have checkmarked any original files they also be deleted!"));
}

void MainWindow::linkCheckedClicked(QObject*) {
    confirmAndDelete(DeleteDialog::FilesToDelete::CheckedFiles,
                     QCoreApplication::translate(
                         "frm_utama", "Are you sure you want to replace all checkmarked files with "
                                      "hard links to the copies that stay ?"),
                     DeleteDialog::Action::Link);
}

void MainWindow::shareCheckedClicked(QObject*) {
    confirmAndDelete(DeleteDialog::FilesToDelete::CheckedFiles,
                     QCoreApplication::translate(
                         "frm_utama", "Are you sure you want the file system to share the blocks of "
                                      "all checkmarked files with the copies that stay ?"),
                     DeleteDialog::Action::ShareBlocks);
}

void MainWindow::confirmAndDelete(DeleteDialog::FilesToDelete files, const QString& question,
                                  DeleteDialog::Action action) {
    deleteDialog_->setAction(action);
    deleteDialog_->setFilesToDelete(files);
    if (!deleteDialog_->prepare(this)) {
        deleteDialog_->setFilesToDelete(DeleteDialog::FilesToDelete::None);
        return;
    }
    const engine::PlanCounts counts = deleteDialog_->preparedCounts();
    // Where no copy of some contents would stay outside the trash, the box says that first, and
    // Enter alone does not let them go.
    // Only the trash takes a last copy, and so only the trash asks about them.
    const bool lastCopies = counts.lastCopies > 0 && action == DeleteDialog::Action::Trash;
    const QString warning =
        lastCopies ? QCoreApplication::translate("frm_utama",
                                                 "%1 of the files are the last copies of their contents: "
                                                 "no copy of those stays outside the trash.\n\n")
                         .arg(counts.lastCopies)
                   : QString();
    if (MessageDialog(lastCopies ? MessageKind::RiskyConfirmation : MessageKind::Confirmation,
                      warning + question + countsText(counts, action)) != MessageResult::Ok) {
        deleteDialog_->setFilesToDelete(DeleteDialog::FilesToDelete::None);
        return;
    }
    // The user has been told which files are the last copies of their contents.
    deleteDialog_->setMoveLastCopies(action == DeleteDialog::Action::Trash);
    deleteDialog_->exec();
    updateUndo();
    duplicateTree_->setFocus();
}

} // namespace corvane::ui
