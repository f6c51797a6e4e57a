// Threads for work that may wait for the disk: they start as asked, grow only when a piece of work
// had the system read from the disk, and hand a failure on to the one who waits for them.

#include "engine/disk_threads.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace corvane::testing {
namespace {

using engine::DiskThreads;

TEST(DiskThreads, WorkInTheCacheStaysOnTheThreadsItStartedWith) {
    std::atomic<int> loops{0};
    std::atomic<int> pieces{0};
    DiskThreads threads(3, 8, [&](DiskThreads& self) {
        ++loops;
        for (int i = 0; i < 100; ++i) {
            ++pieces;
            self.pieceDone(true); // nothing read from a disk: no thread more
        }
    });
    threads.join();
    EXPECT_EQ(loops, 3);
    EXPECT_EQ(pieces, 300);
    EXPECT_EQ(threads.started(), 3u);
}

TEST(DiskThreads, AFailureOfOneThreadReachesJoin) {
    DiskThreads threads(2, 2, [](DiskThreads&) { throw std::runtime_error("broken"); });
    EXPECT_THROW(threads.join(), std::runtime_error);
    EXPECT_NO_THROW(threads.join()); // told once
}

TEST(DiskThreads, APieceThatReadFromTheDiskStartsAnotherThread) {
    // A file written, flushed and dropped from the page cache is read from the disk again, where
    // the temporary folder is on one (not on a file system in memory).
    TempTree tree;
    const std::string path = tree.writeFile("data", std::string(1 << 20, 'd'));
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(fdatasync(fd), 0);
    ASSERT_EQ(posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED), 0);
    std::atomic<int> loops{0};
    std::atomic<long> blocksRead{0};
    std::atomic<unsigned> afterQuietPiece{0};
    DiskThreads threads(1, 4, [&](DiskThreads& self) {
        if (++loops > 1) {
            return; // the thread started for the waiting work
        }
        self.pieceDone(true); // nothing read yet: no thread more
        afterQuietPiece = self.started();
        rusage before{};
        getrusage(RUSAGE_THREAD, &before);
        std::string bytes(1 << 20, '\0');
        ASSERT_EQ(pread(fd, bytes.data(), bytes.size(), 0), static_cast<ssize_t>(bytes.size()));
        rusage after{};
        getrusage(RUSAGE_THREAD, &after);
        blocksRead = after.ru_inblock - before.ru_inblock;
        self.pieceDone(true);
    });
    threads.join();
    close(fd);
    EXPECT_EQ(afterQuietPiece, 1u);
    if (blocksRead == 0) {
        GTEST_SKIP() << "the temporary folder is not on a disk: nothing was read from one";
    }
    EXPECT_EQ(threads.started(), 2u);
    EXPECT_EQ(loops, 2);
}

} // namespace
} // namespace corvane::testing
