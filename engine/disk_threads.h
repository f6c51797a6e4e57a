#pragma once

// Threads for work whose system calls may wait for the disk (looking entries up, reading the
// start of files), as many as the disk keeps busy: one thread per core is enough when what is
// read is in the page cache, while a disk that has to fetch it answers many requests in flight
// several times faster than one at a time.

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace corvane::engine {

// Runs one loop of work on a number of threads that grows with what is measured: a thread whose
// last piece of work made the system read from the disk (the blocks the system counts as read
// for that thread) starts one more thread, as long as there is work waiting for it, up to
// `most`. Where the page cache holds everything, no read reaches the disk and the number stays
// where it started.
class DiskThreads {
public:
    // Each thread runs `loop(threads)` until it returns, calling pieceDone() after each piece of
    // work. `initial` threads start at once (at least one).
    DiskThreads(unsigned initial, unsigned most, std::function<void(DiskThreads&)> loop);
    // Waits for every thread.
    ~DiskThreads();
    DiskThreads(const DiskThreads&) = delete;
    DiskThreads& operator=(const DiskThreads&) = delete;

    // From a thread of the loop, after a piece of work: when that piece read from the disk and
    // `workWaiting` (more pieces wait than threads run), another thread starts.
    void pieceDone(bool workWaiting);
    // Waits for every thread to return from its loop; rethrows the first failure of one.
    void join();
    // Threads started so far.
    unsigned started() const { return started_.load(); }

    // The most threads the work on one disk keeps busy.
    static constexpr unsigned kMostThreads = 32;

private:
    void start();

    std::function<void(DiskThreads&)> loop_;
    const unsigned most_;
    std::atomic<unsigned> started_{0};
    std::mutex mutex_;
    std::vector<std::thread> threads_;
    std::exception_ptr failure_;
};

} // namespace corvane::engine
