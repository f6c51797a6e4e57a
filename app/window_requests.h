#pragma once

// What the window program does with a result set named on its command line, or handed over by a
// second start: the main window opens it as File > Open does once its dialog has given the name.

#include "app/instance_channel.h"

#include <string>

namespace corvane::ui {
class MainWindow;
}

namespace corvane::app {

// Whether a set opened from outside the window asks first.
enum class OpenQuestion {
    None,            // the set named on the program's own command line: nothing is shown yet
    BeforeReplacing, // a set handed over by a second start: a confirmation, when the window shows
                     // search paths, searched files or groups the set would replace
};

// Opens the set `file` (its .CVN file, bytes) in `window` from the event loop, soon, once the user
// has agreed as `question` says: errors show in the error box, as File > Open shows them. Nothing
// opens while another open is queued or runs.
void openSoon(ui::MainWindow& window, const std::string& file, OpenQuestion question = OpenQuestion::None);

// The running window's answer to a second start: it comes to the front and, when the request names
// a set, opens it (after the question above), unless the window is busy (a search runs, a dialog is
// open, a set is opening).
InstanceAnswer answerSecondStart(ui::MainWindow& window, const InstanceRequest& request);

} // namespace corvane::app
