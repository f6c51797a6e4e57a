#include "ui/Un_Add.h"

#include "ui/Un_Utama.h"
#include "ui/list_controls_qt.h"
#include "ui/message_dialog.h"
#include "ui/search_path_list.h"
#include "ui/windows.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

namespace corvane::ui {

namespace {

// Line breaks are a line feed then a carriage return; the overlapping path follows directly.
constexpr const char* kAddOverlapMessage =
    "Cannot Add Search Path Because It Overlaps With Another Added Path"
    "\n\r\n\rAlready Added Path Is...\n\r";
constexpr const char* kSaveOverlapMessage =
    "Cannot Save Search Path Because It Overlaps With Another Added Path"
    "\n\r\n\rAlready Added Path Is...\n\r";
constexpr const char* kEmptyPathMessage = "You must enter a path";
constexpr const char* kBrowseTitle = "Select a search path.";
constexpr const char* kAllFiles = "*.*";

QString shown(std::string_view bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

} // namespace

Tfrm_add::FolderChooser Tfrm_add::chooseFolder = &Tfrm_add::chooseFolderWithDialog;

Tfrm_add::Tfrm_add(QWidget* parent) : DialogForm(parent) {
    addHandler("btn_okClick", [this](const EventArgs& args) { btn_okClick(args.sender); });
    addHandler("btn_cancelClick", [this](const EventArgs& args) { btn_cancelClick(args.sender); });
    addHandler("Button1Click", [this](const EventArgs& args) { Button1Click(args.sender); });
    addHandler("Edit2Change", [this](const EventArgs& args) { Edit2Change(args.sender); });
    load("Tfrm_add");
}

void Tfrm_add::descriptionLoaded() {
    Edit1 = control<QLineEdit>("Edit1");
    Edit2 = control<QLineEdit>("Edit2");
    Button1 = control<QPushButton>("Button1");
    btn_ok = control<QPushButton>("btn_ok");
    btn_cancel = control<QPushButton>("btn_cancel");
}

void Tfrm_add::setField(QLineEdit* edit, FieldBytes& kept, std::string_view bytes) {
    kept.bytes = std::string(bytes);
    kept.shown = shown(bytes);
    edit->setText(kept.shown);
}

std::string Tfrm_add::fieldBytes(const QLineEdit* edit, const FieldBytes& kept) {
    const QString text = edit->text();
    return text == kept.shown ? kept.bytes : text.toStdString();
}

void Tfrm_add::setPathBytes(std::string_view bytes) {
    setField(Edit1, path_, bytes);
}

std::string Tfrm_add::pathBytes() const {
    return fieldBytes(Edit1, path_);
}

void Tfrm_add::setPatternBytes(std::string_view bytes) {
    setField(Edit2, patterns_, bytes);
}

std::string Tfrm_add::patternBytes() const {
    return fieldBytes(Edit2, patterns_);
}

void Tfrm_add::btn_okClick(QObject*) {
    const std::string path = pathBytes();
    // Only the empty text is no path: blanks are a folder name like any other.
    if (path.empty()) {
        MessageDialog(MessageKind::Warning, QLatin1String(kEmptyPathMessage), this);
        return;
    }
    const bool addMode = btn_ok->text() == QLatin1String(kAddCaption);
    ListViewWidget* list = frm_utama->ListView1;
    ListViewModel* rows = list->listModel();
    // In save mode the row being edited is the selected one; it may keep its own path.
    const int edited = addMode ? -1 : selectedRow(*list);
    const int overlapping = firstOverlappingRow(*rows, path, edited);
    if (overlapping >= 0) {
        const QString message = QLatin1String(addMode ? kAddOverlapMessage : kSaveOverlapMessage) +
                                shown(rows->row(overlapping).caption());
        MessageDialog(MessageKind::Warning, message, this);
        return;
    }
    if (addMode) {
        rows->appendRow(ListRow(path, {patternBytes()}));
        rows->flushAppendedRows();
    } else if (edited >= 0) {
        ListRow row = rows->row(edited);
        row.setCaption(path);
        row.setSubItemText(0, patternBytes());
        rows->setRow(edited, std::move(row));
    }
    accept();
}

void Tfrm_add::btn_cancelClick(QObject*) {
    reject();
}

QString Tfrm_add::chooseFolderWithDialog(QWidget* parent, const QString& title, const QString& startFolder) {
    // The browser only picks a folder: nothing is created, renamed or deleted from it.
    return QFileDialog::getExistingDirectory(parent, title, startFolder,
                                             QFileDialog::ShowDirsOnly | QFileDialog::ReadOnly);
}

void Tfrm_add::Button1Click(QObject*) {
    const QString start = Edit1->text().isEmpty() ? QDir::currentPath() : Edit1->text();
    const QString folder = chooseFolder(this, QLatin1String(kBrowseTitle), start);
    if (folder.isEmpty()) {
        return;
    }
    setPathBytes(QFile::encodeName(folder).toStdString());
    // The next browse from an empty field starts where this one ended.
    QDir::setCurrent(folder);
}

void Tfrm_add::Edit2Change(QObject*) {
    // Edit2 is unset while the description is still being read.
    if (Edit2 && Edit2->text().isEmpty()) {
        Edit2->setText(QLatin1String(kAllFiles));
    }
}

void Tfrm_add::keyPressEvent(QKeyEvent* event) {
    // No button of this dialog is its cancel button: Esc closes nothing (the close box does).
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    DialogForm::keyPressEvent(event);
}

} // namespace corvane::ui
