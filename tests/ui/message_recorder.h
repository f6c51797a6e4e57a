#pragma once

// Answering the program's message boxes in window tests.

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QString>
#include <QTimer>

#include <vector>

namespace corvane::testing {

// Answers every message box that opens while it exists with the box's default button (its first
// button when it names none), and keeps the title, text and icon of each.
class MessageRecorder : public QObject {
public:
    struct Message {
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
    };

    MessageRecorder() { QApplication::instance()->installEventFilter(this); }

    std::vector<Message> messages;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* box = qobject_cast<QMessageBox*>(watched);
        if (box && event->type() == QEvent::Show) {
            // Answered from inside the box's own event loop, once it runs.
            QTimer::singleShot(0, box, [this, box] {
                messages.push_back({box->windowTitle(), box->text(), box->icon()});
                QAbstractButton* answer = box->defaultButton();
                if (!answer && !box->buttons().isEmpty()) {
                    answer = box->buttons().front();
                }
                if (answer) {
                    answer->click();
                }
            });
        }
        return false;
    }
};

} // namespace corvane::testing
