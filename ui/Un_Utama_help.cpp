// The main window's Help menu: the help page and the about window.

#include "ui/Un_Utama.h"

namespace corvane::ui {

void Tfrm_utama::Content1Click(QObject*) {}
void Tfrm_utama::About1Click(QObject*) {}

} // namespace corvane::ui
