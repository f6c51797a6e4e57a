// Drives the real main window offscreen over a tree: one search from start to idle. Prints the
// time of each phase (scan, sort, compare), the longest gap between two turns of the event loop
// while it ran (how long the window could not react), and the peak memory.
//
//   corvane-window-bench FOLDER [PATTERNS] [--screenshot FILE.png]
//
// --screenshot saves a picture of the window once the search has ended, to look at its layout.

#include "ui/forms/list_controls_qt.h"
#include "ui/forms/window_texts.h"
#include "ui/windows/main_window.h"
#include "ui/windows/program_windows.h"

#include <QApplication>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <sys/resource.h>

int main(int argc, char** argv) {
    using namespace corvane;
    using Clock = std::chrono::steady_clock;
    QString screenshot;
    if (argc >= 4 && QLatin1String(argv[argc - 2]) == QLatin1String("--screenshot")) {
        screenshot = QString::fromLocal8Bit(argv[argc - 1]);
        argc -= 2;
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: corvane-window-bench FOLDER [PATTERNS] [--screenshot FILE.png]\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    const ui::ProgramWindows windows;
    ui::MainWindow& window = windows.mainWindow();
    window.show();
    QApplication::processEvents();

    window.searchPathList_->listModel()->appendRow(ui::ListRow(argv[1], {argc > 2 ? argv[2] : "*.*"}));
    window.searchPathList_->listModel()->flushAppendedRows();
    window.searchButton_->setEnabled(true);

    const auto started = Clock::now();
    Clock::time_point scanned{}, sorted{}, compared{};
    Clock::time_point lastTurn = started;
    Clock::duration longestGap{};
    QString gapEndedAt; // the status line when the longest gap ended
    QTimer turns;
    turns.setInterval(0);
    QObject::connect(&turns, &QTimer::timeout, [&] {
        const auto now = Clock::now();
        const QString status = window.statusLine();
        if (now - lastTurn > longestGap) {
            longestGap = now - lastTurn;
            gapEndedAt = status;
        }
        lastTurn = now;
        if (scanned == Clock::time_point{} &&
            (status.startsWith("Sorting") || status.startsWith("Comparing"))) {
            scanned = now;
        }
        if (sorted == Clock::time_point{} && status.startsWith("Comparing")) {
            sorted = now;
        }
        if (ui::captionOf(window.searchButton_) == QLatin1String(ui::MainWindow::kStartSearch) &&
            !window.scanner_->Busy && !window.comparer_->Busy) {
            compared = now;
            QApplication::quit();
        }
    });
    turns.start();
    window.searchButton_->click();
    QApplication::exec();

    const auto seconds = [](Clock::time_point from, Clock::time_point to) {
        return from == Clock::time_point{} || to == Clock::time_point{}
                   ? 0.0
                   : std::chrono::duration<double>(to - from).count();
    };
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("window: total %.2f s (scan %.2f s, sort %.2f s, compare %.2f s), longest event gap %.0f ms "
                "(ended at \"%s\"), peak %.1f MiB, %s\n",
                seconds(started, compared), seconds(started, scanned), seconds(scanned, sorted),
                seconds(sorted, compared), std::chrono::duration<double, std::milli>(longestGap).count(),
                gapEndedAt.toUtf8().constData(), usage.ru_maxrss / 1024.0,
                window.statusLine().toUtf8().constData());
    if (!screenshot.isEmpty()) {
        window.grab().save(screenshot);
    }
    window.close();
    return 0;
}
