#include "app/window_requests.h"

#include "ui/windows/main_window.h"
#include "ui/windows/message_dialog.h"

#include <QAction>
#include <QApplication>
#include <QTimer>

#include <exception>

namespace corvane::app {

namespace {

// Opens queued or running. Reading a set lets the event loop run between its files, so a request
// could otherwise start a second open inside the first.
int opensUnderWay = 0;

bool canOpenNow(const ui::MainWindow& window) {
    return opensUnderWay == 0 && window.openAction_ != nullptr && window.openAction_->isEnabled() &&
           QApplication::activeModalWidget() == nullptr;
}

} // namespace

void openSoon(ui::MainWindow& window, const std::string& file) {
    ++opensUnderWay;
    QTimer::singleShot(0, &window, [&window, file] {
        try {
            window.openResultSet(file);
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
        openSoon(window, *request.file);
    }
    return shown ? InstanceAnswer::Shown : InstanceAnswer::NotShown;
}

} // namespace corvane::app
