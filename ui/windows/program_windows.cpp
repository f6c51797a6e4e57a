#include "ui/windows/program_windows.h"

#include "ui/desktop/system_settings.h"

#include "ui/windows/about_window.h"
#include "ui/windows/delete_dialog.h"
#include "ui/windows/main_window.h"
#include "ui/windows/path_dialog.h"

namespace corvane::ui {

namespace {

// Before any window can open a file dialog.
std::unique_ptr<MainWindow> makeMainWindow() {
    keepNoUserSettings();
    return std::make_unique<MainWindow>();
}

} // namespace

ProgramWindows::ProgramWindows()
    : mainWindow_(makeMainWindow()), pathDialog_(std::make_unique<PathDialog>(mainWindow_.get())),
      deleteDialog_(std::make_unique<DeleteDialog>(mainWindow_->duplicateModel(), mainWindow_.get())),
      aboutWindow_(std::make_unique<AboutWindow>(mainWindow_.get())) {
    mainWindow_->setWindowsToOpen(*pathDialog_, *deleteDialog_, *aboutWindow_);
}

ProgramWindows::~ProgramWindows() = default;

} // namespace corvane::ui
