// Corvane's start-up: one instance per session, the application title, the four windows created
// in order from their descriptions, and the message loop until the main window closes.

#include "app/single_instance.h"
#include "engine/worker_thread.h"
#include "ui/windows/main_window.h"
#include "ui/windows/message_dialog.h"
#include "ui/windows/program_windows.h"

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
        const ui::ProgramWindows windows;
        windows.mainWindow().show();
        status = QApplication::exec();
    } catch (const std::exception& error) {
        ui::showErrorBox(QString::fromUtf8(error.what()));
        status = 1;
    }
    // A worker told to stop when the window closed reports nothing more; give it a moment to end.
    engine::WorkerThread::waitUntilNoneRuns(std::chrono::seconds(5));
    return status;
}
