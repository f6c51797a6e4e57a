// The main window's delete buttons: confirmation, then the delete dialog, which does the run.

#include "ui/windows/main_window.h"

#include "ui/windows/delete_dialog.h"
#include "ui/windows/message_dialog.h"

namespace corvane::ui {

void MainWindow::deleteDuplicatesClicked(QObject*) {
    if (MessageDialog(MessageKind::Confirmation,
                      QStringLiteral("Are you sure you want to delete all Duplicate files ?")) !=
        MessageResult::Ok) {
        return;
    }
    deleteDialog_->setFilesToDelete(DeleteDialog::FilesToDelete::AllDuplicates);
    deleteDialog_->exec();
}

void MainWindow::deleteCheckedClicked(QObject*) {
    if (MessageDialog(MessageKind::Confirmation,
                      QStringLiteral("Are you sure you want to delete all checkmarked files ?\n\rIf you have "
                                     "checkmarked any original files they also be deleted!")) !=
        MessageResult::Ok) {
        return;
    }
    deleteDialog_->setFilesToDelete(DeleteDialog::FilesToDelete::CheckedFiles);
    deleteDialog_->exec();
}

} // namespace corvane::ui
