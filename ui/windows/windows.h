#pragma once

// The program's four windows, each created once at start-up and kept until it ends.

namespace corvane::ui {

class MainWindow;
class PathDialog;
class DeleteDialog;
class AboutWindow;

extern MainWindow* theMainWindow;
extern PathDialog* thePathDialog;
extern DeleteDialog* theDeleteDialog;
extern AboutWindow* theAboutWindow;

} // namespace corvane::ui
