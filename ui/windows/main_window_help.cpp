// The main window's Help menu: the help page and the about window.

#include "ui/windows/main_window.h"

#include "ui/desktop/translations.h"
#include "ui/forms/message_dialog.h"
#include "ui/windows/about_window.h"
#include "ui/windows/help_page.h"
#include "ui/windows/help_window.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace corvane::ui {

void MainWindow::helpContentClicked(QObject*) {
    const QString page = helpPageFile(QCoreApplication::applicationDirPath(), programLanguage());
    if (!QFileInfo(page).isFile()) {
        MessageDialog(MessageKind::Warning,
                      QCoreApplication::translate("frm_utama", "The help page \"%1\" is missing.").arg(page),
                      this);
        return;
    }
    // The program's own window: no web browser is needed to read the help.
    if (!helpWindow_) {
        helpWindow_ = new HelpWindow(this);
    }
    helpWindow_->showPage(page);
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
