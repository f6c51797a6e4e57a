#pragma once

// The program's four windows, created as start-up creates them, for tests that drive the main
// window: add search paths, run a search to its end, read the lists, the tree and the status.

#include "ui/Un_About.h"
#include "ui/Un_Add.h"
#include "ui/Un_Utama.h"
#include "ui/Un_delete.h"

#include <gtest/gtest.h>

#include <QString>
#include <memory>
#include <string>
#include <vector>

namespace corvane::testing {

class WindowFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    ui::Tfrm_utama& main() { return *main_; }

    // Appends a row to the search path list, as the path dialog would.
    void addSearchPath(const std::string& folder, const std::string& patterns = "*.*");
    // Clicks "Start Search" and runs the event loop until the window is idle again; false when
    // it is not idle within the generous timeout.
    bool runSearch();
    // Runs the event loop until `done()` or the time is up.
    bool waitUntil(const std::function<bool()>& done);
    bool idle();

    // The rows of Listview2 (captions) and the tree as "top|child|child" lines, in view order.
    std::vector<std::string> searchedFiles();
    std::vector<std::string> treeGroups();

private:
    std::unique_ptr<ui::Tfrm_utama> main_;
    std::unique_ptr<ui::Tfrm_add> add_;
    std::unique_ptr<ui::Tfrm_delete> delete_;
    std::unique_ptr<ui::Tfrm_about> about_;
};

} // namespace corvane::testing
