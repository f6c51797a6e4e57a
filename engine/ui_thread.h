#pragma once

#include <functional>

namespace corvane::engine {

// The owner's user-interface thread, as the workers see it: a worker hands a routine over and
// waits until it has run there. Reports therefore arrive in order, never overlap and need no
// locks. Implementations: the Qt main window's, a queue pumped by the owner (tests), and a
// serialised inline runner (the command line).
class UiThread {
public:
    virtual ~UiThread() = default;

    // Runs `routine` on the owner's thread and returns once it has run there. Returns false,
    // without running it, when the owner's thread no longer takes routines (it is shutting
    // down): the worker then winds down. Thread-safe.
    virtual bool runAndWait(const std::function<void()>& routine) = 0;

    // True when the owner's thread keeps a window responsive: the workers then run a few nice
    // levels below it (and so do the threads they start), so that on a machine whose processors
    // are all busy the window still gets one as soon as it has something to do. The command line
    // has nothing to keep responsive, and its workers run at its own priority.
    virtual bool workersYield() const { return false; }
};

} // namespace corvane::engine
