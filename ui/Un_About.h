#pragma once

// The about window: product name, version, notices and, when the system settings ask for it, a
// support link with a hand-drawn underline. Shown without blocking the main window.

#include "ui/dialog_form.h"

class QLabel;
class QPushButton;

namespace corvane::ui {

class Tfrm_about final : public DialogForm {
    Q_OBJECT
public:
    explicit Tfrm_about(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QPushButton* btn_close = nullptr;

    void FormShow(QObject* sender);
    void FormPaint(QObject* sender);
    void Label6Click(QObject* sender);
    void Label6MouseEnter(QObject* sender);
    void Label6MouseLeave(QObject* sender);
    void btn_closeClick(QObject* sender);

private:
    void descriptionLoaded() override;
};

} // namespace corvane::ui
