#pragma once

// What the controls created from window descriptions share: their place in the parent, the
// handler names bound to their events, and the way back from a Qt object to its declaration.

#include "stream/class_builder.h"
#include "stream/declaration.h"
#include "stream/list_controls.h"
#include "ui/forms/form.h"

#include <string>
#include <string_view>

class QObject;
class QWidget;

namespace corvane::ui {

// The control's place: its geometry, and the alignment and anchors it keeps for the layout. The
// bounds are the description's pixels, whatever the window's scale (layout_scale.h).
stream::ControlPlacement placementOf(const QWidget* control);
void applyPlacement(QWidget* control, const stream::ControlPlacement& placement);

// The tab order a description gave the control (-1: none).
int32_t tabOrderOf(const QObject* control);
void setTabOrderOf(QObject* control, int32_t order);

// The handler name bound to `event` ("OnClick"...) of a control, "" for none.
std::string boundHandler(const QObject* control, std::string_view event);
void bindHandler(QObject* control, std::string_view event, const std::string& handlerName);
// Runs the handler bound to `event` of `args.sender` on the sender's window.
void raiseEvent(std::string_view event, const EventArgs& args);

// Remembers that `object` is an instance of `cls` (at `instance`), so that refOf finds it.
void markInstance(QObject* object, const stream::ClassInfo& cls, void* instance);
template <class T> stream::ObjectRef markInstance(const stream::ClassInfo& cls, T* object) {
    const stream::ObjectRef ref = stream::makeRef(cls, object);
    markInstance(object, cls, ref.instance);
    return ref;
}
// The declared reference of an object created from a description (or marked), or none.
stream::ObjectRef refOf(const QObject* object);
// The Qt object behind a reference made by markInstance.
QObject* qobjectOf(stream::ObjectRef ref);

} // namespace corvane::ui
