#include "engine/undo_runner.h"

namespace corvane::engine {

UndoWorker* UndoRunner::makeWorker(std::shared_ptr<WorkerControl> control) {
    return new UndoWorker(this, uiThread(), std::move(control));
}

UndoWorker::UndoWorker(UndoRunner* owner, std::shared_ptr<UiThread> uiThread,
                       std::shared_ptr<WorkerControl> control)
    : WorkerThread(std::move(uiThread), std::move(control)), Owner(owner), recordPath_(owner->RecordPath),
      onChangeUndone_(owner->OnChangeUndone), onFinished_(owner->OnFinished) {
    StartRunning();
}

void UndoWorker::Execute() {
    Result = undoLastRun(recordPath_, {}, false, [this](const RunChange& change, const UndoOutcome& outcome) {
        if (onChangeUndone_) {
            Synchronize([&] { onChangeUndone_(change, outcome); });
        }
        return !Terminated();
    });
}

void UndoWorker::ReportEnd() {
    Owner->Busy = false;
    if (onFinished_) {
        onFinished_(UndoEnd{Result, Failure});
    }
}

} // namespace corvane::engine
