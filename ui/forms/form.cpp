#include "ui/forms/form.h"

#include "stream/error.h"
#include "stream/stream_reader.h"
#include "ui/forms/control_classes.h"
#include "ui/forms/control_support.h"
#include "ui/forms/message_dialog.h"
#include "ui/forms/window_texts.h"

#include <QApplication>
#include <QFile>
#include <QWidget>

namespace corvane::ui {

void Form::addHandler(std::string name, Handler handler) {
    handlers_[std::move(name)] = std::move(handler);
}

void Form::dispatch(const std::string& handlerName, const EventArgs& args) const {
    const auto found = handlers_.find(handlerName);
    if (found == handlers_.end()) {
        return;
    }
    // An error that leaves a handler ends that operation and is shown in the standard box.
    try {
        found->second(args);
    } catch (const std::exception& error) {
        showErrorBox(QString::fromUtf8(error.what()), const_cast<Form*>(this)->formWidget());
    }
}

std::vector<std::string> Form::handlerNames() const {
    std::vector<std::string> names;
    for (const auto& [name, handler] : handlers_) {
        names.push_back(name);
    }
    return names;
}

QObject* Form::findComponent(std::string_view name) const {
    const QString wanted = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    QWidget* self = const_cast<Form*>(this)->formWidget();
    for (QObject* child : self->findChildren<QObject*>()) {
        if (!child->objectName().isEmpty() && child->objectName().compare(wanted, Qt::CaseInsensitive) == 0 &&
            refOf(child)) {
            return child;
        }
    }
    return nullptr;
}

void Form::loadDescription(std::span<const uint8_t> description) {
    static const bool fontsReady = (installFontSubstitutes(), true);
    (void)fontsReady;
    QWidget* self = formWidget();
    const stream::ObjectRef root = markInstance<QWidget>(formClass(), self);
    stream::ReadOptions options;
    options.classes = &controlClasses();
    options.findWindow = [](std::string_view name) -> stream::ObjectRef {
        const QString wanted = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (dynamic_cast<Form*>(window) &&
                window->objectName().compare(wanted, Qt::CaseInsensitive) == 0) {
                return refOf(window);
            }
        }
        return {};
    };
    stream::readRootRecordFromBytes(description, root, options);
    // Translated before the layout, which sizes labels to their texts.
    localizeWindow(self);
    finishFormLayout(self, clientArea());
    descriptionLoaded();
    giveMnemonics(self);
}

void showFocusAlways(QWidget* window) {
    window->setAttribute(Qt::WA_KeyboardFocusChange);
}

Form* formOf(const QObject* object) {
    for (QObject* o = const_cast<QObject*>(object); o; o = o->parent()) {
        if (auto* form = dynamic_cast<Form*>(o)) {
            return form;
        }
    }
    return nullptr;
}

std::vector<uint8_t> embeddedDescription(const QString& name) {
    QFile file(":/windows/" + name + ".stream");
    if (!file.open(QIODevice::ReadOnly)) {
        throw Error("Cannot open the window description " + name.toStdString());
    }
    const QByteArray bytes = file.readAll();
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

} // namespace corvane::ui
