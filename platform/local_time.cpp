#include "platform/local_time.h"

#include <ctime>

namespace corvane::platform {

std::optional<CivilDate> localDateOf(int64_t secondsSinceEpoch) {
    const time_t t = static_cast<time_t>(secondsSinceEpoch);
    if (static_cast<int64_t>(t) != secondsSinceEpoch) {
        return std::nullopt;
    }
    std::tm fields{};
    if (!localtime_r(&t, &fields)) {
        return std::nullopt;
    }
    return CivilDate{fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday};
}

} // namespace corvane::platform
