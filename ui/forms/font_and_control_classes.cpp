// The font of a window and its controls, and TControl, the base every control class inherits:
// place, anchors, colour, cursor, font, tab order and visibility.

#include "ui/forms/control_families.h"
#include "ui/forms/property_values.h"

#include <QFont>
#include <QPalette>

#include <algorithm>
#include <cstdlib>

namespace corvane::ui {

using stream::ClassBuilder;

void declareFontAndControlClasses(ControlClassSet& classes) {
    {
        ClassBuilder<QWidget> b("TFont");
        b.integer(
            "Charset", [](const QWidget&) { return 1; }, [](QWidget&, int32_t) {}, {.defaultValue = 1});
        b.integer(
            "Color", [](const QWidget& w) { return w.property("corvaneFontColor").toInt(); },
            [](QWidget& w, int32_t v) {
                w.setProperty("corvaneFontColor", v);
                QPalette palette = w.palette();
                const QColor color = colorOf(v, palette);
                palette.setColor(QPalette::WindowText, color);
                palette.setColor(QPalette::Text, color);
                palette.setColor(QPalette::ButtonText, color);
                w.setPalette(palette);
            },
            {.defaultValue = kClWindowText, .names = &colorNames()});
        b.integer(
            "Height", [](const QWidget& w) { return -w.font().pixelSize(); },
            [](QWidget& w, int32_t v) {
                QFont font = w.font();
                font.setPixelSize(std::max(1, std::abs(v)));
                w.setFont(font);
            });
        b.text(
            "Name", [](const QWidget& w) { return w.font().family().toStdString(); },
            [](QWidget& w, const std::string& v) {
                QFont font = w.font();
                font.setFamilies({QString::fromStdString(v)});
                w.setFont(font);
            });
        b.set(
            "Style", fontStyleType(), [](const QWidget& w) { return fontStyleOf(w.font()); },
            [](QWidget& w, uint32_t v) {
                QFont font = w.font();
                applyFontStyle(font, v);
                w.setFont(font);
            },
            {.defaultValue = 0});
        classes.font = b.build();
    }
    {
        ClassBuilder<QWidget> b("TControl");
        const auto edge = [&b](const char* name, int32_t stream::ControlPlacement::*field) {
            b.integer(
                name, [field](const QWidget& w) { return placementOf(&w).*field; },
                [field](QWidget& w, int32_t v) {
                    stream::ControlPlacement p = placementOf(&w);
                    p.*field = v;
                    applyPlacement(&w, p);
                });
        };
        edge("Left", &stream::ControlPlacement::left);
        edge("Top", &stream::ControlPlacement::top);
        edge("Width", &stream::ControlPlacement::width);
        edge("Height", &stream::ControlPlacement::height);
        b.enumeration(
            "Align", stream::alignType(), [](const QWidget& w) { return placementOf(&w).align; },
            [](QWidget& w, int v) {
                stream::ControlPlacement p = placementOf(&w);
                p.align = v;
                applyPlacement(&w, p);
            },
            {.defaultValue = stream::alNone});
        b.set(
            "Anchors", stream::anchorKindType(), [](const QWidget& w) { return placementOf(&w).anchors; },
            [](QWidget& w, uint32_t v) {
                stream::ControlPlacement p = placementOf(&w);
                p.anchors = v;
                applyPlacement(&w, p);
            },
            {.defaultValue = stream::kDefaultAnchors});
        b.integer(
            "Color", [](const QWidget& w) { return w.property("corvaneColor").toInt(); },
            [](QWidget& w, int32_t v) { setControlColor(&w, v); },
            {.defaultValue = kClDefault, .names = &colorNames()});
        b.integer(
            "Cursor", [](const QWidget& w) { return w.property("corvaneCursor").toInt(); },
            [](QWidget& w, int32_t v) {
                w.setProperty("corvaneCursor", v);
                w.setCursor(cursorOf(v));
            },
            {.defaultValue = 0, .names = &cursorNames()});
        b.boolean(
            "Enabled", [](const QWidget& w) { return w.isEnabled(); },
            [](QWidget& w, bool v) { w.setEnabled(v); }, {.defaultValue = 1});
        b.object("Font", [&classes](QWidget& w) { return stream::makeRef(*classes.font, &w); });
        b.boolean(
            "ParentFont", [](const QWidget&) { return true; }, [](QWidget&, bool) {}, {.defaultValue = 1});
        b.integer(
            "TabOrder", [](const QWidget& w) { return tabOrderOf(&w); },
            [](QWidget& w, int32_t v) { setTabOrderOf(&w, v); }, {.defaultValue = -1});
        b.boolean(
            "TabStop", [](const QWidget& w) { return w.focusPolicy() & Qt::TabFocus; },
            [](QWidget& w, bool v) { w.setFocusPolicy(v ? Qt::StrongFocus : Qt::ClickFocus); },
            {.defaultValue = 1});
        b.boolean(
            "Visible", [](const QWidget& w) { return !w.isHidden(); },
            [](QWidget& w, bool v) { w.setHidden(!v); }, {.defaultValue = 1});
        classes.control = b.build();
    }
}

} // namespace corvane::ui
