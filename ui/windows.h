#pragma once

// The program's four windows, each created once at start-up and kept until it ends.

namespace corvane::ui {

class Tfrm_utama;
class Tfrm_add;
class Tfrm_delete;
class Tfrm_about;

extern Tfrm_utama* frm_utama;
extern Tfrm_add* frm_add;
extern Tfrm_delete* frm_delete;
extern Tfrm_about* frm_about;

} // namespace corvane::ui
