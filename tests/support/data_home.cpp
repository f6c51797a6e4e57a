#include "support/data_home.h"

#include <cstdlib>

namespace corvane::testing {

DataHome::DataHome(const std::string& folder) {
    if (const char* old = std::getenv("XDG_DATA_HOME")) {
        previous_ = old;
    }
    pointAt(folder);
}

DataHome::~DataHome() {
    if (previous_) {
        ::setenv("XDG_DATA_HOME", previous_->c_str(), 1);
    } else {
        ::unsetenv("XDG_DATA_HOME");
    }
}

void DataHome::pointAt(const std::string& folder) {
    folder_ = folder;
    ::setenv("XDG_DATA_HOME", folder.c_str(), 1);
}

} // namespace corvane::testing
