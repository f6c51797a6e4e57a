#include "ui/windows/search_options_dialog.h"

#include "ui/forms/form.h"
#include "ui/forms/message_dialog.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvane::ui {

namespace {

// The texts are translated in the dialog's own context.
QString translated(const char* english) {
    return QCoreApplication::translate("SearchOptionsDialog", english);
}

constexpr const char* kMinimumNoSize = QT_TRANSLATE_NOOP(
    "SearchOptionsDialog", "The minimum size \"%1\" is not a size. Give a number of bytes, or a whole number "
                           "followed by K, M, G or T (1K is 1024 bytes).");
constexpr const char* kMaximumNoSize = QT_TRANSLATE_NOOP(
    "SearchOptionsDialog", "The maximum size \"%1\" is not a size. Give a number of bytes, or a whole number "
                           "followed by K, M, G or T (1K is 1024 bytes).");

// A small grey note below a field.
QLabel* note(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setForegroundRole(QPalette::PlaceholderText);
    return label;
}

QLineEdit* field(const QString& name, const QString& description, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setAccessibleName(name);
    edit->setAccessibleDescription(description);
    edit->setToolTip(description);
    return edit;
}

QString fromBytes(const std::string& bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

} // namespace

SearchOptionsDialog::SearchOptionsDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("SearchOptionsDialog"));
    setWindowTitle(QCoreApplication::translate("SearchOptionsDialog", "Search Options"));
    const QString sizeNote = QCoreApplication::translate(
        "SearchOptionsDialog", "Bytes, or a whole number with K, M, G or T (1K is 1024 bytes); empty for "
                               "no limit. Files outside the limits are listed but not compared.");
    const QString excludeNote = QCoreApplication::translate(
        "SearchOptionsDialog",
        "Patterns of whole paths, separated by \";\": * stands for any run of characters, also across "
        "folders, ? for one. Folders that match are not searched, files that match not listed. "
        "For example: */.git;*/cache/*;*.tmp");

    minimumField_ = field(QCoreApplication::translate("SearchOptionsDialog", "Minimum size"), sizeNote, this);
    maximumField_ = field(QCoreApplication::translate("SearchOptionsDialog", "Maximum size"), sizeNote, this);
    minimumField_->setPlaceholderText(QCoreApplication::translate("SearchOptionsDialog", "no limit"));
    maximumField_->setPlaceholderText(QCoreApplication::translate("SearchOptionsDialog", "no limit"));
    excludeField_ = field(QCoreApplication::translate("SearchOptionsDialog", "Leave out"), excludeNote, this);
    skipHardLinksBox_ = new QCheckBox(
        QCoreApplication::translate("SearchOptionsDialog", "Skip &hard links of one another"), this);
    skipHardLinksBox_->setAccessibleDescription(QCoreApplication::translate(
        "SearchOptionsDialog",
        "A file with several names (hard links) is searched once, by the first name found"));
    skipHardLinksBox_->setToolTip(skipHardLinksBox_->accessibleDescription());
    oneFileSystemBox_ =
        new QCheckBox(QCoreApplication::translate("SearchOptionsDialog", "Stay on one file &system"), this);
    oneFileSystemBox_->setAccessibleDescription(QCoreApplication::translate(
        "SearchOptionsDialog",
        "Folders on another file system than their search path (other disks, mounts) are not searched"));
    oneFileSystemBox_->setToolTip(oneFileSystemBox_->accessibleDescription());

    auto* form = new QFormLayout;
    const auto labelled = [&](const QString& text, QLineEdit* edit) {
        auto* label = new QLabel(text, this);
        label->setBuddy(edit);
        form->addRow(label, edit);
    };
    labelled(QCoreApplication::translate("SearchOptionsDialog", "&Minimum size:"), minimumField_);
    labelled(QCoreApplication::translate("SearchOptionsDialog", "Ma&ximum size:"), maximumField_);
    form->addRow(QString(), note(sizeNote, this));
    labelled(QCoreApplication::translate("SearchOptionsDialog", "&Leave out:"), excludeField_);
    form->addRow(QString(), note(excludeNote, this));

    okButton_ = new QPushButton(QCoreApplication::translate("SearchOptionsDialog", "&OK"), this);
    okButton_->setDefault(true);
    cancelButton_ = new QPushButton(QCoreApplication::translate("SearchOptionsDialog", "&Cancel"), this);
    resetButton_ = new QPushButton(QCoreApplication::translate("SearchOptionsDialog", "&Reset"), this);
    resetButton_->setAutoDefault(false);
    cancelButton_->setAutoDefault(false);
    resetButton_->setAccessibleDescription(QCoreApplication::translate(
        "SearchOptionsDialog", "Empty the fields and clear the boxes: no filters"));
    resetButton_->setToolTip(resetButton_->accessibleDescription());
    connect(okButton_, &QPushButton::clicked, this, &SearchOptionsDialog::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &SearchOptionsDialog::reject);
    connect(resetButton_, &QPushButton::clicked, this, [this] { setFieldTexts({}); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(resetButton_);
    buttons->addStretch();
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(skipHardLinksBox_);
    layout->addWidget(oneFileSystemBox_);
    layout->addStretch();
    layout->addLayout(buttons);

    QWidget* order[] = {minimumField_,     maximumField_, excludeField_, skipHardLinksBox_,
                        oneFileSystemBox_, okButton_,     cancelButton_, resetButton_};
    for (size_t i = 0; i + 1 < std::size(order); ++i) {
        setTabOrder(order[i], order[i + 1]);
    }
    setMinimumWidth(fontMetrics().averageCharWidth() * 60);
}

bool SearchOptionsDialog::edit() {
    setFieldTexts(accepted_);
    return exec() == QDialog::Accepted;
}

void SearchOptionsDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    showFocusAlways(this);
    minimumField_->setFocus(Qt::OtherFocusReason);
    minimumField_->selectAll();
}

