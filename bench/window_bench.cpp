// Drives the real main window offscreen over a tree: one search from start to idle. Prints the
// time of each phase (scan, sort, compare), the longest gap between two turns of the event loop
// while it ran (how long the window could not react), and the peak memory: as a whole, and per
// searched file above the window's own memory before the search (its resident memory once shown
// and idle, measured in the same process).
//
//   corvane-window-bench FOLDER [PATTERNS] [--screenshot FILE.png]
//
// --screenshot saves a picture of the window once the search has ended, to look at its layout.

#include "main_window_probe.h"
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
#include <ctime>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// Resident memory now, in bytes (0 when /proc cannot tell).
long long residentBytes() {
    std::ifstream statm("/proc/self/statm");
    long long pages = 0, resident = 0;
    if (!(statm >> pages >> resident)) {
        return 0;
    }
    return resident * sysconf(_SC_PAGESIZE);
}

} // namespace

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
    const ui::MainWindowProbe probe(window);
    window.show();
    QApplication::processEvents();

    probe.searchPathList()->listModel()->appendRow(ui::ListRow(argv[1], {argc > 2 ? argv[2] : "*.*"}));
    probe.searchPathList()->listModel()->flushAppendedRows();
    probe.searchButton()->setEnabled(true);
    QApplication::processEvents();
    const long long emptyWindow = residentBytes();

    const auto started = Clock::now();
    Clock::time_point scanned{}, sorted{}, compared{};
    Clock::time_point lastTurn = started;
    Clock::duration longestGap{};
    QString gapEndedAt; // the status line when the longest gap ended
    // The same gaps counted in the main thread's own processor time: on a machine shared with
    // other work, a wall-clock gap may be time the thread waited for a processor; this is the
    // work the window did without returning to its event loop.
    const auto threadTime = [] {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
    };
    auto lastTurnWork = threadTime();
    std::chrono::nanoseconds longestWork{};
    QString workEndedAt;
    // Every stretch of work over 30 ms, with the status line where it ended: where to look next.
    std::vector<std::pair<double, QString>> longWork;
    // A turn of the event loop each millisecond: a gap longer than that is time the window could
    // not react. (A zero timer would measure the same, but keeps the main thread busy polling,
    // taking one of the machine's cores from the search that is measured.)
    QTimer turns;
    turns.setTimerType(Qt::PreciseTimer);
    turns.setInterval(1);
    QObject::connect(&turns, &QTimer::timeout, [&] {
        const auto now = Clock::now();
        const QString status = probe.statusLine();
        if (now - lastTurn > longestGap) {
            longestGap = now - lastTurn;
            gapEndedAt = status;
        }
        lastTurn = now;
        const auto work = threadTime();
        if (work - lastTurnWork > std::chrono::milliseconds(30)) {
            longWork.emplace_back(std::chrono::duration<double, std::milli>(work - lastTurnWork).count(),
                                  status);
        }
        if (work - lastTurnWork > longestWork) {
            longestWork = work - lastTurnWork;
            workEndedAt = status;
        }
        lastTurnWork = work;
        if (scanned == Clock::time_point{} &&
            (status.startsWith("Sorting") || status.startsWith("Comparing"))) {
            scanned = now;
        }
        if (sorted == Clock::time_point{} && status.startsWith("Comparing")) {
            sorted = now;
        }
        if (ui::captionOf(probe.searchButton()) == QLatin1String(ui::MainWindow::kStartSearch) &&
            !probe.scanner()->busy && !probe.comparer()->busy) {
            compared = now;
            QApplication::quit();
        }
    });
    turns.start();
    probe.searchButton()->click();
    QApplication::exec();

    const auto seconds = [](Clock::time_point from, Clock::time_point to) {
        return from == Clock::time_point{} || to == Clock::time_point{}
                   ? 0.0
                   : std::chrono::duration<double>(to - from).count();
    };
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("longest work between two turns of the event loop: %.0f ms of the main thread's processor "
                "time (ended at \"%s\")\n",
                std::chrono::duration<double, std::milli>(longestWork).count(),
                workEndedAt.toUtf8().constData());
    for (const auto& [milliseconds, status] : longWork) {
        std::printf("  work of %.0f ms, ended at \"%s\"\n", milliseconds, status.toUtf8().constData());
    }
    const int files = probe.searchedFilesList()->listModel()->count();
    const long long peak = static_cast<long long>(usage.ru_maxrss) * 1024;
    std::printf("window: total %.2f s (scan %.2f s, sort %.2f s, compare %.2f s), longest event gap %.0f ms "
                "(ended at \"%s\"), peak %.1f MiB, %s\n",
                seconds(started, compared), seconds(started, scanned), seconds(scanned, sorted),
                seconds(sorted, compared), std::chrono::duration<double, std::milli>(longestGap).count(),
                gapEndedAt.toUtf8().constData(), usage.ru_maxrss / 1024.0,
                probe.statusLine().toUtf8().constData());
    std::printf("memory: empty window %.1f MiB, peak %.1f MiB, %.0f bytes per searched file above the "
                "empty window (%d files)\n",
                emptyWindow / 1048576.0, peak / 1048576.0,
                files > 0 ? static_cast<double>(peak - emptyWindow) / files : 0.0, files);
    if (!screenshot.isEmpty()) {
        window.grab().save(screenshot);
    }
    window.close();
    return 0;
}
