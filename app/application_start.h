#pragma once

// The window program's application object: made here, so that a desktop it cannot reach ends the
// program with one line that says so, and named here, with the title every window keeps as its
// description gives it.

#include <QApplication>

#include <memory>

namespace corvane::app {

// Makes the QApplication. When Qt cannot show windows (no display named, a display that does not
// answer, no platform plugin that starts), it writes one line on stderr naming the problem,
// "corvane: cannot show the window: ...", and ends the process with status 1 (Qt itself would
// abort with a page of text). Messages Qt writes while it starts are passed on once it has started.
std::unique_ptr<QApplication> startApplication(int& argc, char** argv);

// The line startApplication writes when Qt cannot start: `platformMessage` is what the platform
// said first (may be empty), `display` and `waylandDisplay` the environment's DISPLAY and
// WAYLAND_DISPLAY (null when unset), `platform` QT_QPA_PLATFORM (null when unset).
std::string noWindowLine(const std::string& platformMessage, const char* display, const char* waylandDisplay,
                         const char* platform);

// Gives the application its name "Corvane", its version, icon and desktop entry. No display name is
// set: Qt would append it to the title of every window and message box ("Warning — Corvane"), and
// the titles are the ones the windows give. applicationDisplayName() is the name all the same.
void nameApplication();

} // namespace corvane::app
