#pragma once

// What every window of the program shares: it is built from its window description, owns the
// controls the description creates, and has a table of handlers that the description binds to
// the controls' events by name.

#include "stream/declaration.h"

#include <QSize>
#include <QString>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class QObject;
class QWidget;

namespace corvane::ui {

// What an event tells its handler besides its sender.
struct EventArgs {
    QObject* sender = nullptr;
    int* key = nullptr;                // OnKeyDown: the key, which the handler may change
    Qt::KeyboardModifiers modifiers{}; // OnKeyDown
    bool* allow = nullptr;             // OnCollapsing: whether the node may collapse
};

class Form {
public:
    using Handler = std::function<void(const EventArgs&)>;

    virtual ~Form() = default;

    // The window itself.
    virtual QWidget* formWidget() = 0;
    // Where the description's controls are placed (below the menu bar of a main window).
    virtual QWidget* clientArea() = 0;
    // The declaration of the window's class, with its properties and handler names.
    virtual const stream::ClassInfo& formClass() const = 0;

    // Runs the handler bound to an event, if the name is in the table.
    void dispatch(const std::string& handlerName, const EventArgs& args) const;
    // The handler names of the table, for the class declaration.
    std::vector<std::string> handlerNames() const;

    // The component of this window with that object name (letter case ignored), or nullptr.
    QObject* findComponent(std::string_view name) const;

    // Reads the window description (a binary component stream) into this window, shows its
    // captions translated (window_texts.h), lays out its controls, and once descriptionLoaded has
    // run gives out the mnemonics. Throws corvane::Error with the stream's message.
    void loadDescription(std::span<const uint8_t> description);

    // Called once the description has been read and the controls laid out; labels get their
    // fields (buddies) here, before the mnemonics are given out.
    virtual void descriptionLoaded() {}

    // Called once the controls are laid out at the description's size (grown as layout_scale.h
    // says), before the window is fitted to `room`, the free area of its screen less its frame:
    // a window whose layout does not fit there may place its controls otherwise. `room` is empty
    // when there is no screen. The window is then shrunk to fit as it is (fitToScreen).
    virtual void arrangeForRoom(const QSize& room) { (void)room; }

protected:
    // Each window fills its table in its constructor.
    void addHandler(std::string name, Handler handler);

private:
    std::map<std::string, Handler, std::less<>> handlers_;
};

// Styles show where the focus is only once the keyboard has moved it in a window, and forget it
// when the window is shown again; the program's windows show it always. Call when `window` has
// been shown.
void showFocusAlways(QWidget* window);

// The window a control belongs to (the Form of its top-level widget), or nullptr.
Form* formOf(const QObject* object);

// The bytes of a window description embedded in the program (":/windows/NAME.stream", compiled
// from resources/windows/NAME.txt).
std::vector<uint8_t> embeddedDescription(const QString& name);

} // namespace corvane::ui
