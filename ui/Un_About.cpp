#include "ui/Un_About.h"

#include <QLabel>
#include <QPushButton>

namespace corvane::ui {

Tfrm_about::Tfrm_about(QWidget* parent) : DialogForm(parent) {
    const auto on = [this](const char* name, void (Tfrm_about::*handler)(QObject*)) {
        addHandler(name, [this, handler](const EventArgs& args) { (this->*handler)(args.sender); });
    };
    on("FormShow", &Tfrm_about::FormShow);
    on("FormPaint", &Tfrm_about::FormPaint);
    on("Label6Click", &Tfrm_about::Label6Click);
    on("Label6MouseEnter", &Tfrm_about::Label6MouseEnter);
    on("Label6MouseLeave", &Tfrm_about::Label6MouseLeave);
    on("btn_closeClick", &Tfrm_about::btn_closeClick);
    load("Tfrm_about");
}

void Tfrm_about::descriptionLoaded() {
    Label1 = control<QLabel>("Label1");
    Label2 = control<QLabel>("Label2");
    Label3 = control<QLabel>("Label3");
    Label4 = control<QLabel>("Label4");
    Label5 = control<QLabel>("Label5");
    Label6 = control<QLabel>("Label6");
    btn_close = control<QPushButton>("btn_close");
}

void Tfrm_about::FormShow(QObject*) {}
void Tfrm_about::FormPaint(QObject*) {}
void Tfrm_about::Label6Click(QObject*) {}
void Tfrm_about::Label6MouseEnter(QObject*) {}
void Tfrm_about::Label6MouseLeave(QObject*) {}

void Tfrm_about::btn_closeClick(QObject*) {
    hide();
}

} // namespace corvane::ui
