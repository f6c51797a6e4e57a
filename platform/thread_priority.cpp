#include "platform/thread_priority.h"

#include <cerrno>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace corvane::platform {

bool lowerThisThreadsPriority(int steps) {
    // On Linux PRIO_PROCESS with a thread id names that one thread.
    const auto thread = static_cast<id_t>(::syscall(SYS_gettid));
    errno = 0;
    const int now = ::getpriority(PRIO_PROCESS, thread);
    if (now == -1 && errno != 0) {
        return false;
    }
    return ::setpriority(PRIO_PROCESS, thread, now + steps) == 0;
}

} // namespace corvane::platform
