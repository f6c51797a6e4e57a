#pragma once

// The program's four windows, built from their descriptions and connected: the main window
// opens the other three, the path dialog checks a folder against the main window's search path
// list (through the check the main window gives it), the delete dialog works on the main window's
// duplicate tree. The program, the window benchmark and the window tests all start from here.

#include <memory>

namespace corvane::ui {

class AboutWindow;
class DeleteDialog;
class MainWindow;
class PathDialog;

class ProgramWindows {
public:
    // Builds the windows in the order the program has always created them: main window, path
    // dialog, delete dialog, about window, the dialogs owned by the main window (their descriptions
    // place them over it). None is shown yet. Throws corvane::Error when a description cannot be
    // read. From here on Qt writes no settings of the user (keepNoUserSettings).
    ProgramWindows();
    // Destroys them in the opposite order.
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    MainWindow& mainWindow() const { return *mainWindow_; }
    PathDialog& pathDialog() const { return *pathDialog_; }
    DeleteDialog& deleteDialog() const { return *deleteDialog_; }
    AboutWindow& aboutWindow() const { return *aboutWindow_; }

private:
    // Declared in the order of creation, so that the dialogs, children of the main window, are
    // destroyed before it.
    std::unique_ptr<MainWindow> mainWindow_;
    std::unique_ptr<PathDialog> pathDialog_;
    std::unique_ptr<DeleteDialog> deleteDialog_;
    std::unique_ptr<AboutWindow> aboutWindow_;
};

} // namespace corvane::ui
