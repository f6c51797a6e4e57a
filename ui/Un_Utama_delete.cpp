// The main window's delete buttons: confirmation, then the delete dialog.

#include "ui/Un_Utama.h"

namespace corvane::ui {

void Tfrm_utama::bit_del_dupClick(QObject*) {}
void Tfrm_utama::bit_del_checkedClick(QObject*) {}

} // namespace corvane::ui
