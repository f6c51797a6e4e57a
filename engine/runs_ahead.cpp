#include "engine/runs_ahead.h"

namespace corvane::engine {

RunsAhead::RunsAhead(std::vector<Job> jobs, std::function<bool()> stopRequested)
    : jobs_(std::move(jobs)), classes_(std::move(stopRequested)), results_(jobs_.size()) {
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

ContentClasses::Result RunsAhead::compute(size_t index) {
    try {
        return classes_.split(jobs_[index].paths, jobs_[index].size);
    } catch (...) {
        // Out of memory, most likely: the run joins no class rather than the walk hanging.
        ContentClasses::Result nothing;
        nothing.classOf.assign(jobs_[index].paths.size(), -1);
        nothing.info.resize(jobs_[index].paths.size());
        return nothing;
    }
}

void RunsAhead::helperLoop() {
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
        ContentClasses::Result result = compute(index);
        lock.lock();
        results_[index] = std::move(result);
        changed_.notify_all();
    }
}

ContentClasses::Result RunsAhead::take(size_t index) {
    std::unique_lock lock(mutex_);
    if (nextToClaim_ <= index) {
        // Nobody has started this one: do it here rather than wait.
        nextToClaim_ = index + 1;
        lock.unlock();
        ContentClasses::Result result = compute(index);
        lock.lock();
        taken_ = index + 1;
        changed_.notify_all();
        return result;
    }
    changed_.wait(lock, [&] { return results_[index].has_value(); });
    ContentClasses::Result result = std::move(*results_[index]);
    results_[index].reset();
    taken_ = index + 1;
    changed_.notify_all();
    return result;
}

} // namespace corvane::engine
