#pragma once

// The search options: the filters the main window's next searches apply (engine/search_filters.h),
// as the command line's --min-size, --max-size, --exclude, --skip-hard-links and -x give them. OK
// takes the fields only when every one holds what it should; otherwise the error box names the
// field, which gets the focus, and the dialog stays open. The dialog is made once and kept, so the
// options last for the session.

#include "engine/search_filters.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace corvane::ui {

class SearchOptionsDialog final : public QDialog {
    Q_OBJECT
public:
    explicit SearchOptionsDialog(QWidget* parent = nullptr);

    // The filters OK took last; none at first.
    const engine::SearchFilters& filters() const { return filters_; }

    // Shows the dialog, modal, its fields as OK left them; true when OK took the fields.
    bool edit();

    QLineEdit* minimumField_ = nullptr;
    QLineEdit* maximumField_ = nullptr;
    QLineEdit* excludeField_ = nullptr;
    QCheckBox* skipHardLinksBox_ = nullptr;
    QCheckBox* oneFileSystemBox_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    // Empties the fields and clears the boxes: no filters once OK takes them.
    QPushButton* resetButton_ = nullptr;

    // OK: takes the fields, or shows what is wrong with them and stays open.
    void accept() override;
    // Cancel and Esc: the fields go back to what OK took last.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // What the fields held when OK took them.
    struct FieldTexts {
        QString minimum;
        QString maximum;
        QString exclude;
        bool skipHardLinks = false;
        bool oneFileSystem = false;
    };
    FieldTexts fieldTexts() const;
    void setFieldTexts(const FieldTexts& texts);
    // The size a field holds: no limit (`unlimited`) when it is empty; nothing, after the error box
    // has said so, when it holds no size.
    std::optional<int64_t> readSize(QLineEdit* field, const char* noSizeMessage, int64_t unlimited);
    // Shows `message` in the error box and puts the focus on `field`, its text selected.
    void refuse(const QString& message, QLineEdit* field);

    engine::SearchFilters filters_;
    FieldTexts accepted_;
};

} // namespace corvane::ui