SearchOptionsDialog::FieldTexts SearchOptionsDialog::fieldTexts() const {
    return {minimumField_->text(), maximumField_->text(), excludeField_->text(),
            skipHardLinksBox_->isChecked(), oneFileSystemBox_->isChecked()};
}

void SearchOptionsDialog::setFieldTexts(const FieldTexts& texts) {
    minimumField_->setText(texts.minimum);
    maximumField_->setText(texts.maximum);
    excludeField_->setText(texts.exclude);
    skipHardLinksBox_->setChecked(texts.skipHardLinks);
    oneFileSystemBox_->setChecked(texts.oneFileSystem);
}

void SearchOptionsDialog::refuse(const QString& message, QLineEdit* edit) {
    showErrorBox(message, this);
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
}

std::optional<int64_t> SearchOptionsDialog::readSize(QLineEdit* edit, const char* noSizeMessage,
                                                     int64_t unlimited) {
    const QString text = edit->text().trimmed();
    if (text.isEmpty()) {
        return unlimited;
    }
    const std::optional<int64_t> size = engine::parseSize(text.toStdString());
    if (!size) {
        refuse(translated(noSizeMessage).arg(text), edit);
    }
    return size;
}

void SearchOptionsDialog::accept() {
    engine::SearchFilters read;
    const std::optional<int64_t> minimum = readSize(minimumField_, kMinimumNoSize, 0);
    if (!minimum) {
        return;
    }
    const std::optional<int64_t> maximum = readSize(maximumField_, kMaximumNoSize, engine::kNoSizeLimit);
    if (!maximum) {
        return;
    }
    if (*minimum > *maximum) {
        refuse(QCoreApplication::translate(
                   "SearchOptionsDialog",
                   "The minimum size is larger than the maximum size: no file could be compared."),
               minimumField_);
        return;
    }
    read.minSize = *minimum;
    read.maxSize = *maximum;
    const QByteArray excludes = excludeField_->text().toUtf8();
    read.excludes = engine::splitPatternList(std::string_view(excludes.constData(), excludes.size()));
    for (const std::string& pattern : read.excludes) {
        if (!engine::matchesFullPaths(pattern)) {
            refuse(QCoreApplication::translate(
                       "SearchOptionsDialog",
                       "The pattern \"%1\" can never match: patterns are matched against whole paths, so "
                       "begin it with / or * (for example */%1).")
                       .arg(fromBytes(pattern)),
                   excludeField_);
            return;
        }
    }
    read.skipHardLinks = skipHardLinksBox_->isChecked();
    read.oneFileSystem = oneFileSystemBox_->isChecked();
    filters_ = std::move(read);
    accepted_ = fieldTexts();
    QDialog::accept();
}

void SearchOptionsDialog::reject() {
    setFieldTexts(accepted_);
    QDialog::reject();
}

} // namespace corvane::ui
