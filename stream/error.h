#pragma once

#include "platform/error.h"

#include <string>
#include <string_view>

namespace corvane {

namespace stream {

// Throws the stream's error with `message`, one of the texts of stream/messages.h.
[[noreturn]] inline void fail(std::string_view message) {
    throw Error(std::string(message));
}

} // namespace stream

} // namespace corvane
