// The main window's Help menu: the help page and the about window.

#include "ui/Un_Utama.h"

#include "ui/Un_About.h"
#include "ui/help_page.h"
#include "ui/windows.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QUrl>

namespace corvane::ui {

void Tfrm_utama::Content1Click(QObject*) {
    // Whether the page opens is the desktop's matter; a missing page shows nothing of ours.
    QDesktopServices::openUrl(QUrl::fromLocalFile(helpPageFile(QCoreApplication::applicationDirPath())));
}

void Tfrm_utama::About1Click(QObject*) {
    // Modeless; a window already open is only brought to the front, without reading the
    // settings again.
    if (!frm_about->isVisible()) {
        frm_about->show();
    }
    frm_about->raise();
    frm_about->activateWindow();
}

} // namespace corvane::ui
