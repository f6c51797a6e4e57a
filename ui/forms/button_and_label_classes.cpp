// Buttons (TButton, TBitBtn with its picture) and labels, which tell their window of clicks and of
// the mouse coming and going.

#include "ui/forms/control_classes.h"
#include "ui/forms/control_families.h"
#include "ui/forms/property_values.h"

#include <QEnterEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace corvane::ui {

using stream::ClassBuilder;
using stream::ClassInfo;
using stream::ObjectRef;

namespace {

// A label that tells its window of clicks and of the mouse coming and going.
class DescribedLabel final : public QLabel {
public:
    using QLabel::QLabel;
    bool autoSize = true;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        QLabel::mouseReleaseEvent(event);
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
            raiseEvent("OnClick", EventArgs{this});
        }
    }
    void enterEvent(QEnterEvent* event) override {
        QLabel::enterEvent(event);
        raiseEvent("OnMouseEnter", EventArgs{this});
    }
    void leaveEvent(QEvent* event) override {
        QLabel::leaveEvent(event);
        raiseEvent("OnMouseLeave", EventArgs{this});
    }
};

// A double-click on a button is one click: the second press of a double-click on "Stop Search"
// must not start a new search, nor one on "Delete Path" delete two paths.
class DoubleClickIsOneClick final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        return event->type() == QEvent::MouseButtonDblClick;
    }
};

ObjectRef makeButton(const ClassInfo& cls, ObjectRef, ObjectRef parent) {
    auto* button = new QPushButton(containerOf(qobjectOf(parent)));
    // Neither Enter nor Esc presses a button unless the window says so.
    button->setAutoDefault(false);
    button->installEventFilter(new DoubleClickIsOneClick(button));
    QObject::connect(button, &QPushButton::clicked, button,
                     [button] { raiseEvent("OnClick", EventArgs{button}); });
    return markInstance(cls, button);
}

} // namespace

void declareButtonAndLabelClasses(ControlClassSet& classes) {
    {
        ClassBuilder<QPushButton> b("TButton");
        b.inherits<QWidget>(*classes.control);
        declareCaption<QPushButton>(b, &QPushButton::text, &QPushButton::setText);
        b.boolean(
            "Cancel", [](const QPushButton&) { return false; }, [](QPushButton&, bool) {},
            {.defaultValue = 0});
        b.boolean(
            "Default", [](const QPushButton& c) { return c.isDefault(); },
            [](QPushButton& c, bool v) { c.setDefault(v); }, {.defaultValue = 0});
        declareEvent(b, "OnClick");
        declareComponent(b, [&classes](ObjectRef owner, ObjectRef parent) {
            return makeButton(*classes.button, owner, parent);
        });
        classes.button = b.build();
    }
    {
        ClassBuilder<QPushButton> b("TBitBtn");
        b.inherits<QPushButton>(*classes.button);
        b.text(
            "Glyph", [](const QPushButton& c) { return c.property("corvaneGlyph").toString().toStdString(); },
            [](QPushButton& c, const std::string& v) {
                const QString name = QString::fromStdString(v);
                c.setProperty("corvaneGlyph", name);
                c.setIcon(pictureIcon(name));
                c.setIconSize(QSize(16, 16));
            });
        declareComponent(b, [&classes](ObjectRef owner, ObjectRef parent) {
            return makeButton(*classes.bitBtn, owner, parent);
        });
        classes.bitBtn = b.build();
    }
    {
        ClassBuilder<QLabel> b("TLabel");
        b.inherits<QWidget>(*classes.control);
        b.enumeration(
            "Alignment", alignmentType(), [](const QLabel& c) { return alignmentOf(c.alignment()); },
            [](QLabel& c, int v) { c.setAlignment(qtAlignment(v) | Qt::AlignTop); }, {.defaultValue = 0});
        b.boolean(
            "AutoSize", [](const QLabel& c) { return static_cast<const DescribedLabel&>(c).autoSize; },
            [](QLabel& c, bool v) { static_cast<DescribedLabel&>(c).autoSize = v; }, {.defaultValue = 1});
        declareCaption<QLabel>(b, &QLabel::text, &QLabel::setText);
        b.boolean(
            "Transparent", [](const QLabel& c) { return !c.autoFillBackground(); },
            [](QLabel& c, bool v) { c.setAutoFillBackground(!v); }, {.defaultValue = 0});
        b.boolean(
            "WordWrap", [](const QLabel& c) { return c.wordWrap(); },
            [](QLabel& c, bool v) { c.setWordWrap(v); }, {.defaultValue = 0});
        declareEvent(b, "OnClick");
        declareEvent(b, "OnMouseEnter");
        declareEvent(b, "OnMouseLeave");
        declareComponent(b, [&classes](ObjectRef, ObjectRef parent) {
            auto* c = new DescribedLabel(containerOf(qobjectOf(parent)));
            c->setTextFormat(Qt::PlainText);
            return markInstance<QLabel>(*classes.label, c);
        });
        classes.label = b.build();
    }
    classes.registry.add(*classes.button);
    classes.registry.add(*classes.bitBtn);
    classes.registry.add(*classes.label);
}

// Labels that size themselves do so once their caption and font are known. A label of a fixed
// width whose text (translated, or in a font larger than the description's) needs more grows
// as much, away from the side its text keeps to.
void autoSizeLabels(QWidget* form) {
    for (auto* label : form->findChildren<QLabel*>()) {
        auto* described = dynamic_cast<DescribedLabel*>(label);
        if (!described) {
            continue;
        }
        if (described->autoSize) {
            const QPoint topLeft = described->pos();
            described->adjustSize();
            described->move(topLeft);
            continue;
        }
        const int missing =
            described->fontMetrics().horizontalAdvance(described->text()) - described->width();
        if (missing > 0 && !described->wordWrap()) {
            QRect r = described->geometry();
            if (described->alignment() & Qt::AlignRight) {
                r.setLeft(std::max(0, r.left() - missing));
            } else {
                r.setWidth(r.width() + missing);
            }
            described->setGeometry(r);
        }
    }
}

} // namespace corvane::ui
