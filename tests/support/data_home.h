#pragma once

// XDG_DATA_HOME, and with it the home trash, pointed at a folder of the test's own for as long as
// the guard lives, and XDG_STATE_HOME (where an action run keeps its record) at its subfolder
// "state"; the variables are as they were afterwards, however the test ends (an assertion that
// returns early included).

#include <optional>
#include <string>

namespace corvane::testing {

class DataHome {
public:
    explicit DataHome(const std::string& folder);
    ~DataHome();
    DataHome(const DataHome&) = delete;
    DataHome& operator=(const DataHome&) = delete;

    // Points the variables at another folder, until the guard ends.
    void pointAt(const std::string& folder);
    const std::string& folder() const { return folder_; }

private:
    std::optional<std::string> previous_;
    std::optional<std::string> previousState_;
    std::string folder_;
};

} // namespace corvane::testing
