#pragma once

// The path dialog: the folder of a search path and its file-name patterns, in add or save mode
// (the caption of okButton_ tells which). OK closes it only with a folder that passes the overlap
// check it was given; whoever opened it then reads the folder and the patterns.

#include "ui/forms/dialog_form.h"

#include <QCoreApplication>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace corvane::ui {

class PathDialog final : public DialogForm {
    Q_OBJECT
public:
    explicit PathDialog(QWidget* parent = nullptr);

    // The caption of okButton_ (captionOf, window_texts.h) that means add mode; any other caption
    // means save mode.
    static constexpr const char* kAddCaption = QT_TRANSLATE_NOOP("frm_add", "Add");
    static constexpr const char* kSaveCaption = QT_TRANSLATE_NOOP("frm_add", "Save");

    // Runs the folder browser over `parent` with `title`, starting at `startFolder`; the chosen
    // folder, or an empty text when the user cancels. Tests put their own chooser here.
    using FolderChooser =
        std::function<QString(QWidget* parent, const QString& title, const QString& startFolder)>;
    static FolderChooser chooseFolder;
    // The chooser chooseFolder holds unless a test replaced it: the desktop's folder dialog.
    static QString chooseFolderWithDialog(QWidget* parent, const QString& title, const QString& startFolder);

    // Given the folder typed into the dialog, the listed folder it overlaps, or nothing when it
    // may be listed.
    using OverlapCheck = std::function<std::optional<std::string>(std::string_view folder)>;
    // The check OK makes from now on; without one every folder passes.
    void setOverlapCheck(OverlapCheck check) { overlapCheck_ = std::move(check); }

    QLineEdit* pathField_ = nullptr;
    QLineEdit* patternField_ = nullptr;
    QPushButton* browseButton_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    // "Never delete files here": the folder is a reference folder (below the note, after the
    // file types in the tab order).
    QCheckBox* referenceBox_ = nullptr;

    // The folder field and the pattern field as bytes. A text set here shows as the window shows
    // names (shown_name.h) and reads back as the same bytes as long as the user leaves it as
    // shown, so that editing only the patterns of a path that is not UTF-8 keeps its bytes.
    void setPathBytes(std::string_view bytes);
    std::string pathBytes() const;
    void setPatternBytes(std::string_view bytes);
    std::string patternBytes() const;

    // Whether the folder is a reference folder.
    void setReferenceFolder(bool reference);
    bool referenceFolder() const;

    void okClicked(QObject* sender);
    void cancelClicked(QObject* sender);
    void browseClicked(QObject* sender);
    void patternChanged(QObject* sender);

protected:
    // Puts the focus in the path field.
    void showEvent(QShowEvent* event) override;
    // Esc does not cancel.
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
    // Puts referenceBox_ under the note, the dialog grown to hold it, at whatever size the
    // window was laid out.
    void placeReferenceBox();

    FieldBytes path_;
    FieldBytes patterns_;
    OverlapCheck overlapCheck_;
};

} // namespace corvane::ui
