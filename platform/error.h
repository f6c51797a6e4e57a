#pragma once

#include <stdexcept>
#include <string>

namespace corvane {

// The one error type of Corvane, for every module: it carries the exact text the user is shown.
// The window shows it in the standard error box, the command line prints it on stderr; neither
// adds to it. Failures of the system or the library (std::system_error, std::bad_alloc) travel as
// they are and are named by engine::failureMessage.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

} // namespace corvane
