#include "ui/windows/path_dialog.h"

#include "ui/forms/message_dialog.h"
#include "ui/forms/window_texts.h"
#include "ui/views/shown_name.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace corvane::ui {

namespace {

// Line breaks are a line feed then a carriage return; the overlapping path follows directly.
constexpr const char* kAddOverlapMessage =
    QT_TRANSLATE_NOOP("frm_add", "Cannot Add Search Path Because It Overlaps With Another Added Path"
                                 "\n\r\n\rAlready Added Path Is...\n\r");
constexpr const char* kSaveOverlapMessage =
    QT_TRANSLATE_NOOP("frm_add", "Cannot Save Search Path Because It Overlaps With Another Added Path"
                                 "\n\r\n\rAlready Added Path Is...\n\r");
constexpr const char* kEmptyPathMessage = QT_TRANSLATE_NOOP("frm_add", "You must enter a path");
constexpr const char* kBrowseTitle = QT_TRANSLATE_NOOP("frm_add", "Select a search path.");
constexpr const char* kAllFiles = "*.*";

// What assistive technology says of the fields and buttons; the labels name the fields.
constexpr ControlDescription kControlDescriptions[] = {
    {"Edit1", nullptr, QT_TRANSLATE_NOOP("frm_add", "The folder to search, with its subfolders")},
    {"Edit2", nullptr,
     QT_TRANSLATE_NOOP("frm_add",
                       "The file name patterns to search for, such as *.jpg; several are separated "
                       "with semicolons")},
    {"Button1", nullptr, QT_TRANSLATE_NOOP("frm_add", "Choose the folder in a folder dialog"), true},
    {"btn_ok", nullptr, QT_TRANSLATE_NOOP("frm_add", "Take the folder and its file types"), true},
    {"btn_cancel", nullptr, QT_TRANSLATE_NOOP("frm_add", "Close without a change"), true},
    {"ReferenceBox", nullptr,
     QT_TRANSLATE_NOOP("frm_add",
                       "A reference folder: its files are never deleted, and a copy there is the one that "
                       "stays"),
     true},
};

QString text(const char* english) {
    return QCoreApplication::translate("frm_add", english);
}

} // namespace

PathDialog::FolderChooser PathDialog::chooseFolder = &PathDialog::chooseFolderWithDialog;

PathDialog::PathDialog(QWidget* parent) : DialogForm(parent) {
    addHandler("btn_okClick", [this](const EventArgs& args) { okClicked(args.sender); });
    addHandler("btn_cancelClick", [this](const EventArgs& args) { cancelClicked(args.sender); });
    addHandler("Button1Click", [this](const EventArgs& args) { browseClicked(args.sender); });
    addHandler("Edit2Change", [this](const EventArgs& args) { patternChanged(args.sender); });
    load("Tfrm_add", "path_dialog");
}

