#include "ui/desktop/qt_ui_thread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

namespace corvane::ui {

namespace {

struct Task {
    const std::function<void()>* routine;
    std::atomic<bool> finished{false};
    bool ran = false;
    std::exception_ptr failure;
};

// A worker hands over a report per file found and per file compared: a million of them in a
// large search. Both sides therefore first look again for a few microseconds before they sleep,
// and the main thread, once woken, keeps taking routines for a short slice before it returns to
// its event loop, so that a hand-over mostly costs no more than a glance at shared memory.
constexpr int kSpins = 2000;
constexpr auto kDrainSlice = std::chrono::milliseconds(8);
constexpr auto kDrainWait = std::chrono::microseconds(300);

} // namespace

// Shared by the object, its gate and every delivery in the event queue, so that a delivery that
// arrives after the object is gone still finds something valid to look at.
struct QtUiThread::State {
    std::thread::id mainThread = std::this_thread::get_id();
    mutable std::mutex mutex;
    mutable std::condition_variable arrived;
    std::condition_variable finished;
    std::deque<Task*> queue;
    std::atomic<size_t> queued{0};
    bool closed = false;
    bool draining = false;   // the main thread takes routines without a delivery
    int depth = 0;           // routines running on the main thread, nested through its event loop
    QObject* gate = nullptr; // null once closed

    // Main thread: runs every queued routine, then waits a moment for the next one, for at most a
    // short slice. A delivery that finds the queue empty (an earlier one ran its routine, or the
    // hand-over closed) does nothing. A routine that pumps the event loop may bring another
    // delivery here: that one runs what is queued and does not wait.
    void runPending() {
        const auto sliceEnd = std::chrono::steady_clock::now() + kDrainSlice;
        std::unique_lock lock(mutex);
        const bool outermost = depth == 0;
        for (;;) {
            while (!queue.empty()) {
                Task* task = queue.front();
                queue.pop_front();
                queued.store(queue.size(), std::memory_order_relaxed);
                ++depth;
                lock.unlock();
                // The worker waits until `finished` is set, so the routine and the task stay
                // valid; a close() from inside the routine cannot release this task, which is off
                // the queue.
                try {
                    (*task->routine)();
                    task->ran = true;
                } catch (...) {
                    task->failure = std::current_exception();
                }
                lock.lock();
                --depth;
                task->finished.store(true, std::memory_order_release);
                finished.notify_all();
            }
            if (!outermost || closed || std::chrono::steady_clock::now() >= sliceEnd) {
                break;
            }
            draining = true;
            lock.unlock();
            for (int i = 0; i < kSpins && queued.load(std::memory_order_relaxed) == 0; ++i) {
            }
            lock.lock();
            if (queue.empty() && !closed) {
                arrived.wait_for(lock, kDrainWait, [&] { return !queue.empty() || closed; });
            }
            draining = false;
            if (queue.empty()) {
                break;
            }
        }
    }

    void close() {
        std::lock_guard lock(mutex);
        closed = true;
        gate = nullptr;
        for (Task* task : queue) {
            task->finished.store(true, std::memory_order_release);
        }
        queue.clear();
        queued.store(0, std::memory_order_relaxed);
        finished.notify_all();
        arrived.notify_all();
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
    Task task;
    task.routine = &routine;
    std::unique_lock lock(state.mutex);
    if (state.closed) {
        return false;
    }
    state.queue.push_back(&task);
    state.queued.store(state.queue.size(), std::memory_order_relaxed);
    state.arrived.notify_all();
    if (!state.draining) {
        // Posted under the lock: the gate cannot be destroyed before the hand-over closes.
        QMetaObject::invokeMethod(
            state.gate, [shared = state_] { shared->runPending(); }, Qt::QueuedConnection);
    }
    lock.unlock();
    for (int i = 0; i < kSpins && !task.finished.load(std::memory_order_acquire); ++i) {
    }
    lock.lock();
    state.finished.wait(lock, [&] { return task.finished.load(std::memory_order_acquire); });
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
