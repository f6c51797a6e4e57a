#include "ui/forms/window_texts.h"

#include "ui/forms/control_classes.h"
#include "ui/forms/form.h"
#include "ui/forms/reading_order.h"

#include <QAction>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QVariant>

#include <vector>

namespace corvane::ui {

namespace {

constexpr const char* kCaption = "corvaneCaption";
// Set on controls that take a mnemonic; holds the letter they have (possibly none).
constexpr const char* kMnemonic = "corvaneMnemonic";

QTabWidget* tabsOf(const QObject* page) {
    return qobject_cast<QTabWidget*>(page->property("corvaneTabs").value<QObject*>());
}

bool isWindow(const QObject* control) {
    const Form* form = formOf(control);
    return form && const_cast<Form*>(form)->formWidget() == control;
}

// The text a control shows, whatever kind it is.
QString shownText(const QObject* control) {
    if (QAction* action = menuAction(const_cast<QObject*>(control))) {
        return action->text();
    }
    if (const auto* button = qobject_cast<const QPushButton*>(control)) {
        return button->text();
    }
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        return label->text();
    }
    if (const auto* box = qobject_cast<const QGroupBox*>(control)) {
        return box->title();
    }
    if (const auto* widget = qobject_cast<const QWidget*>(control)) {
        return widget->windowTitle();
    }
    return {};
}

void showText(QObject* control, const QString& text) {
    if (QAction* action = menuAction(control)) {
        action->setText(text);
        if (QMenu* menu = action->menu()) {
            menu->setTitle(text);
        }
    } else if (auto* button = qobject_cast<QPushButton*>(control)) {
        button->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(text);
    } else if (auto* box = qobject_cast<QGroupBox*>(control)) {
        box->setTitle(text);
    } else if (auto* widget = qobject_cast<QWidget*>(control)) {
        widget->setWindowTitle(text);
        if (QTabWidget* tabs = tabsOf(widget)) {
            tabs->setTabText(tabs->indexOf(widget), text);
        }
    }
}

bool hasCaption(const QObject* control) {
    if (QAction* action = menuAction(const_cast<QObject*>(control))) {
        return !action->isSeparator();
    }
    return qobject_cast<const QPushButton*>(control) || qobject_cast<const QLabel*>(control) ||
           qobject_cast<const QGroupBox*>(control) || tabsOf(control) || isWindow(control);
}

// A label names a field the user types into: Alt and its letter go to the field.
bool labelsAnEditableField(const QObject* control) {
    const auto* label = qobject_cast<const QLabel*>(control);
    const auto* field = label ? qobject_cast<const QLineEdit*>(label->buddy()) : nullptr;
    return field && !field->isReadOnly();
}

bool takesMnemonic(const QObject* control) {
    if (QAction* action = menuAction(const_cast<QObject*>(control))) {
        return !action->isSeparator();
    }
    return qobject_cast<const QPushButton*>(control) || labelsAnEditableField(control);
}

// The menu items of a window, each with the menu that holds it (the menu bar or a menu).
std::vector<std::pair<QObject*, QObject*>> menuItemsOf(QWidget* form) {
    std::vector<std::pair<QObject*, QObject*>> items;
    for (QObject* child : form->findChildren<QObject*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (QAction* action = menuAction(child)) {
            QObject* holder = nullptr;
            for (QObject* associated : action->associatedObjects()) {
                if (qobject_cast<QMenuBar*>(associated) || qobject_cast<QMenu*>(associated)) {
                    holder = associated;
                }
            }
            items.emplace_back(child, holder);
        }
    }
    return items;
}

// The controls whose mnemonics must differ from `control`'s: the other items of its menu, or, for
// a control of the window and the items of its menu bar, all of those.
std::vector<QObject*> mnemonicScope(QObject* control) {
    Form* form = formOf(control);
    if (!form) {
        return {};
    }
    QWidget* window = form->formWidget();
    QObject* holder = nullptr;
    const auto items = menuItemsOf(window);
    for (const auto& [item, itemHolder] : items) {
        if (item == control) {
            holder = itemHolder;
        }
    }
    std::vector<QObject*> scope;
    const bool windowScope = holder == nullptr || qobject_cast<QMenuBar*>(holder);
    for (const auto& [item, itemHolder] : items) {
        if (itemHolder == holder || (windowScope && qobject_cast<QMenuBar*>(itemHolder))) {
            scope.push_back(item);
        }
    }
    if (windowScope) {
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            if (widget->window() == window && takesMnemonic(widget)) {
                scope.push_back(widget);
            }
        }
    }
    return scope;
}

QString takenLetters(const std::vector<QObject*>& scope, const QObject* except) {
    QString taken;
    for (const QObject* other : scope) {
        if (other != except) {
            if (const QChar letter = mnemonicOf(shownText(other)); !letter.isNull()) {
                taken += letter;
            }
        }
    }
    return taken;
}

QString contextOf(const QObject* control) {
    Form* form = formOf(control);
    return form ? form->formWidget()->objectName() : QString();
}

