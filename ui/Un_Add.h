#pragma once

// The path dialog: the folder of a search path and its file-name patterns, in add or save mode
// (the caption of btn_ok tells which).

#include "ui/dialog_form.h"

class QLineEdit;
class QPushButton;

namespace corvane::ui {

class Tfrm_add final : public DialogForm {
    Q_OBJECT
public:
    explicit Tfrm_add(QWidget* parent = nullptr);

    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* btn_ok = nullptr;
    QPushButton* btn_cancel = nullptr;

    void btn_okClick(QObject* sender);
    void btn_cancelClick(QObject* sender);
    void Button1Click(QObject* sender);
    void Edit2Change(QObject* sender);

private:
    void descriptionLoaded() override;
};

} // namespace corvane::ui
