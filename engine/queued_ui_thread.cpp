#include "engine/queued_ui_thread.h"

#include <algorithm>

namespace corvane::engine {

QueuedUiThread::QueuedUiThread(bool workersYield)
    : ownerThread_(std::this_thread::get_id()), workersYield_(workersYield) {}

QueuedUiThread::~QueuedUiThread() {
    close();
}

bool QueuedUiThread::runAndWait(const std::function<void()>& routine) {
    if (std::this_thread::get_id() == ownerThread_) {
        routine();
        return true;
    }
    Task task{&routine};
    std::unique_lock lock(mutex_);
    if (closed_) {
        return false;
    }
    queue_.push_back(&task);
    arrived_.notify_all();
    finished_.wait(lock, [&] { return task.finished; });
    return task.ran;
}

int QueuedUiThread::processPending() {
    int count = 0;
    std::unique_lock lock(mutex_);
    while (!queue_.empty()) {
        Task* task = queue_.front();
        queue_.pop_front();
        lock.unlock();
        // The worker waits until `finished` is set, so the routine and the task stay valid.
        try {
            (*task->routine)();
        } catch (...) {
            lock.lock();
            task->finished = true;
            finished_.notify_all();
            throw;
        }
        lock.lock();
        task->ran = true;
        task->finished = true;
        finished_.notify_all();
        ++count;
    }
    return count;
}

bool QueuedUiThread::runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (processPending() > 0) {
            continue;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        // `done` may also turn true without a routine (a worker ending), so look again now and then.
        const auto slice =
            std::min(deadline, std::chrono::steady_clock::now() + std::chrono::milliseconds(10));
        std::unique_lock lock(mutex_);
        arrived_.wait_until(lock, slice, [&] { return !queue_.empty(); });
    }
    return true;
}

void QueuedUiThread::close() {
    std::lock_guard lock(mutex_);
    closed_ = true;
    for (Task* task : queue_) {
        task->finished = true;
    }
    queue_.clear();
    finished_.notify_all();
}

bool InlineUiThread::runAndWait(const std::function<void()>& routine) {
    std::lock_guard lock(mutex_);
    routine();
    return true;
}

} // namespace corvane::engine
