// The text fields: TEdit, one line that tells its window of each change, and TMemo, many lines.

#include "ui/forms/control_families.h"
#include "ui/forms/property_values.h"

#include <QLineEdit>
#include <QPlainTextEdit>

namespace corvane::ui {

using stream::ClassBuilder;
using stream::ObjectRef;

void declareEditClasses(ControlClassSet& classes) {
    {
        ClassBuilder<QLineEdit> b("TEdit");
        b.inherits<QWidget>(*classes.control);
        b.boolean(
            "ReadOnly", [](const QLineEdit& c) { return c.isReadOnly(); },
            [](QLineEdit& c, bool v) { c.setReadOnly(v); }, {.defaultValue = 0});
        b.text(
            "Text", [](const QLineEdit& c) { return c.text().toStdString(); },
            [](QLineEdit& c, const std::string& v) { c.setText(QString::fromStdString(v)); });
        declareEvent(b, "OnChange");
        declareComponent(b, [&classes](ObjectRef, ObjectRef parent) {
            auto* c = new QLineEdit(containerOf(qobjectOf(parent)));
            QObject::connect(c, &QLineEdit::textChanged, c, [c] { raiseEvent("OnChange", EventArgs{c}); });
            return markInstance(*classes.edit, c);
        });
        classes.edit = b.build();
    }
    {
        ClassBuilder<QPlainTextEdit> b("TMemo");
        b.inherits<QWidget>(*classes.control);
        b.boolean(
            "ReadOnly", [](const QPlainTextEdit& c) { return c.isReadOnly(); },
            [](QPlainTextEdit& c, bool v) { c.setReadOnly(v); }, {.defaultValue = 0});
        b.enumeration(
            "ScrollBars", scrollStyleType(), [](const QPlainTextEdit& c) { return scrollStyleOf(c); },
            [](QPlainTextEdit& c, int v) { applyScrollStyle(c, v); }, {.defaultValue = 0});
        b.boolean(
            "WordWrap", [](const QPlainTextEdit& c) { return c.lineWrapMode() != QPlainTextEdit::NoWrap; },
            [](QPlainTextEdit& c, bool v) {
                c.setLineWrapMode(v ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
            },
            {.defaultValue = 1});
        declareComponent(b, widgetFactory<QPlainTextEdit>(classes.memo));
        classes.memo = b.build();
    }
    classes.registry.add(*classes.edit);
    classes.registry.add(*classes.memo);
}

} // namespace corvane::ui
