// The main window's Help menu: the help page and the about window.

#include "ui/windows/main_window.h"

#include "ui/windows/about_window.h"
#include "ui/windows/help_page.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QUrl>

namespace corvane::ui {

void MainWindow::helpContentClicked(QObject*) {
    // Whether the page opens is the desktop's matter; a missing page shows nothing of ours.
    QDesktopServices::openUrl(QUrl::fromLocalFile(helpPageFile(QCoreApplication::applicationDirPath())));
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