// Shows the caption of `control`, translated, with a mnemonic when it takes one.
void showCaption(QObject* control) {
    const QString english = control->property(kCaption).toString();
    QString text = windowText(control, english);
    if (control->property(kMnemonic).isValid()) {
        const QString before = control->property(kMnemonic).toString();
        text = withMnemonic(text, takenLetters(mnemonicScope(control), control),
                            before.isEmpty() ? QChar() : before.front());
        const QChar letter = mnemonicOf(text);
        control->setProperty(kMnemonic, letter.isNull() ? QString() : QString(letter));
    }
    showText(control, text);
}

bool isWordStart(const QString& text, qsizetype i) {
    return i == 0 || !text[i - 1].isLetterOrNumber();
}

} // namespace

QString captionOf(const QObject* control) {
    const QVariant caption = control->property(kCaption);
    return caption.isValid() ? caption.toString() : withoutMnemonic(shownText(control));
}

void setCaption(QObject* control, const QString& english) {
    control->setProperty(kCaption, english);
    showCaption(control);
}

QString windowText(const QObject* control, const QString& english) {
    const QByteArray context = contextOf(control).toUtf8();
    const QByteArray source = english.toUtf8();
    return QCoreApplication::translate(context.constData(), source.constData());
}

void localizeWindow(QWidget* form) {
    std::vector<QObject*> controls{form};
    for (QObject* child : form->findChildren<QObject*>()) {
        controls.push_back(child);
    }
    for (QObject* control : controls) {
        if (hasCaption(control) && !control->property(kCaption).isValid()) {
            control->setProperty(kCaption, shownText(control));
            showText(control, windowText(control, shownText(control)));
        }
    }
}

void giveMnemonics(QWidget* form) {
    std::vector<QObject*> ordered;
    for (const auto& [item, holder] : menuItemsOf(form)) {
        if (qobject_cast<QMenuBar*>(holder)) {
            ordered.push_back(item);
        }
    }
    const std::vector<QWidget*> reading = readingOrder(form);
    for (QWidget* widget : reading) {
        if (qobject_cast<QPushButton*>(widget)) {
            ordered.push_back(widget);
        }
    }
    for (QWidget* widget : reading) {
        if (labelsAnEditableField(widget)) {
            ordered.push_back(widget);
        }
    }
    for (const auto& [item, holder] : menuItemsOf(form)) {
        if (!qobject_cast<QMenuBar*>(holder) && takesMnemonic(item)) {
            ordered.push_back(item);
        }
    }
    for (QObject* control : ordered) {
        if (!control->property(kCaption).isValid()) {
            control->setProperty(kCaption, withoutMnemonic(shownText(control)));
        }
        control->setProperty(kMnemonic, QString());
        showCaption(control);
    }
}

QChar mnemonicOf(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == QLatin1Char('&')) {
            if (text[i + 1] != QLatin1Char('&')) {
                return text[i + 1].toLower();
            }
            ++i;
        }
    }
    return {};
}

QString lettersOf(const QList<QAction*>& actions) {
    QString taken;
    for (const QAction* action : actions) {
        if (const QChar letter = mnemonicOf(action->text()); !letter.isNull()) {
            taken += letter;
        }
    }
    return taken;
}

QString lettersTakenIn(QWidget* form) {
    QString taken;
    if (auto* window = qobject_cast<QMainWindow*>(form)) {
        if (auto* bar = qobject_cast<QMenuBar*>(window->menuWidget())) {
            taken += lettersOf(bar->actions());
        }
    }
    for (const QPushButton* button : form->findChildren<QPushButton*>()) {
        taken += mnemonicOf(button->text());
    }
    for (const QLabel* label : form->findChildren<QLabel*>()) {
        taken += mnemonicOf(label->text());
    }
    return taken;
}

QString withMnemonic(const QString& text, const QString& taken, QChar preferred) {
    const auto free = [&](QChar c) { return c.isLetterOrNumber() && !taken.contains(c.toLower()); };
    qsizetype chosen = -1;
    if (!preferred.isNull()) {
        for (qsizetype i = 0; i < text.size() && chosen < 0; ++i) {
            if (text[i].toLower() == preferred && free(text[i])) {
                chosen = i;
            }
        }
    }
    for (qsizetype i = 0; i < text.size() && chosen < 0; ++i) {
        if (isWordStart(text, i) && free(text[i])) {
            chosen = i;
        }
    }
    for (qsizetype i = 0; i < text.size() && chosen < 0; ++i) {
        if (free(text[i])) {
            chosen = i;
        }
    }
    QString result;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (i == chosen) {
            result += QLatin1Char('&');
        }
        result += text[i];
        if (text[i] == QLatin1Char('&')) {
            result += QLatin1Char('&');
        }
    }
    return result;
}

QString withoutMnemonic(const QString& text) {
    QString result;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size()) {
            ++i;
        }
        result += text[i];
    }
    return result;
}

void describeControls(Form& form, std::span<const ControlDescription> descriptions) {
    for (const ControlDescription& d : descriptions) {
        auto* control = qobject_cast<QWidget*>(form.findComponent(d.component));
        if (!control) {
            continue;
        }
        if (d.name) {
            control->setAccessibleName(windowText(control, QString::fromUtf8(d.name)));
        }
        if (d.description) {
            const QString text = windowText(control, QString::fromUtf8(d.description));
            control->setAccessibleDescription(text);
            if (d.toolTip) {
                control->setToolTip(text);
            }
        }
    }
}

} // namespace corvane::ui
