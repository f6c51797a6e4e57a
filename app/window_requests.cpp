#include "app/window_requests.h"

#include "ui/forms/message_dialog.h"
#include "ui/views/shown_name.h"
#include "ui/windows/main_window.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTimer>

#include <exception>

namespace corvane::app {

namespace {

// Opens queued or running. Reading a set lets the event loop run between its files, so a request
// could otherwise start a second open inside the first.
int opensUnderWay = 0;

bool canOpenNow(const ui::MainWindow& window) {
    return opensUnderWay == 0 && window.canOpenResultSet() && QApplication::activeModalWidget() == nullptr;
}

} // namespace

void openSoon(ui::MainWindow& window, const std::string& file, OpenQuestion question) {
    ++opensUnderWay;
    QTimer::singleShot(0, &window, [&window, file, question] {
        try {
            const bool go =
                question == OpenQuestion::None || !window.showsResults() ||
                ui::MessageDialog(ui::MessageKind::Confirmation,
                                  QCoreApplication::translate(
                                      "Corvane", "Open the result set \"%1\"?\n\rIts search paths, "
                                                 "searched files and duplicate files take the place of "
                                                 "those shown now.")
                                      .arg(ui::shownName(file)),
                                  &window) == ui::MessageResult::Ok;
            if (go) {
                window.openResultSet(file);
            }
        } catch (const std::exception& error) {
            ui::showErrorBox(QString::fromUtf8(error.what()), &window);
        }
        --opensUnderWay;
    });
}

InstanceAnswer answerSecondStart(ui::MainWindow& window, const InstanceRequest& request) {
    const bool shown = window.bringToFront(request.activationToken);
    if (request.file) {
        if (!canOpenNow(window)) {
            return InstanceAnswer::Busy;
        }
        openSoon(window, *request.file, OpenQuestion::BeforeReplacing);
    }
    return shown ? InstanceAnswer::Shown : InstanceAnswer::NotShown;
}

} // namespace corvane::app
