#include "ui/forms/control_support.h"

#include "ui/forms/layout_scale.h"

#include <QObject>
#include <QVariant>
#include <QWidget>

namespace corvane::ui {

namespace {

constexpr const char* kAlign = "corvaneAlign";
constexpr const char* kAnchors = "corvaneAnchors";
constexpr const char* kTabOrder = "corvaneTabOrder";
constexpr const char* kClass = "corvaneClass";
constexpr const char* kInstance = "corvaneInstance";

QByteArray handlerProperty(std::string_view event) {
    return QByteArray("corvaneHandler") + QByteArray(event.data(), static_cast<qsizetype>(event.size()));
}

} // namespace

stream::ControlPlacement placementOf(const QWidget* control) {
    stream::ControlPlacement p;
    const QRect r = control->geometry();
    p.left = unscaled(control, r.x());
    p.top = unscaled(control, r.y());
    p.width = unscaled(control, r.width());
    p.height = unscaled(control, r.height());
    const QVariant align = control->property(kAlign);
    p.align = align.isValid() ? align.toInt() : stream::alNone;
    const QVariant anchors = control->property(kAnchors);
    p.anchors = anchors.isValid() ? anchors.toUInt() : stream::kDefaultAnchors;
    return p;
}

void applyPlacement(QWidget* control, const stream::ControlPlacement& placement) {
    control->setGeometry(scaled(control, placement.left), scaled(control, placement.top),
                         scaled(control, placement.width), scaled(control, placement.height));
    control->setProperty(kAlign, placement.align);
    control->setProperty(kAnchors, placement.anchors);
}

int32_t tabOrderOf(const QObject* control) {
    const QVariant order = control->property(kTabOrder);
    return order.isValid() ? order.toInt() : -1;
}

void setTabOrderOf(QObject* control, int32_t order) {
    control->setProperty(kTabOrder, order);
}

std::string boundHandler(const QObject* control, std::string_view event) {
    return control->property(handlerProperty(event)).toByteArray().toStdString();
}

void bindHandler(QObject* control, std::string_view event, const std::string& handlerName) {
    control->setProperty(handlerProperty(event), QByteArray::fromStdString(handlerName));
}

void raiseEvent(std::string_view event, const EventArgs& args) {
    const std::string name = boundHandler(args.sender, event);
    if (name.empty()) {
        return;
    }
    if (Form* form = formOf(args.sender)) {
        form->dispatch(name, args);
    }
}

void markInstance(QObject* object, const stream::ClassInfo& cls, void* instance) {
    object->setProperty(kClass, QVariant::fromValue(reinterpret_cast<quintptr>(&cls)));
    object->setProperty(kInstance, QVariant::fromValue(reinterpret_cast<quintptr>(instance)));
}

stream::ObjectRef refOf(const QObject* object) {
    if (!object) {
        return {};
    }
    const QVariant cls = object->property(kClass);
    const QVariant instance = object->property(kInstance);
    if (!cls.isValid() || !instance.isValid()) {
        return {};
    }
    return stream::ObjectRef{reinterpret_cast<const stream::ClassInfo*>(cls.value<quintptr>()),
                             reinterpret_cast<void*>(instance.value<quintptr>())};
}

QObject* qobjectOf(stream::ObjectRef ref) {
    if (!ref) {
        return nullptr;
    }
    // Every class of the registry is declared over a QObject type whose instance pointer is the
    // object itself or, for the list and tree, a type whose first base is the QObject.
    return static_cast<QObject*>(ref.instance);
}

} // namespace corvane::ui
