#include "ui/Un_Add.h"

#include <QLineEdit>
#include <QPushButton>

namespace corvane::ui {

Tfrm_add::Tfrm_add(QWidget* parent) : DialogForm(parent) {
    addHandler("btn_okClick", [this](const EventArgs& args) { btn_okClick(args.sender); });
    addHandler("btn_cancelClick", [this](const EventArgs& args) { btn_cancelClick(args.sender); });
    addHandler("Button1Click", [this](const EventArgs& args) { Button1Click(args.sender); });
    addHandler("Edit2Change", [this](const EventArgs& args) { Edit2Change(args.sender); });
    load("Tfrm_add");
}

void Tfrm_add::descriptionLoaded() {
    Edit1 = control<QLineEdit>("Edit1");
    Edit2 = control<QLineEdit>("Edit2");
    Button1 = control<QPushButton>("Button1");
    btn_ok = control<QPushButton>("btn_ok");
    btn_cancel = control<QPushButton>("btn_cancel");
}

void Tfrm_add::btn_okClick(QObject*) {
    accept();
}

void Tfrm_add::btn_cancelClick(QObject*) {
    reject();
}

void Tfrm_add::Button1Click(QObject*) {}

void Tfrm_add::Edit2Change(QObject*) {}

} // namespace corvane::ui
