#include "engine/engine_harness.h"
#include "support/data_home.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <set>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace corvane::testing {
namespace {

using engine::StringList;

using Paths = std::vector<std::string>;

Paths reportedNames(const ScanRecord& record) {
    Paths names;
    for (const FileReport& report : record.files) {
        names.push_back(report.fileName);
    }
    return names;
}

TEST(scanner_, WalksFilesFirstThenSubfoldersOncePerPattern) {
    TempTree tree;
    tree.writeFile("a.jpg", "aa");
    tree.writeFile("b.png", "bbb");
    tree.writeFile("sub/c.jpg", "c");
    const std::string root = tree.root() + "/";

    const ScanRecord record = runScan({tree.root()}, {"*.jpg;*.png"});

    ASSERT_EQ(record.files.size(), 3u);
    EXPECT_EQ(record.files[0].fileName, root + "a.jpg");
    EXPECT_EQ(record.files[0].fileCount, 1);
    EXPECT_EQ(record.files[0].folderCount, 0);
    EXPECT_EQ(record.files[1].fileName, root + "sub/c.jpg");
    EXPECT_EQ(record.files[1].fileCount, 2);
    EXPECT_EQ(record.files[1].folderCount, 1);
    EXPECT_EQ(record.files[2].fileName, root + "b.png");
    EXPECT_EQ(record.files[2].fileCount, 3);
    // The *.png walk enters sub again before it finds b.png? No: files first, so b.png comes with
    // one folder counted, and the count reaches 2 only after the second walk of sub.
    EXPECT_EQ(record.files[2].folderCount, 1);
    EXPECT_EQ(record.files[2].size, 3);
    EXPECT_EQ(record.files[2].totalSize, 6);
    EXPECT_EQ(record.foundFiles, reportedNames(record));
    EXPECT_EQ(record.endReports, 1);
    EXPECT_FALSE(record.busyAtEnd);
    EXPECT_EQ(record.failure, "");
}

TEST(scanner_, CountsEveryFolderOncePerPatternWalk) {
    TempTree tree;
    tree.writeFile("sub/c.jpg", "c");
    tree.writeFile("sub/deeper/d.txt", "d");
    auto ui = std::make_shared<engine::QueuedUiThread>();
    engine::FileScanner scan(ui);
    int32_t lastFolderCount = -1;
    bool ended = false;
    scan.onScanFinished = [&](engine::ScanEnd& end) {
        lastFolderCount = end.folderCount;
        ended = true;
    };
    scan.searchPaths = {tree.root()};
    scan.fileTypes = {"*.jpg;*.png"};
    scan.start();
    ASSERT_TRUE(ui->runUntil([&] { return ended; }, kGenerousTimeout));
    EXPECT_TRUE(engine::WorkerThread::waitUntilNoneRuns(kGenerousTimeout));
    EXPECT_EQ(lastFolderCount, 4); // sub and sub/deeper, walked once for each pattern
}

TEST(scanner_, ReportsAFileOnceWhateverMatchesItAgain) {
    TempTree tree;
    tree.writeFile("a.jpg", "a");
    tree.writeFile("sub/b.jpg", "b");
    // Two patterns that both match, and a second search path that reaches the same files.
    const ScanRecord record = runScan({tree.root(), tree.path("sub")}, {"*.j*;*.jpg", "*.jpg"});
    EXPECT_EQ(reportedNames(record), (Paths{tree.path("a.jpg"), tree.path("sub/b.jpg")}));
}

TEST(scanner_, NamesThatDifferOnlyInCaseAreTwoFiles) {
    TempTree tree;
    tree.writeFile("photo.jpg", "1");
    tree.writeFile("Photo.JPG", "2");
    const ScanRecord record = runScan({tree.root()}, {"*.jpg"});
    EXPECT_EQ(reportedNames(record), (Paths{tree.path("Photo.JPG"), tree.path("photo.jpg")}));
}

TEST(scanner_, SecondSearchPathFindingNothingKeepsTheFirstOnesFiles) {
    TempTree tree;
    tree.writeFile("one/a.txt", "a");
    tree.writeFile("one/b.txt", "b");
    tree.makeDir("two");
    const ScanRecord record =
        runScan({tree.path("one"), tree.path("two"), tree.path("missing")}, {"*.txt", "*.txt", "*.txt"});
    EXPECT_EQ(record.foundFiles, (Paths{tree.path("one/a.txt"), tree.path("one/b.txt")}));
}

TEST(scanner_, FoldersWhoseNamesMatchAreReportedLikeFiles) {
    TempTree tree;
    tree.makeDir("old.jpg");
    tree.writeFile("old.jpg/inner.jpg", "x");
    tree.writeFile("plain/file.txt", "y");

    const ScanRecord byExtension = runScan({tree.root()}, {"*.jpg"});
    EXPECT_EQ(reportedNames(byExtension), (Paths{tree.path("old.jpg"), tree.path("old.jpg/inner.jpg")}));
    struct stat st {};
    ASSERT_EQ(stat(tree.path("old.jpg").c_str(), &st), 0);
    EXPECT_EQ(byExtension.files[0].size, st.st_size);

    // "*" reports every subfolder in the file pass, then walks it; "." and ".." never appear.
    const ScanRecord everything = runScan({tree.root()}, {"*"});
    EXPECT_EQ(reportedNames(everything),
              (Paths{tree.path("old.jpg"), tree.path("plain"), tree.path("old.jpg/inner.jpg"),
                     tree.path("plain/file.txt")}));
}

TEST(scanner_, SystemEntriesAreLeftOutAndLinksNeverFollowed) {
    TempTree tree;
    tree.writeFile("real.txt", "r");
    tree.writeFile(".hidden.txt", "h");
    tree.writeFile("target/inside.txt", "i");
    ASSERT_EQ(symlink("real.txt", tree.path("link.txt").c_str()), 0);
    ASSERT_EQ(symlink("target", tree.path("linkdir").c_str()), 0);
    ASSERT_EQ(symlink("..", tree.path("target/up").c_str()), 0); // a loop, if links were followed
    ASSERT_EQ(mkfifo(tree.path("pipe.txt").c_str(), 0600), 0);

    const ScanRecord record = runScan({tree.root()}, {"*"});
    EXPECT_EQ(reportedNames(record), (Paths{tree.path(".hidden.txt"), tree.path("real.txt"),
                                            tree.path("target"), tree.path("target/inside.txt")}));
}

TEST(scanner_, TrashFoldersAreNoSearchGroundAndAreNamedOnce) {
    TempTree tree;
    const DataHome home(tree.path("home/.local/share"));
    tree.writeFile("home/.local/share/Trash/files/thrown.txt", "x");
    tree.writeFile("home/.local/share/Trash/info/thrown.txt.trashinfo", "[Trash Info]\n");
    tree.writeFile("home/.local/share/kept.txt", "x");
    // Only the home trash is a trash: a folder of the same name elsewhere is searched.
    tree.writeFile("home/Documents/Trash/kept.txt", "x");

    const ScanRecord record = runScan({tree.path("home"), tree.path("home")}, {"*.txt", "*.txt;*.trashinfo"});
    // A search path that lies in the trash is passed over whole.
    const ScanRecord inside = runScan({tree.path("home/.local/share/Trash/files")}, {"*.*"});
    EXPECT_EQ(reportedNames(record), (StringList{tree.path("home/.local/share/kept.txt"),
                                                 tree.path("home/Documents/Trash/kept.txt")}));
    EXPECT_EQ(record.trashFolders, (StringList{tree.path("home/.local/share/Trash")}));
    EXPECT_TRUE(inside.files.empty());
    EXPECT_EQ(inside.trashFolders, (StringList{tree.path("home/.local/share/Trash/files")}));
}

TEST(scanner_, PatternTextsThatNameNothingLeaveTheFolderUnvisited) {
    TempTree tree;
    tree.writeFile("a.txt", "a");
    EXPECT_TRUE(runScan({tree.root()}, {""}).files.empty());
    EXPECT_TRUE(runScan({tree.root()}, {"   "}).files.empty());
    // The empty pattern after "*.txt;" walks the tree a second time and finds nothing.
    EXPECT_EQ(runScan({tree.root()}, {"*.txt;"}).files.size(), 1u);

    const ScanRecord none = runScan({}, {});
    EXPECT_TRUE(none.foundFiles.empty());
    EXPECT_EQ(none.endReports, 1);
    EXPECT_FALSE(none.busyAtEnd);
}

TEST(scanner_, TrailingSeparatorMakesNoDifference) {
    TempTree tree;
    tree.writeFile("x/a.txt", "a");
    EXPECT_EQ(runScan({tree.path("x")}, {"*.*"}).foundFiles, runScan({tree.path("x/")}, {"*.*"}).foundFiles);
    EXPECT_EQ(runScan({tree.path("x")}, {"*.*"}).foundFiles, (Paths{tree.path("x/a.txt")}));
}

TEST(scanner_, SizesAreSixtyFourBit) {
    TempTree tree;
    const std::string big = tree.writeFile("big.bin", "");
    ASSERT_EQ(truncate(big.c_str(), 3'000'000'000LL), 0); // sparse: no disk space needed
    const std::string second = tree.writeFile("second.bin", "");
    ASSERT_EQ(truncate(second.c_str(), 3'000'000'000LL), 0);
    const ScanRecord record = runScan({tree.root()}, {"*.bin"});
    ASSERT_EQ(record.files.size(), 2u);
    EXPECT_EQ(record.files[0].size, 3000000000);
    EXPECT_EQ(record.files[1].totalSize, 6'000'000'000LL);
}

TEST(scanner_, NameWithLineBreakStaysOnePath) {
    TempTree tree;
    tree.writeFile("two\nlines.txt", "x");
    tree.writeFile("bad\xff\xfe.txt", "y");
    const ScanRecord record = runScan({tree.root()}, {"*.txt"});
    EXPECT_EQ(record.foundFiles, (Paths{tree.path("bad\xff\xfe.txt"), tree.path("two\nlines.txt")}));
}

// The nice value of the calling thread.
int niceOfThisThread() {
    return getpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)));
}

TEST(scanner_, AWindowsWorkersAndTheirThreadsRunBelowTheWindow) {
    TempTree tree;
    for (int i = 0; i < 40; ++i) {
        tree.writeFile("f" + std::to_string(i % 8) + "/x" + std::to_string(i) + ".txt", "x");
    }
    const int owner = niceOfThisThread();
    for (const bool yield : {true, false}) {
        auto ui = std::make_shared<engine::QueuedUiThread>(yield);
        engine::FileScanner scan(ui);
        ScanRecord record;
        recordScan(scan, record);
        // The filter runs on the scanner's threads: the worker's and those it starts.
        std::mutex mutex;
        std::set<int> seen;
        scan.leaveOut = [&](const std::string&, platform::EntryKind) {
            const std::lock_guard lock(mutex);
            seen.insert(niceOfThisThread());
            return false;
        };
        scan.searchPaths = {tree.root()};
        scan.fileTypes = {"*.txt"};
        scan.start();
        ASSERT_TRUE(ui->runUntil([&] { return record.endReports > 0; }, kGenerousTimeout));
        ASSERT_TRUE(engine::WorkerThread::waitUntilNoneRuns(kGenerousTimeout));
        EXPECT_EQ(record.files.size(), 40u);
        ASSERT_FALSE(seen.empty());
        if (yield && owner < 19) {
            EXPECT_GT(*seen.begin(), owner) << "a thread of the window's search ran at the window's priority";
        } else {
            EXPECT_EQ(seen, std::set<int>{owner}) << "the command line's threads run at its priority";
        }
    }
}

TEST(scanner_, FoundFileCarriesItsSizeIdentityAndLocalCreationDay) {
    TempTree tree;
    tree.writeFile("a.txt", "abc");
    auto ui = std::make_shared<engine::QueuedUiThread>();
    engine::FileScanner scan(ui);
    std::optional<platform::FileInfo> info;
    platform::CivilDate createdOn{0, 0, 0};
    bool ended = false;
    scan.onFileFound = [&](const engine::FoundFile& file) {
        info = file.info;
        createdOn = file.createdOn;
    };
    scan.onScanFinished = [&](engine::ScanEnd&) { ended = true; };
    scan.searchPaths = {tree.root()};
    scan.fileTypes = {"*.*"};
    scan.start();
    ASSERT_TRUE(ui->runUntil([&] { return ended; }, kGenerousTimeout));
    EXPECT_TRUE(engine::WorkerThread::waitUntilNoneRuns(kGenerousTimeout));
    const std::optional<platform::FileInfo> now = platform::lookupFile(tree.path("a.txt"));
    ASSERT_TRUE(info && now);
    EXPECT_EQ(info->size, 3);
    EXPECT_TRUE(platform::identityOf(*info) == platform::identityOf(*now));
    EXPECT_EQ(info->creationTime, now->creationTime);
    EXPECT_EQ(createdOn, platform::localDateOf(now->creationTime).value());
}

// ------------------------------------------------------------------------------------------------
// Start, stop, failures and the owner going away

class BigTree : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        tree_ = new TempTree;
        for (int folder = 0; folder < 20; ++folder) {
            for (int file = 0; file < 50; ++file) {
                tree_->writeFile("d" + std::to_string(folder) + "/f" + std::to_string(file) + ".txt", "x");
            }
        }
    }
    static void TearDownTestSuite() {
        delete tree_;
        tree_ = nullptr;
    }
    static TempTree* tree_;
};
TempTree* BigTree::tree_ = nullptr;

TEST_F(BigTree, StopEndsTheRunAfterTheCurrentEntryOfEachListing) {
    auto ui = std::make_shared<engine::QueuedUiThread>();
    engine::FileScanner scan(ui);
    ScanRecord record;
    recordScan(scan, record);
    const auto recordFile = scan.onFileFound;
    // Stop from inside the fifth report, as a click processed by a handler would.
    scan.onFileFound = [&](const engine::FoundFile& file) {
        recordFile(file);
        if (file.fileCount == 5) {
            scan.stop();
            scan.start(); // does nothing while the run winds down
        }
    };
    // A second search path and pattern still open their listings and take their first entry.
    scan.searchPaths = {tree_->root(), tree_->path("d7")};
    scan.fileTypes = {"*.txt", "f3*.txt;f4*"};
    scan.start();
    ASSERT_TRUE(ui->runUntil([&] { return record.endReports > 0; }, kGenerousTimeout));
    EXPECT_TRUE(engine::WorkerThread::waitUntilNoneRuns(kGenerousTimeout));
    EXPECT_EQ(record.endReports, 1);
    EXPECT_FALSE(record.busyAtEnd);
    // The five reported before the stop, then the first entry of each listing opened afterwards:
    // d7/f3.txt for the second path's first pattern and d7/f4.txt for its second.
    EXPECT_EQ(record.files.size(), 7u);
    EXPECT_EQ(record.files[5].fileName, tree_->path("d7/f3.txt"));
    EXPECT_EQ(record.files[6].fileName, tree_->path("d7/f4.txt"));
    EXPECT_EQ(record.foundFiles.size(), 7u);
    EXPECT_EQ(record.failure, ""); // a stop is no failure
}

TEST_F(BigTree, StopAndStartWhileIdleDoNothingHarmful) {
    auto ui = std::make_shared<engine::QueuedUiThread>();
    engine::FileScanner scan(ui);
    scan.stop();
    EXPECT_FALSE(scan.busy);
    ScanRecord record;
    recordScan(scan, record);
    scan.searchPaths = {tree_->path("d1")};
    scan.fileTypes = {"*.txt"};
    scan.start();
    EXPECT_TRUE(scan.busy);
    scan.start(); // a second start while running starts nothing
    ASSERT_TRUE(ui->runUntil([&] { return record.endReports > 0; }, kGenerousTimeout));
    EXPECT_TRUE(engine::WorkerThread::waitUntilNoneRuns(kGenerousTimeout));
    ui->processPending();
    EXPECT_EQ(record.endReports, 1);
    EXPECT_EQ(record.files.size(), 50u);
}

TEST_F(BigTree, HandlerFailureEndsThePassAndReachesTheEndReport) {
    auto ui = std::make_shared<engine::QueuedUiThread>();
    engine::FileScanner scan(ui);
    ScanRecord record;
    recordScan(scan, record);
    scan.onFileFound = [&](const engine::FoundFile& file) {
        record.files.push_back({std::string(file.path), 0, 0, 0, file.fileCount});
        if (file.fileCount == 3) {
            throw std::runtime_error("handler failed");
        }
    };
    scan.searchPaths = {tree_->root()};
    scan.fileTypes = {"*.txt"};
    scan.start();
    ASSERT_TRUE(ui->runUntil([&] { return record.endReports > 0; }, kGenerousTimeout));
    EXPECT_TRUE(engine::WorkerThread::waitUntilNoneRuns(kGenerousTimeout));
    EXPECT_EQ(record.files.size(), 3u);
    EXPECT_EQ(record.foundFiles.size(), 3u);
    EXPECT_EQ(record.endReports, 1);
    EXPECT_EQ(record.failure, "handler failed");
    EXPECT_FALSE(scan.busy);
}

TEST_F(BigTree, FailureOnTheWorkersThreadReachesTheEndReport) {
    auto ui = std::make_shared<engine::QueuedUiThread>();
    engine::FileScanner scan(ui);
    ScanRecord record;
    recordScan(scan, record);
    // The filter runs on the scan's threads: it fails once the first folder below the root has
    // been searched (20 subfolders, then 50 files each). The threads that read ahead give up on
    // the failure, and the worker meets it again when it reads the folders itself.
    auto calls = std::make_shared<std::atomic<int>>(0);
    scan.leaveOut = [calls](const std::string&, platform::EntryKind) -> bool {
        if (++*calls > 75) {
            throw std::length_error("no room for a date");
        }
        return false;
    };
    scan.searchPaths = {tree_->root()};
    scan.fileTypes = {"*.txt"};
    scan.start();
    ASSERT_TRUE(ui->runUntil([&] { return record.endReports > 0; }, kGenerousTimeout));
    EXPECT_TRUE(engine::WorkerThread::waitUntilNoneRuns(kGenerousTimeout));
    EXPECT_EQ(record.failure, "no room for a date");
    // Files queued but not yet reported when the pass ended were never found.
    EXPECT_LT(record.files.size(), 1000u);
    EXPECT_EQ(record.foundFiles, reportedNames(record));
    EXPECT_FALSE(record.busyAtEnd);
}

TEST_F(BigTree, DestroyingTheDriverMidRunIsSafe) {
    auto ui = std::make_shared<engine::QueuedUiThread>();
    int reportsAfterDestruction = 0;
    bool destroyed = false;
    {
        auto scan = std::make_unique<engine::FileScanner>(ui);
        int reports = 0;
        scan->onFileFound = [&](const engine::FoundFile&) {
            reportsAfterDestruction += destroyed ? 1 : 0;
            ++reports;
        };
        scan->onScanFinished = [&](engine::ScanEnd&) { reportsAfterDestruction += destroyed; };
        scan->searchPaths = {tree_->root()};
        scan->fileTypes = {"*.txt"};
        scan->start();
        ASSERT_TRUE(ui->runUntil([&] { return reports >= 10; }, kGenerousTimeout));
        scan.reset();
        destroyed = true;
    }
    // The worker may be waiting for its next report; pumping runs it as a no-op.
    ui->runUntil([] { return engine::WorkerThread::liveCount() == 0; }, kGenerousTimeout);
    EXPECT_EQ(engine::WorkerThread::liveCount(), 0);
    EXPECT_EQ(reportsAfterDestruction, 0);
}

TEST_F(BigTree, ClosedOwnerThreadReleasesAWaitingWorker) {
    auto ui = std::make_shared<engine::QueuedUiThread>();
    auto scan = std::make_unique<engine::FileScanner>(ui);
    scan->searchPaths = {tree_->root()};
    scan->fileTypes = {"*.txt"};
    scan->start();
    // The owner never pumps: its worker waits on the first report until the queue closes.
    ui->close();
    EXPECT_TRUE(engine::WorkerThread::waitUntilNoneRuns(kGenerousTimeout));
}

} // namespace
} // namespace corvane::testing
