// Handlers of the main window whose features are not available yet: they do nothing.

#include "ui/Un_Utama.h"

namespace corvane::ui {

void Tfrm_utama::TreeView1Click(QObject*) {}
void Tfrm_utama::TreeView1KeyDown(const EventArgs&) {}
void Tfrm_utama::Bit_openClick(QObject*) {}
void Tfrm_utama::bit_explorerClick(QObject*) {}
void Tfrm_utama::Bit_AddClick(QObject*) {}
void Tfrm_utama::Bit_editClick(QObject*) {}
void Tfrm_utama::Bit_DelClick(QObject*) {}
void Tfrm_utama::bit_del_dupClick(QObject*) {}
void Tfrm_utama::bit_del_checkedClick(QObject*) {}
void Tfrm_utama::Content1Click(QObject*) {}
void Tfrm_utama::About1Click(QObject*) {}
void Tfrm_utama::Save1Click(QObject*) {}
void Tfrm_utama::Open1Click(QObject*) {}

} // namespace corvane::ui
