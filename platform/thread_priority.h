#pragma once

// The scheduling priority of the calling thread.

namespace corvane::platform {

// Puts the calling thread `steps` nice levels below where it runs (Linux: each thread has its
// own nice value, and threads it starts later inherit it). Lowering needs no privilege. Returns
// false, leaving the thread as it was, when the system refuses.
bool lowerThisThreadsPriority(int steps);

} // namespace corvane::platform
