#pragma once

// The path dialog: the folder of a search path and its file-name patterns, in add or save mode
// (the caption of btn_ok tells which).

#include "ui/dialog_form.h"

#include <QString>

#include <functional>
#include <string>
#include <string_view>

class QLineEdit;
class QPushButton;

namespace corvane::ui {

class Tfrm_add final : public DialogForm {
    Q_OBJECT
public:
    explicit Tfrm_add(QWidget* parent = nullptr);

    // The caption of btn_ok that means add mode; any other caption means save mode.
    static constexpr const char* kAddCaption = "Add";
    static constexpr const char* kSaveCaption = "Save";

    // Runs the folder browser over `parent` with `title`, starting at `startFolder`; the chosen
    // folder, or an empty text when the user cancels. Tests put their own chooser here.
    using FolderChooser =
        std::function<QString(QWidget* parent, const QString& title, const QString& startFolder)>;
    static FolderChooser chooseFolder;
    // The chooser chooseFolder holds unless a test replaced it: the desktop's folder dialog.
    static QString chooseFolderWithDialog(QWidget* parent, const QString& title, const QString& startFolder);

    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* btn_ok = nullptr;
    QPushButton* btn_cancel = nullptr;

    // The folder field and the pattern field as bytes. A text set here shows converted from
    // UTF-8 and reads back as the same bytes as long as the user leaves it as shown, so that
    // editing only the patterns of a path that is not UTF-8 keeps its bytes.
    void setPathBytes(std::string_view bytes);
    std::string pathBytes() const;
    void setPatternBytes(std::string_view bytes);
    std::string patternBytes() const;

    void btn_okClick(QObject* sender);
    void btn_cancelClick(QObject* sender);
    void Button1Click(QObject* sender);
    void Edit2Change(QObject* sender);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The bytes set into a field and the text shown for them.
    struct FieldBytes {
        std::string bytes;
        QString shown;
    };
    static void setField(QLineEdit* edit, FieldBytes& kept, std::string_view bytes);
    static std::string fieldBytes(const QLineEdit* edit, const FieldBytes& kept);

    void descriptionLoaded() override;

    FieldBytes path_;
    FieldBytes patterns_;
};

} // namespace corvane::ui
