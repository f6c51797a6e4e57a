#pragma once

#include <cstdint>
#include <optional>

namespace corvane::platform {

// A day of the calendar.
struct CivilDate {
    int year = 1900;
    int month = 1;
    int day = 1;
    friend bool operator==(const CivilDate&, const CivilDate&) = default;
};

// The local calendar day of a moment given in seconds since the epoch; nothing when the system
// cannot convert it.
std::optional<CivilDate> localDateOf(int64_t secondsSinceEpoch);

} // namespace corvane::platform
