// The main window's duplicate tree: check boxes, the file information box, opening a file or
// its folder.

#include "ui/Un_Utama.h"

namespace corvane::ui {

void Tfrm_utama::TreeView1Click(QObject*) {}
void Tfrm_utama::TreeView1KeyDown(const EventArgs&) {}
void Tfrm_utama::Bit_openClick(QObject*) {}
void Tfrm_utama::bit_explorerClick(QObject*) {}

} // namespace corvane::ui
