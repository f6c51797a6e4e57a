#pragma once

// The program's four windows, created as start-up creates them, for tests that drive the main
// window: add search paths, run a search to its end, read the lists, the tree and the status.

#include "main_window_probe.h"
#include "ui/windows/about_window.h"
#include "ui/windows/delete_dialog.h"
#include "ui/windows/main_window.h"
#include "ui/windows/path_dialog.h"
#include "ui/windows/program_windows.h"

#include <gtest/gtest.h>

class QPushButton;

#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace corvane::testing {

class WindowFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    ui::MainWindow& main() { return windows_->mainWindow(); }
    // The main window's controls, drivers and handlers.
    ui::MainWindowProbe probe() { return ui::MainWindowProbe(main()); }
    ui::PathDialog& pathDialog() { return windows_->pathDialog(); }
    ui::DeleteDialog& deleteDialog() { return windows_->deleteDialog(); }
    ui::AboutWindow& aboutWindow() { return windows_->aboutWindow(); }

    // Appends a row to the search path list, as the path dialog would.
    void addSearchPath(const std::string& folder, const std::string& patterns = "*.*");
    // Clicks "Start Search" and runs the event loop until the window is idle again; false when
    // it is not idle within the generous timeout.
    bool runSearch();
    // Runs `step` on the path dialog once a click on `button` has opened it modally; the dialog
    // is cancelled afterwards if the step left it open. False when no dialog opened.
    bool withDialog(QPushButton* button, const std::function<void(ui::PathDialog&)>& step);
    // Runs the event loop until `done()` or the time is up.
    bool waitUntil(const std::function<bool()>& done);
    bool idle();

    // The rows of the searched files list (captions) and the tree as "top|child|child" lines, in view order.
    std::vector<std::string> searchedFiles();
    std::vector<std::string> treeGroups();

private:
    std::unique_ptr<ui::ProgramWindows> windows_;
};

} // namespace corvane::testing
