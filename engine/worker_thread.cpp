#include "engine/worker_thread.h"

#include "platform/thread_priority.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <new>
#include <thread>

namespace corvane::engine {

namespace {

// How far a window's workers run below the window: at 5 nice levels a runnable worker has a
// third of the window thread's weight, enough for the window to win a processor quickly without
// starving the search beside other programs.
constexpr int kYieldSteps = 5;

// The count of running workers. Never destroyed: a worker thread may still be finishing while
// the process exits and runs its static destructors.
struct LiveWorkers {
    std::mutex mutex;
    std::condition_variable changed;
    int count = 0;
};

LiveWorkers& liveWorkers() {
    static auto* const live = new LiveWorkers;
    return *live;
}

} // namespace

WorkerThread::WorkerThread(std::shared_ptr<UiThread> uiThread, std::shared_ptr<WorkerControl> control)
    : uiThread_(std::move(uiThread)), control_(std::move(control)) {}

WorkerThread::~WorkerThread() = default;

void WorkerThread::startRunning() {
    LiveWorkers& live = liveWorkers();
    {
        std::lock_guard lock(live.mutex);
        ++live.count;
    }
    try {
        std::thread([this] { run(); }).detach();
    } catch (...) {
        std::lock_guard lock(live.mutex);
        --live.count;
        throw;
    }
}

void WorkerThread::run() {
    if (uiThread_->workersYield()) {
        platform::lowerThisThreadsPriority(kYieldSteps); // where refused, the worker runs as it is
    }
    try {
        execute();
    } catch (...) {
        failure = std::current_exception();
    }
    try {
        synchronize([this] { reportEnd(); });
    } catch (...) {
        // The end handler failed on the owner's thread: the run is over and no report follows
        // that could carry it.
    }
    delete this;
    LiveWorkers& live = liveWorkers();
    std::lock_guard lock(live.mutex);
    --live.count;
    live.changed.notify_all();
}

void WorkerThread::synchronize(const std::function<void()>& routine) {
    if (control_->detached()) {
        return;
    }
    std::exception_ptr thrown;
    const bool ran = uiThread_->runAndWait([&] {
        // Checked again here: the owner may have gone while this routine was waiting its turn.
        if (control_->detached()) {
            return;
        }
        try {
            routine();
        } catch (...) {
            thrown = std::current_exception();
        }
    });
    if (!ran) {
        control_->detachFromOwner();
    }
    if (thrown) {
        std::rethrow_exception(thrown);
    }
}

std::string failureMessage(const std::exception_ptr& failure) {
    if (!failure) {
        return {};
    }
    try {
        std::rethrow_exception(failure);
    } catch (const std::bad_alloc&) {
        return "Out of memory";
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return "Unknown error";
    }
}

int WorkerThread::liveCount() {
    LiveWorkers& live = liveWorkers();
    std::lock_guard lock(live.mutex);
    return live.count;
}

bool WorkerThread::waitUntilNoneRuns(std::chrono::milliseconds timeout) {
    LiveWorkers& live = liveWorkers();
    std::unique_lock lock(live.mutex);
    return live.changed.wait_for(lock, timeout, [&] { return live.count == 0; });
}

} // namespace corvane::engine
