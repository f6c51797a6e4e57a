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

ContentClasses::Result RunsAhead::compute(size_t index, ContentClasses::Workspace& workspace) {
    try {
        return classes_.split(jobs_[index].paths, jobs_[index].size, workspace);
    } catch (...) {
        // Out of memory, most likely: the run joins no class rather than the walk hanging.
        ContentClasses::Result nothing;
        nothing.classOf.assign(jobs_[index].paths.size(), -1);
        nothing.info.resize(jobs_[index].paths.size());
        return nothing;
    }
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
        ContentClasses::Result result = compute(index, workspace);
        lock.lock();
        results_[index] = std::move(result);
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
            ContentClasses::Result result = compute(claimed, walkWorkspace_);
            lock.lock();
            results_[claimed] = std::move(result);
            changed_.notify_all();
        } else {
            changed_.wait(lock);
        }
    }
    ContentClasses::Result result = std::move(*results_[index]);
    results_[index].reset();
    taken_ = index + 1;
    changed_.notify_all();
    return result;
}

} // namespace corvane::engine
