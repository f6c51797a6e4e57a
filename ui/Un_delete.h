#pragma once

// The delete progress dialog: moves the chosen files to the trash when it is shown, with its
// progress bar, its count and the list of files that could not be moved.

#include "ui/dialog_form.h"

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace corvane::ui {

class Tfrm_delete final : public DialogForm {
    Q_OBJECT
public:
    explicit Tfrm_delete(QWidget* parent = nullptr);

    QPlainTextEdit* Memo1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* btn_ok = nullptr;

    void FormShow(QObject* sender);
    void btn_okClick(QObject* sender);

private:
    void descriptionLoaded() override;
};

} // namespace corvane::ui
