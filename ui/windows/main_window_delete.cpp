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
QString countsText(const engine::PlanCounts& counts) {
    QString text = QCoreApplication::translate("frm_utama", "\n\n%1 file(s) will be moved to the trash.")
                       .arg(counts.toAct + counts.lastCopies);
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

void MainWindow::confirmAndDelete(DeleteDialog::FilesToDelete files, const QString& question) {
    deleteDialog_->setFilesToDelete(files);
    if (!deleteDialog_->prepare(this)) {
        deleteDialog_->setFilesToDelete(DeleteDialog::FilesToDelete::None);
        return;
    }
    const engine::PlanCounts counts = deleteDialog_->preparedCounts();
    // Where no copy of some contents would stay outside the trash, the box says that first, and
    // Enter alone does not let them go.
    const bool lastCopies = counts.lastCopies > 0;
    const QString warning =
        lastCopies ? QCoreApplication::translate("frm_utama",
                                                 "%1 of the files are the last copies of their contents: "
                                                 "no copy of those stays outside the trash.\n\n")
                         .arg(counts.lastCopies)
                   : QString();
    if (MessageDialog(lastCopies ? MessageKind::RiskyConfirmation : MessageKind::Confirmation,
                      warning + question + countsText(counts)) != MessageResult::Ok) {
        deleteDialog_->setFilesToDelete(DeleteDialog::FilesToDelete::None);
        return;
    }
    // The user has been told which files are the last copies of their contents.
    deleteDialog_->setMoveLastCopies(true);
    deleteDialog_->exec();
    updateUndo();
    duplicateTree_->setFocus();
}

} // namespace corvane::ui
