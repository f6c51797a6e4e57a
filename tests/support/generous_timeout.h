#pragma once

#include <chrono>

namespace corvane::testing {

// How long a test waits for the event that says the work is done before it fails: far longer than
// the work takes even on a loaded machine, so that a test fails only when the event never comes.
inline constexpr std::chrono::seconds kGenerousTimeout{60};

} // namespace corvane::testing
