#include "engine/undo_runner.h"

namespace corvane::engine {

UndoWorker* UndoRunner::makeWorker(std::shared_ptr<WorkerControl> control) {
    return new UndoWorker(this, uiThread(), std::move(control));
}

UndoWorker::UndoWorker(UndoRunner* driver, std::shared_ptr<UiThread> uiThread,
                       std::shared_ptr<WorkerControl> control)
    : WorkerThread(std::move(uiThread), std::move(control)), owner(driver), recordPath_(driver->recordPath),
      onChangeUndone_(driver->onChangeUndone), onFinished_(driver->onFinished) {
    startRunning();
}

void UndoWorker::execute() {
    result = undoLastRun(recordPath_, {}, false, [this](const RunChange& change, const UndoOutcome& outcome) {
        if (onChangeUndone_) {
            synchronize([&] { onChangeUndone_(change, outcome); });
        }
        return !terminated();
    });
}

void UndoWorker::reportEnd() {
    owner->busy = false;
    if (onFinished_) {
        onFinished_(UndoEnd{result, failure});
    }
}

} // namespace corvane::engine
