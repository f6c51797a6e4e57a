#include "ui/windows/message_dialog.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace corvane::ui {

namespace {

// Message texts break lines with a line feed then a carriage return; a box shows one break.
QString shownText(QString text) {
    return text.replace(QLatin1String("\n\r"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

} // namespace

MessageResult MessageDialog(MessageKind kind, const QString& text, QWidget* parent) {
    QMessageBox box(parent);
    box.setTextFormat(Qt::PlainText);
    box.setText(shownText(text));
    if (kind == MessageKind::Warning) {
        box.setWindowTitle(QStringLiteral("Warning"));
        box.setIcon(QMessageBox::Warning);
        QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.setDefaultButton(ok);
        box.setEscapeButton(ok);
        box.exec();
        return MessageResult::Ok;
    }
    box.setWindowTitle(QStringLiteral("Confirm"));
    box.setIcon(QMessageBox::Question);
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == ok ? MessageResult::Ok : MessageResult::Cancel;
}

QString errorBoxText(const QString& message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.')) {
        return message + QLatin1Char('.');
    }
    return message;
}

void showErrorBox(const QString& message, QWidget* parent) {
    QMessageBox box(parent);
    box.setTextFormat(Qt::PlainText);
    box.setWindowTitle(QApplication::applicationDisplayName().isEmpty()
                           ? QStringLiteral("Corvane")
                           : QApplication::applicationDisplayName());
    box.setIcon(QMessageBox::Critical);
    box.setText(shownText(errorBoxText(message)));
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
}

} // namespace corvane::ui
