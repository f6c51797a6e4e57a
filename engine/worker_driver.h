#pragma once

// What the scanner's and the comparer's drivers have in common: starting one worker at a time,
// asking it to stop, and letting it go when the driver goes first.

#include "engine/ui_thread.h"
#include "engine/worker_thread.h"

#include <memory>

namespace corvane::engine {

// The owner's side of a worker of type `WorkerType`. Lives on the owner's user-interface thread
// and never waits for its worker; the worker clears busy in its end report.
template <typename WorkerType> class WorkerDriver {
public:
    WorkerDriver(const WorkerDriver&) = delete;
    WorkerDriver& operator=(const WorkerDriver&) = delete;

    WorkerType* worker = nullptr; // the current run's worker; valid only while busy
    bool busy = false;            // a worker runs and its end report has not run yet

    // Starts a run unless one is under way; throws when the worker cannot be created (busy then
    // stays false).
    void start() {
        if (!busy) {
            auto control = std::make_shared<WorkerControl>();
            worker = makeWorker(control);
            workerControl_ = std::move(control);
        }
        busy = true;
    }

    // Asks a running worker to end; returns at once. Does nothing while idle.
    void stop() {
        if (busy && workerControl_) {
            workerControl_->terminate();
        }
    }

protected:
    explicit WorkerDriver(std::shared_ptr<UiThread> uiThread) : uiThread_(std::move(uiThread)) {}

    // Detaches a running worker: it reports nothing more and ends on its own.
    virtual ~WorkerDriver() {
        if (busy && workerControl_) {
            workerControl_->detachFromOwner();
        }
    }

    // Creates the worker of a new run, running at once, with `control` as its stop flag and link
    // to this driver.
    virtual WorkerType* makeWorker(std::shared_ptr<WorkerControl> control) = 0;

    const std::shared_ptr<UiThread>& uiThread() const { return uiThread_; }

private:
    std::shared_ptr<UiThread> uiThread_;
    std::shared_ptr<WorkerControl> workerControl_; // outlives the worker
};

} // namespace corvane::engine
