#pragma once

// The about window: product name, version, notices and, when the system settings ask for it, a
// support link with a hand-drawn underline. Shown without blocking the main window.

#include "ui/forms/dialog_form.h"

#include <QColor>
#include <QLine>
#include <optional>

class QLabel;
class QPushButton;

namespace corvane::ui {

class AboutWindow final : public DialogForm {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);

    QLabel* productLabel_ = nullptr;
    QLabel* versionLabel_ = nullptr;
    QLabel* noticeLabel_ = nullptr;
    QLabel* trashNoteLabel_ = nullptr;
    QLabel* supportLabel_ = nullptr;
    QLabel* linkLabel_ = nullptr;
    QPushButton* closeButton_ = nullptr;

    // The link label is shown (the settings asked for it at the last showing).
    bool linkShown_ = false;
    // The mouse is over the link label.
    bool linkHovered_ = false;

    // What formPainted draws: the rule under the name and version, and, while the link is shown,
    // its underline, exactly as wide as the link label. In the description's pixels; the window
    // draws them as much larger as it is laid out (layout_scale.h).
    static constexpr QLine kRule{16, 60, 304, 60};
    std::optional<QLine> linkUnderline() const;
    QColor linkUnderlineColor() const;

    void formShown(QObject* sender);
    void formPainted(QObject* sender);
    void linkClicked(QObject* sender);
    void linkEntered(QObject* sender);
    void linkLeft(QObject* sender);
    void closeClicked(QObject* sender);

private:
    void descriptionLoaded() override;
    void setLinkLook(int pixelSize, const QColor& color);

    QString notice_; // noticeLabel_'s caption of the description
};

} // namespace corvane::ui
