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
// The owner reaches its worker through a WorkerControl, which outlives the worker: an owner that
// goes away while its worker runs detaches it, after which no report reaches the owner and the
// worker winds down on its own. The owner never waits for its worker and never touches a worker
// that may have ended.
class WorkerControl {
public:
    // Asks the pass to end at its next stop point. Any thread.
    void Terminate() { stopRequested_.store(true, std::memory_order_relaxed); }
    bool Terminated() const { return stopRequested_.load(std::memory_order_relaxed); }

    // No further report runs, and the pass is asked to stop. Owner's thread.
    void DetachFromOwner() {
        detached_.store(true, std::memory_order_relaxed);
        Terminate();
    }
    bool Detached() const { return detached_.load(std::memory_order_relaxed); }

private:
    std::atomic<bool> stopRequested_{false};
    std::atomic<bool> detached_{false};
};

class WorkerThread {
public:
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // The worker's stop flag and owner link; keep it rather than the worker, which deletes itself.
    const std::shared_ptr<WorkerControl>& Control() const { return control_; }
    bool Terminated() const { return control_->Terminated(); }

    // Number of workers whose thread has not yet ended, over the whole process.
    static int liveCount();
    // Waits until no worker runs any more or the time is up; true when none runs. For an orderly
    // process exit and for tests.
    static bool waitUntilNoneRuns(std::chrono::milliseconds timeout);

protected:
    // `control` is made by the owner before the worker, so that the owner holds it even if the
    // worker ends before its constructor has returned.
    WorkerThread(std::shared_ptr<UiThread> uiThread, std::shared_ptr<WorkerControl> control);
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

private:
    void run();

    std::shared_ptr<UiThread> uiThread_;
    std::shared_ptr<WorkerControl> control_;
};

} // namespace corvane::engine
