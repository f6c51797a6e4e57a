#pragma once

// What the window program does with a result set named on its command line, or handed over by a
// second start: the main window opens it as File > Open does once its dialog has given the name.

#include "app/instance_channel.h"

#include <string>

namespace corvane::ui {
class MainWindow;
}

namespace corvane::app {

// Opens the set `file` (its .CVN file, bytes) in `window` from the event loop, soon: errors show in
// the error box, as File > Open shows them. Nothing opens while another open is queued or runs.
void openSoon(ui::MainWindow& window, const std::string& file);

// The running window's answer to a second start: it comes to the front and, when the request names
// a set, opens it, unless the window is busy (a search runs, a dialog is open, a set is opening).
InstanceAnswer answerSecondStart(ui::MainWindow& window, const InstanceRequest& request);

} // namespace corvane::app
