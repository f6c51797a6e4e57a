#pragma once

#include "engine/content_classes.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace corvane::engine {

// Compares the runs of equal size of a file list ahead of the walk that reports them: a second
// thread reads and splits the next runs while the walk reports the current one, and the walk
// itself splits a run nobody has taken yet rather than wait. Results are handed out in run
// order. Reading ahead is bounded, so a slow reader of results does not make memory grow. A job
// that fails (out of memory) fails where the walk takes it, in order, as if the walk had done
// every job itself.
class RunsAhead {
public:
    // The files of one run that take part in the comparison, all expected to be `size` bytes.
    struct Job {
        std::vector<const char*> paths; // each followed by a NUL
        int64_t size = 0;
    };

    // `stopRequested` is polled between chunks; once it is true the remaining jobs end at once.
    // `memoryBudget` is each thread's, see ContentClasses.
    RunsAhead(std::vector<Job> jobs, std::function<bool()> stopRequested,
              size_t memoryBudget = ContentClasses::kMemoryBudget);
    // Stops the second thread and waits for it.
    ~RunsAhead();
    RunsAhead(const RunsAhead&) = delete;
    RunsAhead& operator=(const RunsAhead&) = delete;

    // The classes of job `index`; jobs must be taken in order, each once. Throws what splitting
    // the job threw. While the job is not ready, `progress` (when set) is called on the calling
    // thread with the bytes of the job's files read so far, at most every `interval`.
    using Progress = std::function<void(int64_t bytesRead)>;
    ContentClasses::Result take(size_t index, const Progress& progress = {},
                                std::chrono::milliseconds interval = std::chrono::milliseconds(250));
    // Whether take(index) would return at once.
    bool ready(size_t index);

    // How many jobs the second thread may be ahead of the walk.
    static constexpr size_t kLookahead = 512;

private:
    // A job's result, or why there is none.
    struct Outcome {
        ContentClasses::Result result;
        std::exception_ptr failure;
    };

    void helperLoop();
    Outcome compute(size_t index, ContentClasses::Workspace& workspace);
    // Calls the waiting walk's progress, if one waits and the interval has passed.
    void reportProgress();

    std::vector<Job> jobs_;
    ContentClasses classes_;
    ContentClasses::Workspace walkWorkspace_; // the walk's thread's; the second thread has its own
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::optional<Outcome>> results_;
    size_t nextToClaim_ = 0;
    size_t taken_ = 0;
    bool shuttingDown_ = false;
    // Bytes read of each job, by whichever thread splits it.
    std::unique_ptr<std::atomic<int64_t>[]> bytesRead_;
    // The walk waiting for a job: which, what to tell, how often (walk's thread only).
    struct Waiting {
        size_t index = 0;
        const Progress* progress = nullptr;
        std::chrono::milliseconds interval{};
        std::chrono::steady_clock::time_point last{};
    } waiting_;
    std::thread helper_;
};

} // namespace corvane::engine
