#include "ui/windows/windows.h"

namespace corvane::ui {

MainWindow* theMainWindow = nullptr;
PathDialog* thePathDialog = nullptr;
DeleteDialog* theDeleteDialog = nullptr;
AboutWindow* theAboutWindow = nullptr;

} // namespace corvane::ui
