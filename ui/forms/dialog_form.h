#pragma once

// A secondary window read from its description: a dialog created once at start-up and only
// shown and hidden afterwards, so its controls keep their state between showings.

#include "ui/forms/form.h"

#include <QDialog>
#include <memory>

namespace corvane::ui {

class DialogForm : public QDialog, public Form {
    Q_OBJECT
public:
    QWidget* formWidget() override { return this; }
    QWidget* clientArea() override { return this; }
    const stream::ClassInfo& formClass() const override { return *class_; }

    // The control of the description with that name, as T.
    template <class T> T* control(const char* name) { return qobject_cast<T*>(findComponent(name)); }

protected:
    explicit DialogForm(QWidget* parent);
    // Declares the window class `className` (the class name its description records) and reads
    // the embedded description `descriptionName`; call it once the handler table is filled.
    void load(const char* className, const char* descriptionName);

    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<stream::ClassInfo> class_;
};

} // namespace corvane::ui
