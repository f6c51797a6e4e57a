#pragma once

// The main window's side of the engine's hand-over: a worker's routine runs on the Qt main
// thread, through the event loop, while the worker waits.

#include "engine/ui_thread.h"

#include <chrono>
#include <functional>
#include <memory>

class QObject;

namespace corvane::ui {

// close() turns away every waiting and every later routine, so a window that closes never
// waits on a worker that waits on it, whether or not the event loop still runs. Workers share
// ownership; the object may be released on any thread.
class QtUiThread final : public engine::UiThread {
public:
    // Construct on the main thread, after the application object. Routines run on this thread
    // when its event loop (or a processEvents call) delivers them. Destroying `owner` (the main
    // window; by default the application object) closes the hand-over.
    explicit QtUiThread(QObject* owner = nullptr);
    ~QtUiThread() override;
    QtUiThread(const QtUiThread&) = delete;
    QtUiThread& operator=(const QtUiThread&) = delete;

    // From another thread: queues the routine for the main thread and waits until it has run
    // there (true) or the hand-over has closed first (false, not run). From the main thread:
    // runs it at once. An exception thrown by the routine is thrown again to the caller.
    bool runAndWait(const std::function<void()>& routine) override;
    // The window's workers yield to it.
    bool workersYield() const override { return true; }

    // Releases every waiting worker without running its routine; later calls return false.
    // Any thread; call it when the window closes.
    void close();
    bool isClosed() const;

    // Waits until a routine from another thread is waiting to run, or the time is up; true if
    // one waits. For tests that must act while a worker is blocked here.
    bool waitForWaitingRoutine(std::chrono::milliseconds timeout) const;

private:
    struct State;
    class Gate;
    std::shared_ptr<State> state_;
};

} // namespace corvane::ui
