#pragma once

#include "engine/ui_thread.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace corvane::engine {

// A user-interface thread for owners without a window system: routines from workers wait in a
// queue until the owner's thread runs them with processPending() or runUntil(). A routine handed
// over from the owner's thread itself runs at once. close() (or the destructor) turns away every
// waiting and later routine, so no worker can wait for ever on an owner that has stopped pumping.
class QueuedUiThread final : public UiThread {
public:
    // `workersYield`: as a window's thread, the workers run below this thread (see UiThread).
    explicit QueuedUiThread(bool workersYield = false);
    ~QueuedUiThread() override;

    bool runAndWait(const std::function<void()>& routine) override;
    bool workersYield() const override { return workersYield_; }

    // Runs every routine waiting now, and those that arrive while it runs; returns how many ran.
    // Owner's thread only.
    int processPending();

    // Runs routines as they arrive until `done()` is true (checked after each one) or the time
    // is up; returns done(). Owner's thread only.
    bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

    void close();

private:
    struct Task {
        const std::function<void()>* routine;
        bool finished = false;
        bool ran = false;
    };

    std::thread::id ownerThread_;
    bool workersYield_ = false;
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::condition_variable finished_;
    std::deque<Task*> queue_;
    bool closed_ = false;
};

// A user-interface thread for the command line, where no thread has anything else to do: the
// routine runs on the worker's own thread, under a lock, so reports still come one at a time and
// in order. The owner waits for its end report instead of pumping.
class InlineUiThread final : public UiThread {
public:
    bool runAndWait(const std::function<void()>& routine) override;

private:
    std::mutex mutex_;
};

} // namespace corvane::engine
