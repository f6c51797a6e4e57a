// The main window's Help menu: the help page and the about window.

#include "ui/windows/main_window.h"

#include "ui/desktop/desktop_shell.h"
#include "ui/windows/about_window.h"
#include "ui/windows/help_page.h"
#include "ui/windows/message_dialog.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QUrl>

namespace corvane::ui {

void MainWindow::helpContentClicked(QObject*) {
    const QString page = helpPageFile(QCoreApplication::applicationDirPath());
    if (!QFileInfo(page).isFile()) {
        MessageDialog(MessageKind::Warning,
                      QCoreApplication::translate("frm_utama", "The help page \"%1\" is missing.").arg(page),
                      this);
    } else if (!desktopServices().openUrl(QUrl::fromLocalFile(page))) {
        MessageDialog(MessageKind::Warning,
                      QCoreApplication::translate("frm_utama",
                                                  "The help page \"%1\" cannot be opened: the desktop "
                                                  "has no program to open it with.")
                          .arg(page),
                      this);
    }
}

void MainWindow::aboutClicked(QObject*) {
    // Modeless; a window already open is only brought to the front, without reading the
    // settings again.
    if (!aboutWindow_->isVisible()) {
        aboutWindow_->show();
    }
    aboutWindow_->raise();
    aboutWindow_->activateWindow();
}

} // namespace corvane::ui
