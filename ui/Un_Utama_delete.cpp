// The main window's delete buttons: confirmation, then the delete dialog, which does the run.

#include "ui/Un_Utama.h"

#include "ui/Un_delete.h"
#include "ui/message_dialog.h"
#include "ui/windows.h"

namespace corvane::ui {

void Tfrm_utama::bit_del_dupClick(QObject*) {
    if (MessageDialog(MessageKind::Confirmation,
                      QStringLiteral("Are you sure you want to delete all Duplicate files ?")) !=
        MessageResult::Ok) {
        return;
    }
    DeleteAllDuplicates = true;
    DeleteCheckedFiles = false;
    frm_delete->exec();
}

void Tfrm_utama::bit_del_checkedClick(QObject*) {
    if (MessageDialog(MessageKind::Confirmation,
                      QStringLiteral("Are you sure you want to delete all checkmarked files ?\n\rIf you have "
                                     "checkmarked any original files they also be deleted!")) !=
        MessageResult::Ok) {
        return;
    }
    DeleteCheckedFiles = true;
    DeleteAllDuplicates = false;
    frm_delete->exec();
}

} // namespace corvane::ui
