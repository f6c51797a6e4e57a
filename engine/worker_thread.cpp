#include "engine/worker_thread.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace corvane::engine {

namespace {

std::mutex liveMutex;
std::condition_variable liveChanged;
int liveWorkers = 0;

} // namespace

WorkerThread::WorkerThread(std::shared_ptr<UiThread> uiThread) : uiThread_(std::move(uiThread)) {}

WorkerThread::~WorkerThread() = default;

void WorkerThread::StartRunning() {
    {
        std::lock_guard lock(liveMutex);
        ++liveWorkers;
    }
    try {
        std::thread([this] { run(); }).detach();
    } catch (...) {
        std::lock_guard lock(liveMutex);
        --liveWorkers;
        throw;
    }
}

void WorkerThread::run() {
    try {
        Execute();
    } catch (...) {
        // The pass reports its own end; nothing is left to tell anyone.
    }
    delete this;
    std::lock_guard lock(liveMutex);
    --liveWorkers;
    liveChanged.notify_all();
}

void WorkerThread::DetachFromOwner() {
    detached_.store(true, std::memory_order_relaxed);
    Terminate();
}

void WorkerThread::Synchronize(const std::function<void()>& routine) {
    if (DetachedFromOwner()) {
        return;
    }
    std::exception_ptr failure;
    const bool ran = uiThread_->runAndWait([&] {
        // Checked again here: the owner may have gone while this routine was waiting its turn.
        if (DetachedFromOwner()) {
            return;
        }
        try {
            routine();
        } catch (...) {
            failure = std::current_exception();
        }
    });
    if (!ran) {
        detached_.store(true, std::memory_order_relaxed);
        Terminate();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

int WorkerThread::liveCount() {
    std::lock_guard lock(liveMutex);
    return liveWorkers;
}

bool WorkerThread::waitUntilNoneRuns(std::chrono::milliseconds timeout) {
    std::unique_lock lock(liveMutex);
    return liveChanged.wait_for(lock, timeout, [] { return liveWorkers == 0; });
}

} // namespace corvane::engine
