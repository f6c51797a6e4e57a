// The main window's search path list: adding, editing and deleting paths with the path dialog.

#include "ui/Un_Utama.h"

namespace corvane::ui {

void Tfrm_utama::Bit_AddClick(QObject*) {}
void Tfrm_utama::Bit_editClick(QObject*) {}
void Tfrm_utama::Bit_DelClick(QObject*) {}

} // namespace corvane::ui
