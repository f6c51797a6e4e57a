#include "ui/Un_delete.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

namespace corvane::ui {

Tfrm_delete::Tfrm_delete(QWidget* parent) : DialogForm(parent) {
    addHandler("FormShow", [this](const EventArgs& args) { FormShow(args.sender); });
    addHandler("btn_okClick", [this](const EventArgs& args) { btn_okClick(args.sender); });
    load("Tfrm_delete");
}

void Tfrm_delete::descriptionLoaded() {
    Memo1 = control<QPlainTextEdit>("Memo1");
    ProgressBar1 = control<QProgressBar>("ProgressBar1");
    Label1 = control<QLabel>("Label1");
    btn_ok = control<QPushButton>("btn_ok");
}

void Tfrm_delete::FormShow(QObject*) {}

void Tfrm_delete::btn_okClick(QObject*) {
    accept();
}

} // namespace corvane::ui
