#include "ui/windows.h"

namespace corvane::ui {

Tfrm_utama* frm_utama = nullptr;
Tfrm_add* frm_add = nullptr;
Tfrm_delete* frm_delete = nullptr;
Tfrm_about* frm_about = nullptr;

} // namespace corvane::ui
