#include "cli/progress_line.h"

#include <cstdio>
#include <unistd.h>

namespace corvane::cli {

ProgressLine::ProgressLine(bool wanted) : enabled_(wanted && isatty(STDERR_FILENO)) {}

void ProgressLine::show(const std::function<std::string()>& make) {
    if (!enabled_) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (shown_ && now - last_ < std::chrono::milliseconds(100)) {
        return;
    }
    last_ = now;
    shown_ = true;
    // \033[K clears what a longer previous text left behind.
    std::fprintf(stderr, "\r%s\033[K", make().c_str());
    std::fflush(stderr);
}

void ProgressLine::clear() {
    if (enabled_ && shown_) {
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
    }
}

} // namespace corvane::cli
