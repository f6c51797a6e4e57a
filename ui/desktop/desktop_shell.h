#pragma once

// What the main window asks of the desktop: open a file with the program the desktop gives it,
// and show a file in the file manager. Neither waits for the desktop, so the window stays
// responsive however slowly the desktop answers; what the desktop says it cannot do is reported
// back, for the window to say so.

#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QUrl>

#include <functional>
#include <string>
#include <string_view>

namespace corvane::ui {

// The file: URL of a path given as its exact bytes, percent-encoded, so that a name that is not
// UTF-8 reaches the desktop unchanged instead of as a look-alike.
QUrl fileUrlOf(std::string_view path);

// The folder a path lies in, as bytes: everything before its last separator ("/" for a file in
// the root folder, "." for a bare name).
std::string folderOf(std::string_view path);

// The desktop services used, in one place so that tests can stand in for the desktop.
struct DesktopServices {
    // Opens a URL with the desktop's program for it (QDesktopServices::openUrl).
    std::function<bool(const QUrl&)> openUrl;
    // The bus on which the file manager is asked (the session bus).
    std::function<QDBusConnection()> bus;
    // How long the file manager may take to answer before the folder is opened instead.
    int fileManagerTimeoutMs = 10000;
};
DesktopServices& desktopServices();

// Opens the file at `path` with the desktop's program for it; false when the desktop has no way to
// (no program to hand it to).
bool openFile(std::string_view path);

// Shows the file at `path` in the file manager: its folder, with the file selected, through
// org.freedesktop.FileManager1.ShowItems on the bus. Returns at once; where the bus has no file
// manager, or it answers with an error or not in time, the folder is opened instead. Returns the
// question pending on the bus, which deletes itself once answered, or nullptr when there was no
// bus to ask and the folder has been opened already. When the folder cannot be opened either,
// `failed` runs (at once, or when the bus has answered).
QDBusPendingCallWatcher* showInFileManager(std::string_view path, std::function<void()> failed = {});

} // namespace corvane::ui
