// The comparer's progress through a long run of equal size: the bytes read so far, reported while
// the run is compared, before the positions of the run.

#include "engine/engine_harness.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace corvane::testing {
namespace {

struct RunProgress {
    int32_t fileCount;
    int64_t fileSize;
    int64_t bytesRead;
};

TEST(RunProgress, TellsTheBytesReadOfTheRunBeforeItsPositions) {
    TempTree tree;
    // Three files of 2 MiB: two alike, one that differs only in its last block but one, so that all
    // three are read nearly to their end.
    constexpr int64_t kSize = 2 << 20;
    std::string same(kSize, 's');
    std::string other = same;
    other[kSize - 5000] = 'o';
    const auto a = tree.writeFile("a", same);
    const auto b = tree.writeFile("b", same);
    const auto c = tree.writeFile("c", other);

    auto ui = std::make_shared<engine::QueuedUiThread>();
    engine::DuplicateComparer compare(ui);
    CompareRecord record;
    recordCompare(compare, record);
    std::vector<RunProgress> progress;
    compare.onRunProgress = [&](int32_t fileCount, int64_t fileSize, int64_t bytesRead) {
        progress.push_back({fileCount, fileSize, bytesRead});
        record.reports.push_back("run");
    };
    compare.runProgressInterval = std::chrono::milliseconds(0); // every chunk
    compare.setFileList({a, b, c});
    compare.start();
    ASSERT_TRUE(ui->runUntil([&] { return record.endReports > 0; }, kGenerousTimeout));
    EXPECT_TRUE(engine::WorkerThread::waitUntilNoneRuns(kGenerousTimeout));

    ASSERT_FALSE(progress.empty());
    for (const RunProgress& p : progress) {
        EXPECT_EQ(p.fileCount, 3);
        EXPECT_EQ(p.fileSize, kSize);
        EXPECT_GE(p.bytesRead, 0);
        // Files written just now are read twice before they may join a group (their times have not
        // settled), so the bytes read may reach twice the run's size; the window clamps what it shows.
        EXPECT_LE(p.bytesRead, 2 * 3 * kSize);
    }
    EXPECT_TRUE(
        std::is_sorted(progress.begin(), progress.end(),
                       [](const RunProgress& x, const RunProgress& y) { return x.bytesRead < y.bytesRead; }));
    EXPECT_GT(progress.back().bytesRead, kSize) << "most of the run is read before it is done";
    // The progress of the run comes before the reports of its positions.
    const auto firstPosition = std::find_if(record.reports.begin(), record.reports.end(),
                                            [](const std::string& r) { return r != "run"; });
    EXPECT_EQ(std::count(firstPosition, record.reports.end(), "run"), 0);
    EXPECT_EQ(record.reports.back(), "end 3 1");
}

} // namespace
} // namespace corvane::testing
