// Corvane's start-up: the command line, one instance per session, the application title, the four
// windows created in order from their descriptions, and the message loop until the main window
// closes.

#include "app/application_start.h"
#include "app/command_line.h"
#include "app/instance_channel.h"
#include "app/single_instance.h"
#include "app/window_requests.h"
#include "engine/worker_thread.h"
#include "ui/desktop/frame_style.h"
#include "ui/desktop/translations.h"
#include "ui/forms/message_dialog.h"
#include "ui/windows/main_window.h"
#include "ui/windows/program_windows.h"

#include <QApplication>
#include <QLocale>
#include <chrono>
#include <cstdio>
#include <exception>

namespace {

constexpr const char* kInstanceName = "corvane";
// How long a second start waits for the running window to come to the front.
constexpr int kShowTimeoutMs = 5000;

// A second start given a result set hands it to the running window, which comes to the front,
// asks before it replaces what it shows and opens the set; it ends with status 0, saying on the
// terminal what the window answered. Without a set a second start ends at once, silently: the
// running window is not told.
int secondStart(int argc, char** argv, const std::string& file) {
    using namespace corvane;
    if (file.empty()) {
        return 0;
    }
    QCoreApplication application(argc, argv);
    ui::installTranslations(QLocale::system());
    const app::InstanceAnswer answer = app::askRunningInstance(kInstanceName, file, kShowTimeoutMs);
    QString note;
    switch (answer) {
    case app::InstanceAnswer::Shown:
        note =
            QCoreApplication::translate("Corvane", "Corvane is already running: its window is in front now.");
        break;
    case app::InstanceAnswer::NotShown:
        note = QCoreApplication::translate("Corvane", "Corvane is already running.");
        break;
    case app::InstanceAnswer::Busy:
        note = QCoreApplication::translate(
            "Corvane", "Corvane is already running and busy: open the result set there once it is done.");
        break;
    }
    std::fprintf(stderr, "%s\n", note.toLocal8Bit().constData());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    using namespace corvane;
    // Read before Qt starts: --help and --version need no display, and a bad command line ends here.
    const app::CommandLine commandLine =
        app::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (commandLine.action) {
    case app::CommandLine::Action::Help:
        std::fputs(app::helpText().c_str(), stdout);
        return 0;
    case app::CommandLine::Action::Version:
        std::fputs(app::versionText().c_str(), stdout);
        return 0;
    case app::CommandLine::Action::Invalid:
        std::fprintf(stderr, "%s\n", commandLine.error.c_str());
        return 2;
    case app::CommandLine::Action::Run:
        break;
    }
    // A marker that cannot be taken at all lets the program run.
    const app::InstanceMarker marker = app::takeInstanceMarker(kInstanceName);
    if (marker == app::InstanceMarker::HeldByAnother) {
        return secondStart(argc, argv, commandLine.file);
    }
    const std::unique_ptr<QApplication> application = app::startApplication(argc, argv);
    app::nameApplication();
    ui::useWholeFrames();
    ui::installTranslations(QLocale::system());

    int status = 0;
    try {
        const ui::ProgramWindows windows;
        ui::MainWindow& mainWindow = windows.mainWindow();
        std::unique_ptr<app::InstanceListener> listener;
        if (marker == app::InstanceMarker::Acquired) {
            listener = std::make_unique<app::InstanceListener>(
                kInstanceName, [&mainWindow](const app::InstanceRequest& request) {
                    return app::answerSecondStart(mainWindow, request);
                });
        }
        mainWindow.show();
        if (!commandLine.file.empty()) {
            app::openSoon(mainWindow, commandLine.file);
        }
        status = QApplication::exec();
    } catch (const std::exception& error) {
        ui::showErrorBox(QString::fromUtf8(error.what()));
        status = 1;
    }
    // A worker told to stop when the window closed reports nothing more; give it a moment to end.
    engine::WorkerThread::waitUntilNoneRuns(std::chrono::seconds(5));
    return status;
}
