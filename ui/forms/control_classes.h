#pragma once

// The classes a window description may name, each bound to a Qt widget or object: the stream's
// declarations with getters and setters over the live control, and a factory for child records.

#include "stream/declaration.h"

#include <QIcon>
#include <QString>
#include <memory>
#include <string>
#include <vector>

class QObject;
class QWidget;
class QStatusBar;
class QAction;

namespace corvane::ui {

// Every class a description may create (TBitBtn, TButton, TLabel, TEdit, TMemo, TListView,
// TTreeView, TPageControl, TTabSheet, TGroupBox, TStatusBar, TProgressBar, TMainMenu, TMenuItem,
// TImageList, TSaveDialog, TOpenDialog, TXPManifest). Any other class fails with "Class %s not
// found".
const stream::ClassRegistry& controlClasses();

// The declaration of a window class: the window's own properties (caption, client size, border,
// font, menu, position, show, close and paint handlers) and the handler names it publishes.
std::unique_ptr<stream::ClassInfo> makeFormClass(const std::string& className,
                                                 const std::vector<std::string>& handlerNames);

// Windows are laid out once their description is read: sizes, constraints, anchors, tab order.
void finishFormLayout(QWidget* form, QWidget* clientArea);

// The one panel of a status bar created from a description.
void setStatusText(QStatusBar* statusBar, const QString& text);
QString statusText(const QStatusBar* statusBar);

// What a file dialog created from a description holds.
struct FileDialogSettings {
    QString defaultExt;
    QString filter; // in the description's form: "Caption|*.EXT"
    QString title;
    uint32_t options = 0;
};
FileDialogSettings fileDialogSettings(const QObject* dialog);

// The action of a menu item created from a description, or nullptr.
QAction* menuAction(QObject* menuItem);

// The font sub-object a window and its controls share.
const stream::ClassInfo& fontClass();

// Labels that size themselves take the size of their caption.
void autoSizeLabels(QWidget* form);

// Places a window as its description's Position asks, when it is about to be shown.
void placeWindowAtShow(QWidget* form);

// The window descriptions name Windows fonts and place text in pixels measured with them; these
// stand-ins of about their width keep captions from being cut where the fonts are missing.
void installFontSubstitutes();

// A picture of the program by name (":/pictures/NAME.svg"); a null icon when there is none.
QIcon pictureIcon(const QString& name);

} // namespace corvane::ui
