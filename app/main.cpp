// Corvane's start-up: one instance per session, the application title, the four windows created
// in order from their descriptions, and the message loop until the main window closes.

#include "app/instance_channel.h"
#include "app/single_instance.h"
#include "engine/worker_thread.h"
#include "ui/desktop/translations.h"
#include "ui/windows/main_window.h"
#include "ui/windows/message_dialog.h"
#include "ui/windows/program_windows.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>
#include <chrono>
#include <cstdio>
#include <exception>

namespace {

constexpr const char* kInstanceName = "corvane";
// How long a second start waits for the running window to come to the front.
constexpr int kShowTimeoutMs = 5000;

// A second start while one runs brings the running window to the front and ends with status 0,
// saying on the terminal what it did.
int secondStart(int argc, char** argv) {
    using namespace corvane;
    QCoreApplication application(argc, argv);
    ui::installTranslations(QLocale::system());
    const bool shown = app::askRunningInstanceToShow(kInstanceName, kShowTimeoutMs);
    const QString note = shown ? QCoreApplication::translate(
                                     "Corvane", "Corvane is already running: its window is in front now.")
                               : QCoreApplication::translate("Corvane", "Corvane is already running.");
    std::fprintf(stderr, "%s\n", note.toLocal8Bit().constData());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    using namespace corvane;
    // A marker that cannot be taken at all lets the program run.
    const app::InstanceMarker marker = app::takeInstanceMarker(kInstanceName);
    if (marker == app::InstanceMarker::HeldByAnother) {
        return secondStart(argc, argv);
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvane"));
    QApplication::setApplicationDisplayName(QStringLiteral("Corvane"));
    QApplication::setDesktopFileName(QStringLiteral("corvane"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/corvane.svg")));
    ui::installTranslations(QLocale::system());

    int status = 0;
    try {
        const ui::ProgramWindows windows;
        std::unique_ptr<app::InstanceListener> listener;
        if (marker == app::InstanceMarker::Acquired) {
            listener =
                std::make_unique<app::InstanceListener>(kInstanceName, [&windows](const QByteArray& token) {
                    return windows.mainWindow().bringToFront(token);
                });
        }
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
