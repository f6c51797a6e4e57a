#include "platform/reason.h"

#include <cstring>

namespace corvane::platform {

std::string systemReasonText(int error) {
    return std::strerror(error);
}

std::string fillReason(std::string_view pattern, const std::array<std::string_view, 3>& facts) {
    std::string text;
    text.reserve(pattern.size() + facts[0].size() + facts[1].size() + facts[2].size());
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '3') {
            text += facts[pattern[i + 1] - '1'];
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

std::string Reason::text() const {
    if (code_ == nullptr) {
        return {};
    }
    const std::string system = error_ != 0 ? systemReasonText(error_) : std::string();
    return fillReason(code_, {first_, second_, system});
}

} // namespace corvane::platform
