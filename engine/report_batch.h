#pragma once

#include <chrono>
#include <cstddef>
#include <exception>
#include <vector>

namespace corvane::engine {

// Reports of a worker that go to the owner's thread together. A hand-over costs far more than
// finding or comparing one file, so a worker queues the reports of a stretch of work whose end it
// can still choose (the rest of one folder's entries, a few hundred positions of the list), and
// hands them over in one go when the batch is full, old enough, or the stretch ends.
//
// On the owner's thread each report is delivered as if it had been handed over alone: the
// worker's counts are set from it, then its handler runs with it. A stop request seen after a report that
// is a stop point, or a handler that fails, drops the reports behind it; the worker then winds its
// state back to the last report delivered and ends the stretch there, exactly where a worker
// handing over one report at a time would have ended it.
template <typename Report> class ReportBatch {
public:
    using Clock = std::chrono::steady_clock;

    struct Outcome {
        size_t delivered = 0;       // reports whose handler ran
        size_t dropped = 0;         // reports left out
        std::exception_ptr failure; // thrown by the last of them, if any
    };

    // Worker's thread.
    void add(Report report) {
        if (reports_.empty()) {
            started_ = Clock::now();
        }
        reports_.push_back(std::move(report));
    }
    bool empty() const { return reports_.empty(); }
    const Report& front() const { return reports_.front(); }
    const Report& at(size_t index) const { return reports_[index]; }

    // True when the batch should be handed over now.
    bool due() const {
        return reports_.size() >= kMostReports ||
               (!reports_.empty() && Clock::now() - started_ >= kLongestWait);
    }

    // Hands the reports over through `synchronize` (the worker's Synchronize), calling
    // `deliver(report)` for each on the owner's thread; after a report for which
    // `isStopPoint(report)` holds, `stopRequested()` ends the delivery. Empties the batch.
    template <typename Synchronize, typename Deliver, typename IsStopPoint, typename stopRequested_>
    Outcome flush(Synchronize&& synchronize, Deliver&& deliver, IsStopPoint&& isStopPoint,
                  stopRequested_&& stopRequested) {
        Outcome outcome;
        if (reports_.empty()) {
            return outcome;
        }
        try {
            synchronize([&] {
                for (Report& report : reports_) {
                    ++outcome.delivered;
                    deliver(report);
                    if (isStopPoint(report) && stopRequested()) {
                        break;
                    }
                }
            });
        } catch (...) {
            outcome.failure = std::current_exception();
        }
        outcome.dropped = reports_.size() - outcome.delivered;
        return outcome;
    }

    // After a flush: forgets the reports, keeping the memory for the next batch.
    void clear() { reports_.clear(); }

    static constexpr size_t kMostReports = 1024;
    static constexpr auto kLongestWait = std::chrono::milliseconds(15);

private:
    std::vector<Report> reports_;
    Clock::time_point started_{};
};

} // namespace corvane::engine
