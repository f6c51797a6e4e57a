// The declaration of the program's window classes and the layout they get once read.

#include "stream/class_builder.h"
#include "stream/list_controls.h"
#include "ui/forms/anchor_layout.h"
#include "ui/forms/control_classes.h"
#include "ui/forms/control_support.h"
#include "ui/forms/form.h"
#include "ui/forms/layout_scale.h"
#include "ui/forms/property_values.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QVariant>
#include <QWidget>
#include <algorithm>

namespace corvane::ui {

using stream::ClassBuilder;
using stream::ObjectRef;

namespace {

const stream::EnumType& borderIconType() {
    static const stream::EnumType type("TBorderIcon", {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"});
    return type;
}

const stream::EnumType& borderStyleType() {
    static const stream::EnumType type("TFormBorderStyle", {"bsNone", "bsSingle", "bsSizeable", "bsDialog",
                                                            "bsToolWindow", "bsSizeToolWin"});
    return type;
}

const stream::EnumType& positionType() {
    static const stream::EnumType type("TPosition", {"poDesigned", "poDefault", "poDefaultPosOnly",
                                                     "poDefaultSizeOnly", "poScreenCenter", "poDesktopCenter",
                                                     "poMainFormCenter", "poOwnerFormCenter"});
    return type;
}

enum BorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
constexpr uint32_t kBiSystemMenu = 1;
constexpr uint32_t kBiMinimize = 2;
constexpr uint32_t kBiMaximize = 4;

int intProperty(const QObject* o, const char* name, int fallback = 0) {
    const QVariant v = o->property(name);
    return v.isValid() ? v.toInt() : fallback;
}

// An integer the window keeps as a setting until its layout is finished.
void declareSetting(ClassBuilder<QWidget>& b, const char* name, const char* key,
                    std::optional<int64_t> defaultValue = std::nullopt) {
    b.integer(
        name, [key](const QWidget& w) { return intProperty(&w, key); },
        [key](QWidget& w, int32_t v) { w.setProperty(key, v); }, {.defaultValue = defaultValue});
}

std::unique_ptr<stream::ClassInfo> sizeConstraintsClass() {
    ClassBuilder<QWidget> b("TSizeConstraints");
    declareSetting(b, "MaxHeight", "corvaneMaxHeight", 0);
    declareSetting(b, "MaxWidth", "corvaneMaxWidth", 0);
    declareSetting(b, "MinHeight", "corvaneMinHeight", 0);
    declareSetting(b, "MinWidth", "corvaneMinWidth", 0);
    return b.build();
}

// The controls of a window that Tab moves through, in the order the description numbers them:
// within each container its controls by their TabOrder, each followed by the controls it holds
// (a group box or tab page where it stands). Children the description does not number (a tab
// page, the parts of a list) keep their order after the numbered ones and are looked into the same
// way; a control takes part when it has a number and takes the focus by Tab.
void collectTabOrder(QWidget* container, std::vector<QWidget*>& order) {
    auto children = container->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    children.erase(std::remove_if(children.begin(), children.end(), [](QWidget* w) { return w->isWindow(); }),
                   children.end());
    std::stable_sort(children.begin(), children.end(), [](QWidget* a, QWidget* b) {
        const int32_t first = tabOrderOf(a);
        const int32_t second = tabOrderOf(b);
        if ((first < 0) != (second < 0)) {
            return second < 0;
        }
        return first < second;
    });
    for (QWidget* child : children) {
        if (tabOrderOf(child) >= 0 && (child->focusPolicy() & Qt::TabFocus)) {
            order.push_back(child);
        }
        collectTabOrder(child, order);
    }
}

std::vector<QWidget*> tabOrder(QWidget* clientArea) {
    std::vector<QWidget*> order;
    collectTabOrder(clientArea, order);
    return order;
}

} // namespace

std::unique_ptr<stream::ClassInfo> makeFormClass(const std::string& className,
                                                 const std::vector<std::string>& handlerNames) {
    static const std::unique_ptr<stream::ClassInfo> constraints = sizeConstraintsClass();
    ClassBuilder<QWidget> b(className);
    declareSetting(b, "Left", "corvaneDesignLeft");
    declareSetting(b, "Top", "corvaneDesignTop");
    declareSetting(b, "Width", "corvaneDesignWidth");
    declareSetting(b, "Height", "corvaneDesignHeight");
    b.set(
        "BorderIcons", borderIconType(),
        [](const QWidget& w) { return static_cast<uint32_t>(intProperty(&w, "corvaneBorderIcons", 7)); },
        [](QWidget& w, uint32_t v) { w.setProperty("corvaneBorderIcons", v); }, {.defaultValue = 7});
    b.enumeration(
        "BorderStyle", borderStyleType(),
        [](const QWidget& w) { return intProperty(&w, "corvaneBorderStyle", bsSizeable); },
        [](QWidget& w, int v) { w.setProperty("corvaneBorderStyle", v); }, {.defaultValue = bsSizeable});
    b.text(
        "Caption", [](const QWidget& w) { return w.windowTitle().toStdString(); },
        [](QWidget& w, const std::string& v) { w.setWindowTitle(QString::fromStdString(v)); });
    declareSetting(b, "ClientHeight", "corvaneClientHeight");
    declareSetting(b, "ClientWidth", "corvaneClientWidth");
    b.integer(
        "Color", [](const QWidget& w) { return intProperty(&w, "corvaneColor"); },
        [](QWidget& w, int32_t v) { w.setProperty("corvaneColor", v); },
        {.defaultValue = static_cast<int32_t>(0x8000000F), .names = &colorNames()});
    b.object("Constraints", [](QWidget& w) { return stream::makeRef(*constraints, &w); });
    b.object("Font", [](QWidget& w) { return stream::makeRef(fontClass(), &w); });
    b.object(
        "Menu",
        [](QWidget& w) {
            auto* window = qobject_cast<QMainWindow*>(&w);
            return window && window->menuWidget() ? refOf(window->menuWidget()) : ObjectRef{};
        },
        [](QWidget& w, ObjectRef v) {
            auto* window = qobject_cast<QMainWindow*>(&w);
            if (auto* bar = qobject_cast<QMenuBar*>(qobjectOf(v)); window && bar) {
                window->setMenuBar(bar);
            }
        });
    b.boolean(
        "OldCreateOrder", [](const QWidget&) { return false; }, [](QWidget&, bool) {}, {.defaultValue = 0});
    b.enumeration(
        "Position", positionType(), [](const QWidget& w) { return intProperty(&w, "corvanePosition"); },
        [](QWidget& w, int v) { w.setProperty("corvanePosition", v); }, {.defaultValue = 0});
    declareSetting(b, "PixelsPerInch", "corvanePixelsPerInch", 96);
    declareSetting(b, "TextHeight", "corvaneTextHeight", 13);
    for (const char* event : {"OnClose", "OnPaint", "OnShow"}) {
        b.event(
            event, [event](const QWidget& w) { return boundHandler(&w, event); },
            [event](QWidget& w, const std::string& v) { bindHandler(&w, event, v); });
    }
    b.component({
        .name = [](const QWidget& w) { return w.objectName().toStdString(); },
        .setName = [](QWidget& w, const std::string& v) { w.setObjectName(QString::fromStdString(v)); },
        .findComponent =
            [](QWidget& w, std::string_view name) {
                Form* form = dynamic_cast<Form*>(&w);
                return form ? refOf(form->findComponent(name)) : ObjectRef{};
            },
    });
    for (const std::string& name : handlerNames) {
        b.method(name);
    }
    return b.build();
}

void finishFormLayout(QWidget* form, QWidget* clientArea) {
    scaleLayout(form, clientArea,
                layoutScaleFor(QApplication::font(), intProperty(form, "corvaneTextHeight", 13)));
    const int clientWidth = intProperty(form, "corvaneClientWidth");
    const int clientHeight = intProperty(form, "corvaneClientHeight");
    auto* mainWindow = qobject_cast<QMainWindow*>(form);
    const int menuHeight =
        mainWindow && mainWindow->menuWidget() ? mainWindow->menuWidget()->sizeHint().height() : 0;
    clientArea->resize(clientWidth, clientHeight);
    autoSizeLabels(form);

    // Every control keeps its place relative to the size its parent has now, the design size.
    std::vector<QWidget*> containers{clientArea};
    for (QWidget* widget : clientArea->findChildren<QWidget*>()) {
        if (widget->property("corvaneAnchors").isValid()) {
            const stream::ControlPlacement p = placementOf(widget);
            setAnchorRule(widget, p.anchors, p.align);
            if (std::find(containers.begin(), containers.end(), widget->parentWidget()) == containers.end()) {
                containers.push_back(widget->parentWidget());
            }
        }
    }
    for (QWidget* container : containers) {
        arrangeOnResize(container);
    }

    form->resize(clientWidth, clientHeight + menuHeight);
    const int frameWidth = intProperty(form, "corvaneDesignWidth", clientWidth) - clientWidth;
    const int frameHeight = intProperty(form, "corvaneDesignHeight", clientHeight) - clientHeight;
    const int minWidth = intProperty(form, "corvaneMinWidth");
    const int minHeight = intProperty(form, "corvaneMinHeight");
    if (minWidth > 0 || minHeight > 0) {
        form->setMinimumSize(std::max(0, minWidth - frameWidth),
                             std::max(0, minHeight - frameHeight) + menuHeight);
    }
    const int style = intProperty(form, "corvaneBorderStyle", bsSizeable);
    if (style != bsSizeable && style != bsSizeToolWin) {
        form->setFixedSize(form->size());
    }
    const auto icons = static_cast<uint32_t>(intProperty(form, "corvaneBorderIcons", 7));
    if (icons != 7 && form->isWindow()) {
        Qt::WindowFlags flags = form->windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        flags.setFlag(Qt::WindowSystemMenuHint, icons & kBiSystemMenu);
        flags.setFlag(Qt::WindowCloseButtonHint, icons & kBiSystemMenu);
        flags.setFlag(Qt::WindowMinimizeButtonHint, (icons & kBiSystemMenu) && (icons & kBiMinimize));
        flags.setFlag(Qt::WindowMaximizeButtonHint, (icons & kBiSystemMenu) && (icons & kBiMaximize));
        form->setWindowFlags(flags);
    }

    if (Form* described = dynamic_cast<Form*>(form)) {
        described->arrangeForRoom(screenRoom(form, frameWidth, frameHeight));
    }
    fitToScreen(form, clientArea, frameWidth, frameHeight);

    const std::vector<QWidget*> order = tabOrder(clientArea);
    for (size_t i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
}

void placeWindowAtShow(QWidget* form) {
    enum { poScreenCenter = 4, poDesktopCenter = 5, poMainFormCenter = 6, poOwnerFormCenter = 7 };
    const int position = intProperty(form, "corvanePosition");
    QRect area;
    if (position == poScreenCenter || position == poDesktopCenter) {
        if (QScreen* screen = form->screen() ? form->screen() : QGuiApplication::primaryScreen()) {
            area = screen->availableGeometry();
        }
    } else if ((position == poMainFormCenter || position == poOwnerFormCenter) && form->parentWidget()) {
        area = form->parentWidget()->window()->frameGeometry();
    }
    if (area.isValid()) {
        const QSize size = form->frameGeometry().size();
        form->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
    }
}

} // namespace corvane::ui
