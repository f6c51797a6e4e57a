#include "engine/runs_ahead.h"

#include <algorithm>

namespace corvane::engine {

RunsAhead::RunsAhead(std::vector<Job> jobs, std::function<bool()> stopRequested, size_t memoryBudget)
    : jobs_(std::move(jobs)), classes_(std::move(stopRequested), memoryBudget), results_(jobs_.size()),
      bytesRead_(std::make_unique<std::atomic<int64_t>[]>(jobs_.size())) {
    if (jobs_.size() > 1) {
        helper_ = std::thread([this] { helperLoop(); });
    }
}

RunsAhead::~RunsAhead() {
    {
        std::lock_guard lock(mutex_);
        shuttingDown_ = true;
    }
    changed_.notify_all();
    if (helper_.joinable()) {
        helper_.join();
    }
}

RunsAhead::Outcome RunsAhead::compute(size_t index, ContentClasses::Workspace& workspace) {
    Outcome outcome;
    const bool walk = &workspace == &walkWorkspace_;
    workspace.onBytesRead = [this, index, walk](int64_t bytes) {
        bytesRead_[index] += bytes;
        if (walk) {
            reportProgress();
        }
    };
    try {
        outcome.result = classes_.split(jobs_[index].paths, jobs_[index].size, workspace);
    } catch (...) {
        // Kept for the walk, which throws it when it takes this job: a run that could not be
        // compared is a failure, never a run without duplicates.
        outcome.failure = std::current_exception();
    }
    return outcome;
}

void RunsAhead::helperLoop() {
    ContentClasses::Workspace workspace;
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] {
            return shuttingDown_ || (nextToClaim_ < jobs_.size() && nextToClaim_ < taken_ + kLookahead);
        });
        if (shuttingDown_) {
            return;
        }
        const size_t index = nextToClaim_++;
        lock.unlock();
        Outcome outcome = compute(index, workspace);
        lock.lock();
        results_[index] = std::move(outcome);
        changed_.notify_all();
    }
}

bool RunsAhead::ready(size_t index) {
    std::lock_guard lock(mutex_);
    return results_[index].has_value();
}

void RunsAhead::reportProgress() {
    if (waiting_.progress == nullptr || !*waiting_.progress) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now - waiting_.last >= waiting_.interval) {
        waiting_.last = now;
        (*waiting_.progress)(bytesRead_[waiting_.index]);
    }
}

ContentClasses::Result RunsAhead::take(size_t index, const Progress& progress,
                                       std::chrono::milliseconds interval) {
    waiting_ = {index, &progress, interval, std::chrono::steady_clock::now()};
    struct StopWaiting {
        Waiting& waiting;
        ~StopWaiting() { waiting = {}; }
    } stopWaiting{waiting_};
    std::unique_lock lock(mutex_);
    // While the job wanted is not ready, do the next job nobody has started rather than wait:
    // both threads then compare, whichever job the walk needs next.
    while (!results_[index].has_value()) {
        if (nextToClaim_ < jobs_.size() && nextToClaim_ <= index + kLookahead) {
            const size_t claimed = nextToClaim_++;
            lock.unlock();
            Outcome outcome = compute(claimed, walkWorkspace_);
            lock.lock();
            results_[claimed] = std::move(outcome);
            changed_.notify_all();
        } else if (progress) {
            changed_.wait_for(lock, std::max(interval, std::chrono::milliseconds(1)));
            if (!results_[index].has_value()) {
                lock.unlock();
                reportProgress();
                lock.lock();
            }
        } else {
            changed_.wait(lock);
        }
    }
    Outcome outcome = std::move(*results_[index]);
    results_[index].reset();
    taken_ = index + 1;
    changed_.notify_all();
    lock.unlock();
    if (outcome.failure) {
        std::rethrow_exception(outcome.failure);
    }
    return std::move(outcome.result);
}

} // namespace corvane::engine
