// The main window's File > Save and File > Open: result file sets.

#include "ui/Un_Utama.h"

namespace corvane::ui {

void Tfrm_utama::Save1Click(QObject*) {}
void Tfrm_utama::Open1Click(QObject*) {}

} // namespace corvane::ui
