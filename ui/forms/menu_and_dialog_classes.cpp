// The window's menu (TMainMenu, TMenuItem), its file dialogs (TSaveDialog, TOpenDialog, which only
// hold their settings until a dialog is shown) and the other components without a place on the
// window: TImageList and TXPManifest.

#include "ui/forms/control_classes.h"
#include "ui/forms/control_families.h"
#include "ui/forms/property_values.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace corvane::ui {

using stream::ClassBuilder;
using stream::ClassInfo;
using stream::ObjectRef;

namespace {

// A menu item: an action, and the menu of its own items once it has any.
class MenuItem final : public QObject {
public:
    explicit MenuItem(QObject* parent) : QObject(parent), action(new QAction(this)) {
        connect(action, &QAction::triggered, this, [this] { raiseEvent("OnClick", EventArgs{this}); });
    }
    QMenu* submenu() {
        if (!menu_) {
            menu_ = new QMenu;
            menu_->setTitle(action->text());
            action->setMenu(menu_);
            connect(this, &QObject::destroyed, menu_, &QObject::deleteLater);
        }
        return menu_;
    }
    QAction* action;

private:
    QMenu* menu_ = nullptr;
};

class ImageList final : public QObject {
public:
    using QObject::QObject;
    int32_t width = 16;
    int32_t height = 16;
};

class FileDialogObject final : public QObject {
public:
    using QObject::QObject;
    FileDialogSettings settings;
};

class Manifest final : public QObject {
public:
    using QObject::QObject;
};

} // namespace

void declareMenuAndDialogClasses(ControlClassSet& classes) {
    {
        ClassBuilder<QMenuBar> b("TMainMenu");
        declareComponent(b, [&classes](ObjectRef owner, ObjectRef) {
            auto* bar = new QMenuBar(qobject_cast<QWidget*>(qobjectOf(owner)));
            return markInstance(*classes.mainMenu, bar);
        });
        classes.mainMenu = b.build();
    }
    {
        ClassBuilder<MenuItem> b("TMenuItem");
        b.text(
            "Bitmap", [](const MenuItem& c) { return c.property("corvanePicture").toString().toStdString(); },
            [](MenuItem& c, const std::string& v) {
                const QString name = QString::fromStdString(v);
                c.setProperty("corvanePicture", name);
                c.action->setIcon(pictureIcon(name));
            });
        b.text(
            "Caption",
            [](const MenuItem& c) {
                return c.action->isSeparator() ? std::string("-") : c.action->text().toStdString();
            },
            [](MenuItem& c, const std::string& v) {
                // "-" makes a separator, drawn as a line: a separator with a text is drawn as a
                // heading with that text by some styles.
                c.action->setSeparator(v == "-");
                c.action->setText(v == "-" ? QString() : QString::fromStdString(v));
            });
        b.boolean(
            "Enabled", [](const MenuItem& c) { return c.action->isEnabled(); },
            [](MenuItem& c, bool v) { c.action->setEnabled(v); }, {.defaultValue = 1});
        declareEvent(b, "OnClick");
        declareComponent(b, [&classes](ObjectRef owner, ObjectRef parent) {
            auto* item = new MenuItem(qobjectOf(owner));
            QObject* holder = qobjectOf(parent);
            if (auto* bar = qobject_cast<QMenuBar*>(holder)) {
                bar->addAction(item->action);
            } else if (auto* parentItem = dynamic_cast<MenuItem*>(holder)) {
                parentItem->submenu()->addAction(item->action);
            }
            return markInstance(*classes.menuItem, item);
        });
        classes.menuItem = b.build();
    }
    {
        ClassBuilder<ImageList> b("TImageList");
        b.integer(
            "Height", [](const ImageList& c) { return c.height; },
            [](ImageList& c, int32_t v) { c.height = v; }, {.defaultValue = 16});
        b.integer(
            "Width", [](const ImageList& c) { return c.width; }, [](ImageList& c, int32_t v) { c.width = v; },
            {.defaultValue = 16});
        declareComponent(b, componentFactory<ImageList>(classes.imageList));
        classes.imageList = b.build();
    }
    const auto declareDialog = [](const char* className, std::unique_ptr<ClassInfo>& target) {
        ClassBuilder<FileDialogObject> b(className);
        const auto textField = [&b](const char* name, QString FileDialogSettings::*field) {
            b.text(
                name, [field](const FileDialogObject& c) { return (c.settings.*field).toStdString(); },
                [field](FileDialogObject& c, const std::string& v) {
                    c.settings.*field = QString::fromStdString(v);
                });
        };
        textField("DefaultExt", &FileDialogSettings::defaultExt);
        textField("Filter", &FileDialogSettings::filter);
        b.set(
            "Options", openOptionType(), [](const FileDialogObject& c) { return c.settings.options; },
            [](FileDialogObject& c, uint32_t v) { c.settings.options = v; },
            {.defaultValue = kDefaultOpenOptions});
        textField("Title", &FileDialogSettings::title);
        declareComponent(b, componentFactory<FileDialogObject>(target));
        target = b.build();
    };
    declareDialog("TSaveDialog", classes.saveDialog);
    declareDialog("TOpenDialog", classes.openDialog);
    ClassBuilder<Manifest> b("TXPManifest");
    declareComponent(b, componentFactory<Manifest>(classes.manifest));
    classes.manifest = b.build();
    classes.registry.add(*classes.mainMenu);
    classes.registry.add(*classes.menuItem);
    classes.registry.add(*classes.imageList);
    classes.registry.add(*classes.saveDialog);
    classes.registry.add(*classes.openDialog);
    classes.registry.add(*classes.manifest);
}

QAction* menuAction(QObject* menuItem) {
    auto* item = dynamic_cast<MenuItem*>(menuItem);
    return item ? item->action : nullptr;
}

FileDialogSettings fileDialogSettings(const QObject* dialog) {
    const auto* object = dynamic_cast<const FileDialogObject*>(dialog);
    return object ? object->settings : FileDialogSettings{};
}

} // namespace corvane::ui
