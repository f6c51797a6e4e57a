#include "ui/forms/dialog_form.h"

#include "ui/forms/control_classes.h"
#include "ui/forms/control_support.h"

#include <QShowEvent>

namespace corvane::ui {

DialogForm::DialogForm(QWidget* parent) : QDialog(parent) {}

void DialogForm::load(const char* className, const char* descriptionName) {
    class_ = makeFormClass(className, handlerNames());
    loadDescription(embeddedDescription(descriptionName));
}

void DialogForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    showFocusAlways(this);
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
