#include "support/data_home.h"

#include <cstdlib>

namespace corvane::testing {

namespace {

std::optional<std::string> valueOf(const char* variable) {
    const char* value = std::getenv(variable);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

void restore(const char* variable, const std::optional<std::string>& value) {
    if (value) {
        ::setenv(variable, value->c_str(), 1);
    } else {
        ::unsetenv(variable);
    }
}

} // namespace

DataHome::DataHome(const std::string& folder)
    : previous_(valueOf("XDG_DATA_HOME")), previousState_(valueOf("XDG_STATE_HOME")) {
    pointAt(folder);
}

DataHome::~DataHome() {
    restore("XDG_DATA_HOME", previous_);
    restore("XDG_STATE_HOME", previousState_);
}

void DataHome::pointAt(const std::string& folder) {
    folder_ = folder;
    ::setenv("XDG_DATA_HOME", folder.c_str(), 1);
    ::setenv("XDG_STATE_HOME", (folder + "/state").c_str(), 1);
}

} // namespace corvane::testing
