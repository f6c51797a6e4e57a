#pragma once

// The about window: product name, version, notices and, when the system settings ask for it, a
// support link with a hand-drawn underline. Shown without blocking the main window.

#include "ui/dialog_form.h"

#include <QColor>
#include <QLine>
#include <optional>

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

    // The link label is shown (the settings asked for it at the last showing).
    bool LinkShown = false;
    // The mouse is over the link label.
    bool LinkHovered = false;

    // What FormPaint draws: the rule under the name and version, and, while the link is shown,
    // its underline, exactly as wide as the link label.
    static constexpr QLine kRule{16, 60, 304, 60};
    std::optional<QLine> linkUnderline() const;
    QColor linkUnderlineColor() const;

    void FormShow(QObject* sender);
    void FormPaint(QObject* sender);
    void Label6Click(QObject* sender);
    void Label6MouseEnter(QObject* sender);
    void Label6MouseLeave(QObject* sender);
    void btn_closeClick(QObject* sender);

private:
    void descriptionLoaded() override;
    void setLinkLook(int pixelSize, const QColor& color);

    QString notice_; // Label3's caption of the description
};

} // namespace corvane::ui