void PathDialog::descriptionLoaded() {
    pathField_ = control<QLineEdit>("Edit1");
    patternField_ = control<QLineEdit>("Edit2");
    browseButton_ = control<QPushButton>("Button1");
    okButton_ = control<QPushButton>("btn_ok");
    cancelButton_ = control<QPushButton>("btn_cancel");
    // No button is the dialog's default or its cancel button: Enter and Esc press none of them.
    // Space presses the focused button, Alt and its letter any of them. (A dialog would make the
    // first button that may become the default its default when it shows: none may.)
    for (QPushButton* button : {browseButton_, okButton_, cancelButton_}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    if (auto* label = control<QLabel>("Label1")) {
        label->setBuddy(pathField_);
    }
    if (auto* label = control<QLabel>("Label2")) {
        label->setBuddy(patternField_);
    }
    referenceBox_ = new QCheckBox(
        withMnemonic(text(QT_TRANSLATE_NOOP("frm_add", "Never delete files here (a reference folder)")),
                     lettersTakenIn(this), u'n'),
        clientArea());
    referenceBox_->setObjectName(QStringLiteral("ReferenceBox"));
    QWidget::setTabOrder(patternField_, referenceBox_);
    QWidget::setTabOrder(referenceBox_, browseButton_);
    describeControls(*this, kControlDescriptions);
}

void PathDialog::placeReferenceBox() {
    const QLabel* note = control<QLabel>("Label3");
    const int margin = note ? note->x() : 8;
    referenceBox_->adjustSize();
    const int top = note ? note->geometry().bottom() + margin : height();
    referenceBox_->move(margin, top);
    referenceBox_->show();
    const int wanted = referenceBox_->geometry().bottom() + margin;
    if (height() < wanted) {
        setFixedSize(width(), wanted);
    }
}

void PathDialog::setReferenceFolder(bool reference) {
    referenceBox_->setChecked(reference);
}

bool PathDialog::referenceFolder() const {
    return referenceBox_->isChecked();
}

void PathDialog::showEvent(QShowEvent* event) {
    placeReferenceBox();
    DialogForm::showEvent(event);
    // Whatever had the focus when the dialog closed last, typing goes to the path.
    pathField_->setFocus(Qt::OtherFocusReason);
}

void PathDialog::keyPressEvent(QKeyEvent* event) {
    // Esc closes nothing here (QDialog would cancel); the close box still does.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    DialogForm::keyPressEvent(event);
}

void PathDialog::setField(QLineEdit* edit, FieldBytes& kept, std::string_view bytes) {
    kept.bytes = std::string(bytes);
    kept.shown = shownName(bytes);
    edit->setText(kept.shown);
}

std::string PathDialog::fieldBytes(const QLineEdit* edit, const FieldBytes& kept) {
    const QString text = edit->text();
    return text == kept.shown ? kept.bytes : text.toStdString();
}

void PathDialog::setPathBytes(std::string_view bytes) {
    setField(pathField_, path_, bytes);
}

std::string PathDialog::pathBytes() const {
    return fieldBytes(pathField_, path_);
}

void PathDialog::setPatternBytes(std::string_view bytes) {
    setField(patternField_, patterns_, bytes);
}

std::string PathDialog::patternBytes() const {
    return fieldBytes(patternField_, patterns_);
}

void PathDialog::okClicked(QObject*) {
    const std::string path = pathBytes();
    // Only the empty text is no path: blanks are a folder name like any other.
    if (path.empty()) {
        MessageDialog(MessageKind::Warning, text(kEmptyPathMessage), this);
        return;
    }
    const bool addMode = captionOf(okButton_) == QLatin1String(kAddCaption);
    if (const std::optional<std::string> overlapping = overlapCheck_ ? overlapCheck_(path) : std::nullopt) {
        const QString message =
            text(addMode ? kAddOverlapMessage : kSaveOverlapMessage) + shownName(*overlapping);
        MessageDialog(MessageKind::Warning, message, this);
        return;
    }
    accept();
}

void PathDialog::cancelClicked(QObject*) {
    reject();
}

QString PathDialog::chooseFolderWithDialog(QWidget* parent, const QString& title,
                                           const QString& startFolder) {
    // The browser only picks a folder: nothing is created, renamed or deleted from it.
    return QFileDialog::getExistingDirectory(parent, title, startFolder,
                                             QFileDialog::ShowDirsOnly | QFileDialog::ReadOnly);
}

void PathDialog::browseClicked(QObject*) {
    const QString start = pathField_->text().isEmpty() ? QDir::currentPath() : pathField_->text();
    const QString folder = chooseFolder(this, text(kBrowseTitle), start);
    // Back to the path, chosen or not: the next key is meant for it (Enter on the browse button
    // would only open the chooser again).
    pathField_->setFocus(Qt::OtherFocusReason);
    if (folder.isEmpty()) {
        return;
    }
    setPathBytes(QFile::encodeName(folder).toStdString());
    // The next browse from an empty field starts where this one ended.
    QDir::setCurrent(folder);
}

void PathDialog::patternChanged(QObject*) {
    // patternField_ is unset while the description is still being read.
    if (patternField_ && patternField_->text().isEmpty()) {
        patternField_->setText(QLatin1String(kAllFiles));
        // Selected, so that what the user types next replaces it.
        patternField_->selectAll();
    }
}

} // namespace corvane::ui
