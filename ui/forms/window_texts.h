#pragma once

// The texts a window shows. Every caption of a window, the ones its description gives and the ones
// the program sets later, is kept in English as the control's caption and shown translated, in the
// window's context (its name in the description: "frm_utama", "frm_add", ...). Buttons, menu items
// and the labels of fields the user types into also get a mnemonic, a letter Alt presses,
// chosen from the shown words so that no two controls of a window (or items of one menu) share one.
//
// The English caption is what the program compares: some captions are state (the search button's,
// the path dialog's OK button's), and a translation or a mnemonic must not change that state.

#include <QList>
#include <QString>

class QAction;
class QWidget;

#include <span>

class QObject;
class QWidget;

namespace corvane::ui {

class Form;

// The caption the description gave `control` or the program set last, in English; for controls
// without one, the text it shows.
QString captionOf(const QObject* control);

// Gives `control` (a button, label, group box, tab page, menu item or window) the caption
// `english`: kept as its caption, shown translated in its window's context, with a mnemonic where
// the control takes one. The mnemonic keeps its letter while the new text has it and no other
// control took it.
void setCaption(QObject* control, const QString& english);

// The translation of `english` in the context of `control`'s window (the window's name).
QString windowText(const QObject* control, const QString& english);

// Called once when a window has been read from its description, before it is laid out: every
// caption becomes the caption of its control and is shown translated.
void localizeWindow(QWidget* form);

// Called once the window knows its labels' fields: gives out the mnemonics, menu bar first, then
// buttons in reading order, then the labels of fields, then the items of each menu.
void giveMnemonics(QWidget* form);

// The letter the mnemonic of `text` underlines ("&Open" gives 'o'), lower case; a null character
// when there is none.
QChar mnemonicOf(const QString& text);

// `text` with a mnemonic before the first letter (of a word first, then any) that is not in
// `taken` (lower-case letters), preferring `preferred`; any '&' of the text itself is doubled. The
// text unchanged, '&' doubled, when every letter is taken.
QString withMnemonic(const QString& text, const QString& taken, QChar preferred = QChar());

// The letters the mnemonics of `actions` underline, lower case.
QString lettersOf(const QList<QAction*>& actions);

// The letters taken in `form` by what Alt and a letter reaches from anywhere in it: its menu bar's
// menus, its buttons and the labels of its fields. A new menu takes a letter not among them.
QString lettersTakenIn(QWidget* form);

// `text` without its mnemonic marks, as it reads.
QString withoutMnemonic(const QString& text);

// What assistive technology says of a control, and what its tooltip shows: its name where the
// control shows none of its own (a button's is its caption, a field's its label's), and what it
// is for. The texts are English, translated in the window's context (list them with
// QT_TRANSLATE_NOOP).
struct ControlDescription {
    const char* component;   // the control's name in the description
    const char* name;        // nullptr: the control's own
    const char* description; // nullptr: none
    bool toolTip = false;    // the description is also the tooltip
};
// Gives the controls of `form` their descriptions; a component the window lacks is passed over.
void describeControls(Form& form, std::span<const ControlDescription> descriptions);

} // namespace corvane::ui
