#pragma once

// Answering the message boxes a UI test makes the window show, and keeping what they said.

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <vector>

namespace corvane::testing {

// Answers every message box that opens while it exists with the box's default button (its only
// button when it has no default), and keeps the title and text of each.
class MessageRecorder : public QObject {
public:
    struct Message {
        QString title;
        QString text;
    };

    MessageRecorder() { QApplication::instance()->installEventFilter(this); }

    std::vector<Message> messages;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* box = qobject_cast<QMessageBox*>(watched);
        if (box && event->type() == QEvent::Show) {
            // Answered from inside the box's own event loop, once it runs.
            QTimer::singleShot(0, box, [this, box] {
                messages.push_back({box->windowTitle(), box->text()});
                QAbstractButton* answer = box->defaultButton();
                if (answer == nullptr && !box->buttons().isEmpty()) {
                    answer = box->buttons().constFirst();
                }
                if (answer != nullptr) {
                    answer->click();
                }
            });
        }
        return false;
    }
};

} // namespace corvane::testing
