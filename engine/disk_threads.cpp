#include "engine/disk_threads.h"

#include <algorithm>
#include <sys/resource.h>

namespace corvane::engine {

namespace {

// Blocks the system has read from the disk for the calling thread so far.
long blocksReadByThisThread() {
    rusage usage{};
    if (getrusage(RUSAGE_THREAD, &usage) != 0) {
        return 0;
    }
    return usage.ru_inblock;
}

thread_local long blocksReadBefore = 0;

} // namespace

DiskThreads::DiskThreads(unsigned initial, unsigned most, std::function<void(DiskThreads&)> loop)
    : loop_(std::move(loop)), most_(std::max(1u, most)) {
    const unsigned count = std::clamp(initial, 1u, most_);
    try {
        for (unsigned i = 0; i < count; ++i) {
            started_.fetch_add(1);
            start();
        }
    } catch (...) {
        started_.fetch_sub(1);
        if (started_.load() == 0) {
            throw; // not even one thread
        }
    }
}

DiskThreads::~DiskThreads() {
    try {
        join();
    } catch (...) {
        // A failure nobody asked for any more.
    }
}

void DiskThreads::start() {
    std::lock_guard lock(mutex_);
    threads_.emplace_back([this] {
        blocksReadBefore = blocksReadByThisThread();
        try {
            loop_(*this);
        } catch (...) {
            std::lock_guard failureLock(mutex_);
            if (!failure_) {
                failure_ = std::current_exception();
            }
        }
    });
}

void DiskThreads::pieceDone(bool workWaiting) {
    const long blocks = blocksReadByThisThread();
    const bool fromDisk = blocks != blocksReadBefore;
    blocksReadBefore = blocks;
    if (!fromDisk || !workWaiting || started_.load(std::memory_order_relaxed) >= most_) {
        return;
    }
    if (started_.fetch_add(1) < most_) {
        try {
            start();
        } catch (...) {
            // No more threads to be had: the ones running do the work.
            started_.fetch_sub(1);
        }
    } else {
        started_.fetch_sub(1);
    }
}

void DiskThreads::join() {
    // Threads may start more threads until the last has returned; the list only grows.
    for (size_t i = 0;; ++i) {
        std::thread thread;
        {
            std::lock_guard lock(mutex_);
            if (i >= threads_.size()) {
                break;
            }
            thread = std::move(threads_[i]);
        }
        if (thread.joinable()) {
            thread.join();
        }
    }
    std::lock_guard lock(mutex_);
    if (failure_) {
        std::exception_ptr failure = failure_;
        failure_ = nullptr;
        std::rethrow_exception(failure);
    }
}

} // namespace corvane::engine
