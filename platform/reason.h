#pragma once

// Why a file was not acted on, or an action on it failed: a code and its facts. The code is the
// reason's template in platform/reason_texts.h (the pointer into that table, so the code is its
// English text), with %1 and %2 for the facts (paths, or a count) and %3 for the system's own
// words on the error number. The command line prints text(); the window translates the code and
// fills in the facts as it shows paths (see fillReason).

#include <array>
#include <string>
#include <string_view>
#include <utility>

namespace corvane::platform {

class Reason {
public:
    Reason() = default;
    // A reason of the table, with the facts its template names. Implicit, so that a plain reason
    // of the table can be given where a Reason is wanted.
    Reason(const char* code, std::string first = {}, std::string second = {}, int error = 0)
        : code_(code), first_(std::move(first)), second_(std::move(second)), error_(error) {}

    bool empty() const { return code_ == nullptr; }
    // The template of the table, or nullptr for no reason.
    const char* code() const { return code_; }
    const std::string& first() const { return first_; }
    const std::string& second() const { return second_; }
    // The error number whose text %3 shows; 0 when there is none.
    int error() const { return error_; }

    // The English text: the template with the facts filled in; empty for no reason.
    std::string text() const;

    friend bool operator==(const Reason&, const Reason&) = default;

private:
    const char* code_ = nullptr;
    std::string first_;
    std::string second_;
    int error_ = 0;
};

// The system's words on an error number, as the reasons show them (the C library's text).
std::string systemReasonText(int error);

// `pattern` with each %1, %2 and %3 replaced by facts[0], [1] and [2] in one pass: a fact that
// holds a "%2" itself stays as it is. Any other '%' stays as it is.
std::string fillReason(std::string_view pattern, const std::array<std::string_view, 3>& facts);

} // namespace corvane::platform
