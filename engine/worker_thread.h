#pragma once

#include "engine/ui_thread.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

namespace corvane::engine {

// Base of the engine's workers: runs one pass on a thread of its own, has a stop-request flag
// that the owner's thread sets and the worker polls, hands its reports to the owner's thread and
// waits for them, and deletes itself when its pass is over.
//
// An owner that goes away while its worker runs calls DetachFromOwner(): from then on no report
// reaches the owner and the worker winds down on its own, so the owner never has to wait for it.
class WorkerThread {
public:
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Asks the pass to end at its next stop point. Owner's thread, while the worker lives.
    void Terminate() { stopRequested_.store(true, std::memory_order_relaxed); }
    bool Terminated() const { return stopRequested_.load(std::memory_order_relaxed); }

    // Owner's thread, while the worker lives (before its end report has run): no further report
    // runs, and the pass is asked to stop.
    void DetachFromOwner();

    // Number of workers whose thread has not yet ended, over the whole process.
    static int liveCount();
    // Waits until no worker runs any more or the time is up; true when none runs. For an orderly
    // process exit and for tests.
    static bool waitUntilNoneRuns(std::chrono::milliseconds timeout);

protected:
    explicit WorkerThread(std::shared_ptr<UiThread> uiThread);
    virtual ~WorkerThread();

    // Starts the thread; the last step of a derived constructor, once the object is complete.
    // Throws when the thread cannot be created (the object is then not running).
    void StartRunning();

    // The pass. Exceptions that leave it are swallowed; a pass delivers its own end report.
    virtual void Execute() = 0;

    // Runs `routine` on the owner's thread and waits for it. An exception thrown by the routine
    // is thrown again here, on the worker's thread. Does nothing once the worker is detached or
    // the owner's thread has stopped taking routines (the pass is then asked to stop).
    void Synchronize(const std::function<void()>& routine);

    // Owner's thread only (inside a routine): whether the owner has gone.
    bool DetachedFromOwner() const { return detached_.load(std::memory_order_relaxed); }

private:
    void run();

    std::shared_ptr<UiThread> uiThread_;
    std::atomic<bool> stopRequested_{false};
    std::atomic<bool> detached_{false};
};

} // namespace corvane::engine
