#pragma once

// Waiting in a UI test for something that an event handler on the main thread will report.

#include "support/generous_timeout.h"

#include <QEventLoop>
#include <QTimer>

#include <chrono>

namespace corvane::testing {

// Runs the main thread's event loop until a handler calls finish() or the time is up.
class EventWait {
public:
    void finish() {
        finished_ = true;
        loop_.quit();
    }
    bool finished() const { return finished_; }

    // True when finish() was called (before or during the wait).
    bool wait(std::chrono::milliseconds timeout = kGenerousTimeout) {
        if (!finished_) {
            QTimer::singleShot(timeout, &loop_, &QEventLoop::quit);
            loop_.exec();
        }
        return finished_;
    }

private:
    QEventLoop loop_;
    bool finished_ = false;
};

} // namespace corvane::testing
