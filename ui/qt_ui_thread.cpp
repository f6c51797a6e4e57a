#include "ui/qt_ui_thread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

namespace corvane::ui {

namespace {

struct Task {
    const std::function<void()>* routine;
    bool finished = false;
    bool ran = false;
    std::exception_ptr failure;
};

} // namespace

// Shared by the object, its gate and every delivery in the event queue, so that a delivery that
// arrives after the object is gone still finds something valid to look at.
struct QtUiThread::State {
    std::thread::id mainThread = std::this_thread::get_id();
    mutable std::mutex mutex;
    mutable std::condition_variable arrived;
    std::condition_variable finished;
    std::deque<Task*> queue;
    bool closed = false;
    QObject* gate = nullptr; // null once closed

    // Main thread: runs every queued routine. A delivery that finds the queue empty (an earlier
    // one ran its routine, or the hand-over closed) does nothing.
    void runPending() {
        std::unique_lock lock(mutex);
        while (!queue.empty()) {
            Task* task = queue.front();
            queue.pop_front();
            lock.unlock();
            // The worker waits until `finished` is set, so the routine and the task stay valid;
            // a close() from inside the routine cannot release this task, which is off the queue.
            try {
                (*task->routine)();
                task->ran = true;
            } catch (...) {
                task->failure = std::current_exception();
            }
            lock.lock();
            task->finished = true;
            finished.notify_all();
        }
    }

    void close() {
        std::lock_guard lock(mutex);
        closed = true;
        gate = nullptr;
        for (Task* task : queue) {
            task->finished = true;
        }
        queue.clear();
        finished.notify_all();
    }
};

// The object that deliveries are addressed to. It lives on the main thread, and when its owner
// destroys it the hand-over closes, and Qt drops the deliveries still queued for it.
class QtUiThread::Gate final : public QObject {
public:
    Gate(std::shared_ptr<State> state, QObject* owner) : QObject(owner), state_(std::move(state)) {}
    ~Gate() override { state_->close(); }

private:
    std::shared_ptr<State> state_;
};

QtUiThread::QtUiThread(QObject* owner) : state_(std::make_shared<State>()) {
    state_->gate = new Gate(state_, owner ? owner : QCoreApplication::instance());
}

QtUiThread::~QtUiThread() {
    QObject* gate = nullptr;
    {
        std::lock_guard lock(state_->mutex);
        gate = state_->gate;
        if (gate && std::this_thread::get_id() != state_->mainThread) {
            // The gate belongs to the main thread; under the lock it cannot be destroyed yet, and
            // deleteLater may be called from any thread.
            gate->deleteLater();
            gate = nullptr;
        }
    }
    state_->close();
    delete gate;
}

bool QtUiThread::runAndWait(const std::function<void()>& routine) {
    State& state = *state_;
    if (std::this_thread::get_id() == state.mainThread) {
        if (isClosed()) {
            return false;
        }
        routine();
        return true;
    }
    Task task{.routine = &routine, .failure = {}};
    std::unique_lock lock(state.mutex);
    if (state.closed) {
        return false;
    }
    state.queue.push_back(&task);
    state.arrived.notify_all();
    // Posted under the lock: the gate cannot be destroyed before the hand-over closes.
    QMetaObject::invokeMethod(
        state.gate, [shared = state_] { shared->runPending(); }, Qt::QueuedConnection);
    state.finished.wait(lock, [&] { return task.finished; });
    lock.unlock();
    if (task.failure) {
        std::rethrow_exception(task.failure);
    }
    return task.ran;
}

void QtUiThread::close() {
    state_->close();
}

bool QtUiThread::isClosed() const {
    std::lock_guard lock(state_->mutex);
    return state_->closed;
}

bool QtUiThread::waitForWaitingRoutine(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(state_->mutex);
    return state_->arrived.wait_for(lock, timeout, [&] { return !state_->queue.empty(); });
}

} // namespace corvane::ui
