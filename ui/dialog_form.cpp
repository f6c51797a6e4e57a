#include "ui/dialog_form.h"

#include "ui/control_classes.h"
#include "ui/control_support.h"

#include <QShowEvent>

namespace corvane::ui {

DialogForm::DialogForm(QWidget* parent) : QDialog(parent) {}

void DialogForm::load(const char* className) {
    class_ = makeFormClass(className, handlerNames());
    loadDescription(embeddedDescription(className));
}

void DialogForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        placeWindowAtShow(this);
        raiseEvent("OnShow", EventArgs{this});
    }
}

void DialogForm::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    raiseEvent("OnPaint", EventArgs{this});
}

} // namespace corvane::ui
