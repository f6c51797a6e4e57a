#pragma once

// Undoing the last action run (run_undo.h) on a worker thread, for a front end that must stay
// responsive: each change undone and the end are reported on the owner's thread, as the action
// runner reports.

#include "engine/run_undo.h"
#include "engine/worker_driver.h"

#include <functional>
#include <string>

namespace corvane::engine {

class UndoWorker;

// A change of the record, undone (or not, with the reason).
using ChangeUndoneHandler = std::function<void(const RunChange& change, const UndoOutcome& outcome)>;
// The end report. Valid during the report only.
struct UndoEnd {
    const UndoRun& result; // the counts, and any failure to read or keep the record
    std::exception_ptr failure;
};
using UndoFinishedHandler = std::function<void(const UndoEnd& end)>;

class UndoRunner final : public WorkerDriver<UndoWorker> {
public:
    explicit UndoRunner(std::shared_ptr<UiThread> uiThread) : WorkerDriver(std::move(uiThread)) {}

    // The record of the run to undo (lastRunRecordPath() for the program).
    std::string recordPath;
    ChangeUndoneHandler onChangeUndone;
    UndoFinishedHandler onFinished;

private:
    UndoWorker* makeWorker(std::shared_ptr<WorkerControl> control) override;
};

// Undoes every change of the record, the last first; a stop ends it before the next change, and
// what is left stays in the record.
class UndoWorker final : public WorkerThread {
public:
    UndoWorker(UndoRunner* driver, std::shared_ptr<UiThread> uiThread,
               std::shared_ptr<WorkerControl> control);

    UndoRunner* owner;
    UndoRun result;

private:
    void execute() override;
    void reportEnd() override;

    const std::string recordPath_;
    ChangeUndoneHandler onChangeUndone_;
    UndoFinishedHandler onFinished_;
};

} // namespace corvane::engine
