#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace corvane {

// The one error type of Corvane: it carries the exact text the user is shown. The window shows it in
// the standard error box, the command line prints it on stderr; neither adds to it.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

namespace stream {

// Throws the stream's error with `message`, one of the texts of stream/messages.h.
[[noreturn]] inline void fail(std::string_view message) {
    throw Error(std::string(message));
}

} // namespace stream

} // namespace corvane
