#pragma once

#include "engine/ui_thread.h"

#include <atomic>
#include <chrono>
#include <exception>
#include <functional>
#include <memory>
#include <string>

namespace corvane::engine {

// Base of the engine's workers: runs one pass on a thread of its own, has a stop-request flag
// that the owner's thread sets and the worker polls, hands its reports to the owner's thread and
// waits for them, ends with exactly one end report (also after a stop or a failure), and deletes
// itself when its pass is over.
//
// The owner reaches its worker through a WorkerControl, which outlives the worker: an owner that
// goes away while its worker runs detaches it, after which no report reaches the owner and the
// worker winds down on its own. The owner never waits for its worker and never touches a worker
// that may have ended.
class WorkerControl {
public:
    // Asks the pass to end at its next stop point. Any thread.
    void terminate() { stopRequested_.store(true, std::memory_order_relaxed); }
    bool terminated() const { return stopRequested_.load(std::memory_order_relaxed); }

    // No further report runs, and the pass is asked to stop. Owner's thread.
    void detachFromOwner() {
        detached_.store(true, std::memory_order_relaxed);
        terminate();
    }
    bool detached() const { return detached_.load(std::memory_order_relaxed); }

private:
    std::atomic<bool> stopRequested_{false};
    std::atomic<bool> detached_{false};
};

class WorkerThread {
public:
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    bool terminated() const { return control_->terminated(); }

    // Why the pass ended early: what a report's handler or the work itself threw. Empty when the
    // pass ran to its end or was stopped. Set before the end report, whose handler reads it here
    // and tells the user: a failure never passes for a run that found nothing.
    std::exception_ptr failure;

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
    void startRunning();

    // The pass. An exception that leaves it ends the pass and becomes failure.
    virtual void execute() = 0;
    // The end report, on the owner's thread, once the pass is over however it ended. Nothing is
    // left to tell about an exception that leaves it: the handlers of end reports deal with their
    // own failures.
    virtual void reportEnd() = 0;

    // Runs `routine` on the owner's thread and waits for it. An exception thrown by the routine
    // is thrown again here, on the worker's thread. Does nothing once the worker is detached or
    // the owner's thread has stopped taking routines (the pass is then asked to stop).
    void synchronize(const std::function<void()>& routine);

private:
    void run();

    std::shared_ptr<UiThread> uiThread_;
    std::shared_ptr<WorkerControl> control_;
};

// The text a user is shown for a worker's failure: the message the exception carries, "Out of
// memory" for std::bad_alloc.
std::string failureMessage(const std::exception_ptr& failure);

} // namespace corvane::engine
