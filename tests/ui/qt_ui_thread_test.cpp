#include "ui/desktop/qt_ui_thread.h"

#include "engine/file_scanner.h"
#include "event_wait.h"
#include "support/temp_tree.h"

#include <QCoreApplication>
#include <QObject>
#include <QThread>

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

namespace corvane::ui {
namespace {

using testing::EventWait;
using testing::kGenerousTimeout;

bool onMainThread() {
    return QThread::currentThread() == QCoreApplication::instance()->thread();
}

struct ScanLog {
    std::vector<int32_t> fileCounts;
    int reportsOffMainThread = 0;
    int endReports = 0;
    size_t filesBeforeEnd = 0;
};

void logScan(engine::FileScanner& scan, ScanLog& log, EventWait& ended) {
    scan.onFileFound = [&log](const engine::FoundFile& file) {
        // The window processes pending events in this handler; reports must stay in order.
        QCoreApplication::processEvents();
        log.reportsOffMainThread += !onMainThread();
        log.fileCounts.push_back(file.fileCount);
    };
    scan.onScanFinished = [&log, &ended](engine::ScanEnd& end) {
        log.reportsOffMainThread += !onMainThread();
        log.filesBeforeEnd = end.foundFiles.size();
        ++log.endReports;
        ended.finish();
    };
}

TEST(QtUiThread, ReportsOfAScanArriveOnTheMainThreadInOrder) {
    testing::TempTree tree;
    for (int i = 0; i < 20; ++i) {
        tree.writeFile("file" + std::to_string(i), "x");
    }
    auto ui = std::make_shared<QtUiThread>();
    ScanLog log;
    EventWait ended;
    {
        engine::FileScanner scan(ui);
        logScan(scan, log, ended);
        scan.searchPaths = {tree.root()};
        scan.fileTypes = {"*.*"};
        scan.start();
        ASSERT_TRUE(ended.wait()) << "the scan never reported its end";
    }
    ASSERT_TRUE(engine::WorkerThread::waitUntilNoneRuns(kGenerousTimeout));
    EXPECT_EQ(log.reportsOffMainThread, 0);
    EXPECT_EQ(log.endReports, 1);
    ASSERT_EQ(log.fileCounts.size(), 20u);
    for (size_t i = 0; i < log.fileCounts.size(); ++i) {
        EXPECT_EQ(log.fileCounts[i], static_cast<int32_t>(i + 1));
    }
    EXPECT_EQ(log.filesBeforeEnd, 20u);
}

TEST(QtUiThread, CloseReleasesAScanWaitingForTheMainThread) {
    testing::TempTree tree;
    tree.writeFile("a", "1");
    tree.writeFile("b", "2");
    auto ui = std::make_shared<QtUiThread>();
    ScanLog log;
    EventWait ended;
    engine::FileScanner scan(ui);
    logScan(scan, log, ended);
    scan.searchPaths = {tree.root()};
    scan.fileTypes = {"*.*"};
    scan.start();
    // The event loop does not run, as after the window has closed: the worker blocks on its
    // first report until the hand-over closes.
    ASSERT_TRUE(ui->waitForWaitingRoutine(kGenerousTimeout));
    ui->close();
    ASSERT_TRUE(engine::WorkerThread::waitUntilNoneRuns(kGenerousTimeout)) << "the worker still waits";
    QCoreApplication::processEvents();
    EXPECT_TRUE(log.fileCounts.empty()) << "a turned-away report ran after all";
    EXPECT_EQ(log.endReports, 0);
}

TEST(QtUiThread, RoutineFromTheMainThreadRunsAtOnceUntilClosed) {
    QtUiThread ui;
    int runs = 0;
    EXPECT_TRUE(ui.runAndWait([&] { ++runs; }));
    EXPECT_EQ(runs, 1);
    ui.close();
    EXPECT_FALSE(ui.runAndWait([&] { ++runs; }));
    bool fromWorker = true;
    std::thread worker([&] { fromWorker = ui.runAndWait([&] { ++runs; }); });
    worker.join();
    EXPECT_FALSE(fromWorker);
    EXPECT_EQ(runs, 1);
}

TEST(QtUiThread, ExceptionOfARoutineIsThrownToTheWorker) {
    QtUiThread ui;
    EventWait done;
    std::string caught;
    std::thread worker([&] {
        try {
            ui.runAndWait([] { throw std::runtime_error("from the handler"); });
        } catch (const std::runtime_error& error) {
            caught = error.what();
        }
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [&] { done.finish(); }, Qt::QueuedConnection);
    });
    EXPECT_TRUE(done.wait());
    worker.join();
    EXPECT_EQ(caught, "from the handler");
}

TEST(QtUiThread, DestroyingTheOwnerClosesTheHandOver) {
    auto owner = std::make_unique<QObject>();
    QtUiThread ui(owner.get());
    EXPECT_FALSE(ui.isClosed());
    owner.reset();
    EXPECT_TRUE(ui.isClosed());
    bool ran = true;
    std::thread worker([&] { ran = ui.runAndWait([] {}); });
    worker.join();
    EXPECT_FALSE(ran);
}

TEST(QtUiThread, LastReleaseOnAWorkerThreadLeavesNothingBehind) {
    QObject owner;
    auto ui = std::make_shared<QtUiThread>(&owner);
    EventWait done;
    std::thread worker([ui = std::move(ui), &done]() mutable {
        ui->runAndWait([&] { done.finish(); });
        ui.reset(); // the last owner goes on the worker thread, as a self-releasing worker's does
    });
    ASSERT_TRUE(done.wait());
    worker.join();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(owner.children().isEmpty());
}

} // namespace
} // namespace corvane::ui
