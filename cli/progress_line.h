#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace corvane::cli {

// One line of progress on stderr, rewritten in place, shown only when stderr is a terminal and
// at most ten times a second, so that a million reports cost next to nothing.
class ProgressLine {
public:
    explicit ProgressLine(bool wanted);

    // Shows the text that `make` returns, unless the last showing was less than 100 ms ago (then
    // `make` is not called at all).
    void show(const std::function<std::string()>& make);
    // Removes the line, before the result is printed.
    void clear();

private:
    bool enabled_;
    bool shown_ = false;
    std::chrono::steady_clock::time_point last_{};
};

} // namespace corvane::cli
