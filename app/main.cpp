// Corvane's start-up: one instance per session, the application title, the four windows created
// in order from their descriptions, and the message loop until the main window closes.

#include "app/single_instance.h"
#include "engine/worker_thread.h"
#include "ui/Un_About.h"
#include "ui/Un_Add.h"
#include "ui/Un_Utama.h"
#include "ui/Un_delete.h"
#include "ui/message_dialog.h"
#include "ui/windows.h"

#include <QApplication>
#include <QIcon>
#include <chrono>
#include <exception>

int main(int argc, char** argv) {
    using namespace corvane;
    // A second start while one runs ends at once and shows nothing. A marker that cannot be
    // taken at all lets the program run.
    if (app::takeInstanceMarker() == app::InstanceMarker::HeldByAnother) {
        return 0;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvane"));
    QApplication::setApplicationDisplayName(QStringLiteral("Corvane"));
    QApplication::setDesktopFileName(QStringLiteral("corvane"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/corvane.svg")));

    int status = 0;
    try {
        ui::Tfrm_utama mainWindow;
        ui::frm_utama = &mainWindow;
        ui::Tfrm_add pathDialog(&mainWindow);
        ui::frm_add = &pathDialog;
        ui::Tfrm_delete deleteDialog(&mainWindow);
        ui::frm_delete = &deleteDialog;
        ui::Tfrm_about aboutWindow(&mainWindow);
        ui::frm_about = &aboutWindow;

        mainWindow.show();
        status = QApplication::exec();
        ui::frm_about = nullptr;
        ui::frm_delete = nullptr;
        ui::frm_add = nullptr;
        ui::frm_utama = nullptr;
    } catch (const std::exception& error) {
        ui::showErrorBox(QString::fromUtf8(error.what()));
        status = 1;
    }
    // A worker told to stop when the window closed reports nothing more; give it a moment to end.
    engine::WorkerThread::waitUntilNoneRuns(std::chrono::seconds(5));
    return status;
}
