#pragma once

// The program's message boxes: MessageDialog for warnings and confirmations, and the standard
// error box for an error that leaves an event handler.

#include <QString>

class QWidget;

namespace corvane::ui {

// RiskyConfirmation is a confirmation whose default button is "Cancel": for an action that
// cannot be taken back as easily as the user may think, Enter must not be enough.
enum class MessageKind { Warning, Confirmation, RiskyConfirmation };
enum class MessageResult { Ok, Cancel };

// A modal box centred on the screen. Warning: title "Warning", exclamation icon, "OK".
// Confirmation: title "Confirm", question-mark icon, "OK" (the default) and "Cancel"; Esc presses
// "Cancel" where there is one, else "OK". The text keeps its own line breaks and is word-wrapped.
MessageResult MessageDialog(MessageKind kind, const QString& text, QWidget* parent = nullptr);

// The text the error box shows for a message: the message with a "." appended when it is not
// empty and its last character sorts after ".".
QString errorBoxText(const QString& message);

// The error box: the application title, an error icon, "OK" and errorBoxText(message).
void showErrorBox(const QString& message, QWidget* parent = nullptr);

} // namespace corvane::ui
