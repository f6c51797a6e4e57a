#include "engine/runs_ahead.h"

namespace corvane::engine {

RunsAhead::RunsAhead(std::vector<Job> jobs, std::function<bool()> stopRequested, size_t memoryBudget)
    : jobs_(std::move(jobs)), classes_(std::move(stopRequested), memoryBudget), results_(jobs_.size()) {
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

ContentClasses::Result RunsAhead::take(size_t index) {
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
