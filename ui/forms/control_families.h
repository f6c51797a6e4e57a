#pragma once

// How controlClasses() is declared, one family of controls at a time, each in a file of its own:
//
//   font_and_control_classes.cpp    TFont, TControl (the base of every control)
//   button_and_label_classes.cpp    TButton, TBitBtn, TLabel
//   edit_classes.cpp                TEdit, TMemo
//   container_and_bar_classes.cpp   TGroupBox, TPageControl, TTabSheet, TStatusBar, TProgressBar
//   menu_and_dialog_classes.cpp     TMainMenu, TMenuItem, TSaveDialog, TOpenDialog, and the other
//                                   components without a place: TImageList, TXPManifest
//   list_view_classes.cpp           TListView, TTreeView
//
// and what the families share while they declare their classes. Only the files of ui/forms/ that
// declare classes include it.

#include "stream/class_builder.h"
#include "ui/forms/control_support.h"
#include "ui/forms/form.h"

#include <QObject>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

namespace corvane::ui {

// Every declaration of controlClasses(), and the registry of those a description may create.
// It lives as long as the program: the factories of the classes refer to their own declarations.
struct ControlClassSet {
    std::unique_ptr<stream::ClassInfo> font, control;
    std::unique_ptr<stream::ClassInfo> button, bitBtn, label;
    std::unique_ptr<stream::ClassInfo> edit, memo;
    std::unique_ptr<stream::ClassInfo> groupBox, pageControl, tabSheet, statusPanel, statusPanels, statusBar,
        progressBar;
    std::unique_ptr<stream::ClassInfo> mainMenu, menuItem, saveDialog, openDialog, imageList, manifest;
    std::unique_ptr<stream::ClassInfo> listView, treeView;
    stream::ClassRegistry registry;
};

// Each family declares its classes into `classes` and registers those a description may create.
// The font and the control come first: the others build on them.
void declareFontAndControlClasses(ControlClassSet& classes);
void declareButtonAndLabelClasses(ControlClassSet& classes);
void declareEditClasses(ControlClassSet& classes);
void declareContainerAndBarClasses(ControlClassSet& classes);
void declareMenuAndDialogClasses(ControlClassSet& classes);
void declareListViewClasses(ControlClassSet& classes);

// Where a child record's widget goes: into the window's client area, a tab page or a group box.
inline QWidget* containerOf(QObject* parent) {
    if (Form* form = dynamic_cast<Form*>(parent)) {
        return form->clientArea();
    }
    return qobject_cast<QWidget*>(parent);
}

// The name, the owner and the factory of a class whose instances are components of a window.
template <class T>
void declareComponent(stream::ClassBuilder<T>& b,
                      std::function<stream::ObjectRef(stream::ObjectRef, stream::ObjectRef)> create) {
    b.component({
        .name = [](const T& c) { return c.objectName().toStdString(); },
        .setName = [](T& c, const std::string& v) { c.setObjectName(QString::fromStdString(v)); },
        .owner =
            [](const T& c) {
                Form* form = formOf(&c);
                return form ? refOf(form->formWidget()) : stream::ObjectRef{};
            },
        .create = std::move(create),
    });
}

// An event property: the handler name bound to the event of the control.
template <class T> void declareEvent(stream::ClassBuilder<T>& b, const char* event) {
    b.event(
        event, [event](const T& c) { return boundHandler(&c, event); },
        [event](T& c, const std::string& v) { bindHandler(&c, event, v); });
}

template <class T>
void declareCaption(stream::ClassBuilder<T>& b, QString (T::*get)() const, void (T::*set)(const QString&)) {
    b.text(
        "Caption", [get](const T& c) { return (c.*get)().toStdString(); },
        [set](T& c, const std::string& v) { (c.*set)(QString::fromStdString(v)); });
}

// A factory for child records whose widget lives in the parent's container. `cls` is filled once
// the class is built, before any record is read.
template <class W>
std::function<stream::ObjectRef(stream::ObjectRef, stream::ObjectRef)>
widgetFactory(const std::unique_ptr<stream::ClassInfo>& cls) {
    return [&cls](stream::ObjectRef, stream::ObjectRef parent) {
        W* widget = new W(containerOf(qobjectOf(parent)));
        return markInstance(*cls, widget);
    };
}

// A factory for components without a place: owned by the window.
template <class O>
std::function<stream::ObjectRef(stream::ObjectRef, stream::ObjectRef)>
componentFactory(const std::unique_ptr<stream::ClassInfo>& cls) {
    return [&cls](stream::ObjectRef owner, stream::ObjectRef) {
        O* object = new O(qobjectOf(owner));
        return markInstance(*cls, object);
    };
}

} // namespace corvane::ui
