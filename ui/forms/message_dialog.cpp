#include "ui/forms/message_dialog.h"

#include <QApplication>
#include <QCoreApplication>
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
    // The standard buttons: "OK" and "Cancel", in the language of Qt's own translations.
    if (kind == MessageKind::Warning) {
        box.setWindowTitle(QCoreApplication::translate("MessageDialog", "Warning"));
        box.setIcon(QMessageBox::Warning);
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        box.exec();
        return MessageResult::Ok;
    }
    box.setWindowTitle(QCoreApplication::translate("MessageDialog", "Confirm"));
    box.setIcon(QMessageBox::Question);
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    box.setDefaultButton(kind == MessageKind::RiskyConfirmation ? QMessageBox::Cancel : QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Cancel);
    box.exec();
    return box.clickedButton() == box.button(QMessageBox::Ok) ? MessageResult::Ok : MessageResult::Cancel;
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
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

} // namespace corvane::ui
