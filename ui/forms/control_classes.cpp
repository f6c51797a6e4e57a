#include "ui/forms/control_classes.h"

#include "stream/class_builder.h"
#include "stream/list_controls.h"
#include "ui/forms/control_support.h"
#include "ui/forms/list_controls_qt.h"
#include "ui/forms/property_values.h"

#include <QEnterEvent>
#include <QFile>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>

namespace corvane::ui {

using stream::ClassBuilder;
using stream::ClassInfo;
using stream::ObjectRef;

namespace {

// A label that tells its window of clicks and of the mouse coming and going.
class DescribedLabel final : public QLabel {
public:
    using QLabel::QLabel;
    bool autoSize = true;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        QLabel::mouseReleaseEvent(event);
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
            raiseEvent("OnClick", EventArgs{this});
        }
    }
    void enterEvent(QEnterEvent* event) override {
        QLabel::enterEvent(event);
        raiseEvent("OnMouseEnter", EventArgs{this});
    }
    void leaveEvent(QEvent* event) override {
        QLabel::leaveEvent(event);
        raiseEvent("OnMouseLeave", EventArgs{this});
    }
};

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

// Where a child record's widget goes: into the window's client area, a tab page or a group box.
QWidget* containerOf(QObject* parent) {
    if (Form* form = dynamic_cast<Form*>(parent)) {
        return form->clientArea();
    }
    return qobject_cast<QWidget*>(parent);
}

QObject* formObjectOf(ObjectRef owner) {
    return qobjectOf(owner);
}

template <class T>
void declareComponent(ClassBuilder<T>& b, std::function<ObjectRef(ObjectRef, ObjectRef)> create) {
    b.component({
        .name = [](const T& c) { return c.objectName().toStdString(); },
        .setName = [](T& c, const std::string& v) { c.setObjectName(QString::fromStdString(v)); },
        .owner =
            [](const T& c) {
                Form* form = formOf(&c);
                return form ? refOf(form->formWidget()) : ObjectRef{};
            },
        .create = std::move(create),
    });
}

template <class T> void declareEvent(ClassBuilder<T>& b, const char* event) {
    b.event(
        event, [event](const T& c) { return boundHandler(&c, event); },
        [event](T& c, const std::string& v) { bindHandler(&c, event, v); });
}

template <class T>
void declareCaption(ClassBuilder<T>& b, QString (T::*get)() const, void (T::*set)(const QString&)) {
    b.text(
        "Caption", [get](const T& c) { return (c.*get)().toStdString(); },
        [set](T& c, const std::string& v) { (c.*set)(QString::fromStdString(v)); });
}

struct Registry {
    std::unique_ptr<ClassInfo> font, control, button, bitBtn, label, edit, memo, groupBox, pageControl,
        tabSheet, statusPanel, statusPanels, statusBar, progressBar, mainMenu, menuItem, imageList,
        saveDialog, openDialog, manifest, listView, treeView;
    stream::ClassRegistry classes;

    // A factory for child records whose widget lives in the parent's container.
    template <class W>
    std::function<ObjectRef(ObjectRef, ObjectRef)> widgetFactory(std::unique_ptr<ClassInfo>& cls) {
        return [&cls](ObjectRef, ObjectRef parent) {
            W* widget = new W(containerOf(qobjectOf(parent)));
            return markInstance(*cls, widget);
        };
    }
    // A factory for components without a place: owned by the window.
    template <class O>
    std::function<ObjectRef(ObjectRef, ObjectRef)> componentFactory(std::unique_ptr<ClassInfo>& cls) {
        return [&cls](ObjectRef owner, ObjectRef) {
            O* object = new O(formObjectOf(owner));
            return markInstance(*cls, object);
        };
    }

    Registry() {
        declareFontAndControl();
        declareButtons();
        declareTexts();
        declareContainers();
        declareStatusAndProgress();
        declareMenus();
        declareNonVisual();
        declareLists();
        for (const auto* cls : {&button, &bitBtn, &label, &edit, &memo, &groupBox, &pageControl, &tabSheet,
                                &statusBar, &progressBar, &mainMenu, &menuItem, &imageList, &saveDialog,
                                &openDialog, &manifest, &listView, &treeView}) {
            classes.add(**cls);
        }
    }

    void declareFontAndControl() {
        {
            ClassBuilder<QWidget> b("TFont");
            b.integer(
                "Charset", [](const QWidget&) { return 1; }, [](QWidget&, int32_t) {}, {.defaultValue = 1});
            b.integer(
                "Color", [](const QWidget& w) { return w.property("corvaneFontColor").toInt(); },
                [](QWidget& w, int32_t v) {
                    w.setProperty("corvaneFontColor", v);
                    QPalette palette = w.palette();
                    const QColor color = colorOf(v, palette);
                    palette.setColor(QPalette::WindowText, color);
                    palette.setColor(QPalette::Text, color);
                    palette.setColor(QPalette::ButtonText, color);
                    w.setPalette(palette);
                },
                {.defaultValue = kClWindowText, .names = &colorNames()});
            b.integer(
                "Height", [](const QWidget& w) { return -w.font().pixelSize(); },
                [](QWidget& w, int32_t v) {
                    QFont font = w.font();
                    font.setPixelSize(std::max(1, std::abs(v)));
                    w.setFont(font);
                });
            b.text(
                "Name", [](const QWidget& w) { return w.font().family().toStdString(); },
                [](QWidget& w, const std::string& v) {
                    QFont font = w.font();
                    font.setFamilies({QString::fromStdString(v)});
                    w.setFont(font);
                });
            b.set(
                "Style", fontStyleType(), [](const QWidget& w) { return fontStyleOf(w.font()); },
                [](QWidget& w, uint32_t v) {
                    QFont font = w.font();
                    applyFontStyle(font, v);
                    w.setFont(font);
                },
                {.defaultValue = 0});
            font = b.build();
        }
        ClassBuilder<QWidget> b("TControl");
        const auto edge = [&b](const char* name, int32_t stream::ControlPlacement::*field) {
            b.integer(
                name, [field](const QWidget& w) { return placementOf(&w).*field; },
                [field](QWidget& w, int32_t v) {
                    stream::ControlPlacement p = placementOf(&w);
                    p.*field = v;
                    applyPlacement(&w, p);
                });
        };
        edge("Left", &stream::ControlPlacement::left);
        edge("Top", &stream::ControlPlacement::top);
        edge("Width", &stream::ControlPlacement::width);
        edge("Height", &stream::ControlPlacement::height);
        b.enumeration(
            "Align", stream::alignType(), [](const QWidget& w) { return placementOf(&w).align; },
            [](QWidget& w, int v) {
                stream::ControlPlacement p = placementOf(&w);
                p.align = v;
                applyPlacement(&w, p);
            },
            {.defaultValue = stream::alNone});
        b.set(
            "Anchors", stream::anchorKindType(), [](const QWidget& w) { return placementOf(&w).anchors; },
            [](QWidget& w, uint32_t v) {
                stream::ControlPlacement p = placementOf(&w);
                p.anchors = v;
                applyPlacement(&w, p);
            },
            {.defaultValue = stream::kDefaultAnchors});
        b.integer(
            "Color", [](const QWidget& w) { return w.property("corvaneColor").toInt(); },
            [](QWidget& w, int32_t v) { setControlColor(&w, v); },
            {.defaultValue = kClDefault, .names = &colorNames()});
        b.integer(
            "Cursor", [](const QWidget& w) { return w.property("corvaneCursor").toInt(); },
            [](QWidget& w, int32_t v) {
                w.setProperty("corvaneCursor", v);
                w.setCursor(cursorOf(v));
            },
            {.defaultValue = 0, .names = &cursorNames()});
        b.boolean(
            "Enabled", [](const QWidget& w) { return w.isEnabled(); },
            [](QWidget& w, bool v) { w.setEnabled(v); }, {.defaultValue = 1});
        b.object("Font", [this](QWidget& w) { return stream::makeRef(*font, &w); });
        b.boolean(
            "ParentFont", [](const QWidget&) { return true; }, [](QWidget&, bool) {}, {.defaultValue = 1});
        b.integer(
            "TabOrder", [](const QWidget& w) { return tabOrderOf(&w); },
            [](QWidget& w, int32_t v) { setTabOrderOf(&w, v); }, {.defaultValue = -1});
        b.boolean(
            "TabStop", [](const QWidget& w) { return w.focusPolicy() & Qt::TabFocus; },
            [](QWidget& w, bool v) { w.setFocusPolicy(v ? Qt::StrongFocus : Qt::ClickFocus); },
            {.defaultValue = 1});
        b.boolean(
            "Visible", [](const QWidget& w) { return !w.isHidden(); },
            [](QWidget& w, bool v) { w.setHidden(!v); }, {.defaultValue = 1});
        control = b.build();
    }

    void declareButtons() {
        {
            ClassBuilder<QPushButton> b("TButton");
            b.inherits<QWidget>(*control);
            declareCaption<QPushButton>(b, &QPushButton::text, &QPushButton::setText);
            b.boolean(
                "Cancel", [](const QPushButton&) { return false; }, [](QPushButton&, bool) {},
                {.defaultValue = 0});
            b.boolean(
                "Default", [](const QPushButton& c) { return c.isDefault(); },
                [](QPushButton& c, bool v) { c.setDefault(v); }, {.defaultValue = 0});
            declareEvent(b, "OnClick");
            declareComponent(
                b, [this](ObjectRef owner, ObjectRef parent) { return makeButton(*button, owner, parent); });
            button = b.build();
        }
        ClassBuilder<QPushButton> b("TBitBtn");
        b.inherits<QPushButton>(*button);
        b.text(
            "Glyph", [](const QPushButton& c) { return c.property("corvaneGlyph").toString().toStdString(); },
            [](QPushButton& c, const std::string& v) {
                const QString name = QString::fromStdString(v);
                c.setProperty("corvaneGlyph", name);
                c.setIcon(pictureIcon(name));
                c.setIconSize(QSize(16, 16));
            });
        declareComponent(
            b, [this](ObjectRef owner, ObjectRef parent) { return makeButton(*bitBtn, owner, parent); });
        bitBtn = b.build();
    }

    static ObjectRef makeButton(const ClassInfo& cls, ObjectRef, ObjectRef parent) {
        auto* button = new QPushButton(containerOf(qobjectOf(parent)));
        // Neither Enter nor Esc presses a button unless the window says so.
        button->setAutoDefault(false);
        QObject::connect(button, &QPushButton::clicked, button,
                         [button] { raiseEvent("OnClick", EventArgs{button}); });
        return markInstance(cls, button);
    }

    void declareTexts() {
        {
            ClassBuilder<QLabel> b("TLabel");
            b.inherits<QWidget>(*control);
            b.enumeration(
                "Alignment", alignmentType(), [](const QLabel& c) { return alignmentOf(c.alignment()); },
                [](QLabel& c, int v) { c.setAlignment(qtAlignment(v) | Qt::AlignTop); }, {.defaultValue = 0});
            b.boolean(
                "AutoSize", [](const QLabel& c) { return static_cast<const DescribedLabel&>(c).autoSize; },
                [](QLabel& c, bool v) { static_cast<DescribedLabel&>(c).autoSize = v; }, {.defaultValue = 1});
            declareCaption<QLabel>(b, &QLabel::text, &QLabel::setText);
            b.boolean(
                "Transparent", [](const QLabel& c) { return !c.autoFillBackground(); },
                [](QLabel& c, bool v) { c.setAutoFillBackground(!v); }, {.defaultValue = 0});
            b.boolean(
                "WordWrap", [](const QLabel& c) { return c.wordWrap(); },
                [](QLabel& c, bool v) { c.setWordWrap(v); }, {.defaultValue = 0});
            declareEvent(b, "OnClick");
            declareEvent(b, "OnMouseEnter");
            declareEvent(b, "OnMouseLeave");
            declareComponent(b, [this](ObjectRef, ObjectRef parent) {
                auto* c = new DescribedLabel(containerOf(qobjectOf(parent)));
                c->setTextFormat(Qt::PlainText);
                return markInstance<QLabel>(*label, c);
            });
            label = b.build();
        }
        {
            ClassBuilder<QLineEdit> b("TEdit");
            b.inherits<QWidget>(*control);
            b.boolean(
                "ReadOnly", [](const QLineEdit& c) { return c.isReadOnly(); },
                [](QLineEdit& c, bool v) { c.setReadOnly(v); }, {.defaultValue = 0});
            b.text(
                "Text", [](const QLineEdit& c) { return c.text().toStdString(); },
                [](QLineEdit& c, const std::string& v) { c.setText(QString::fromStdString(v)); });
            declareEvent(b, "OnChange");
            declareComponent(b, [this](ObjectRef, ObjectRef parent) {
                auto* c = new QLineEdit(containerOf(qobjectOf(parent)));
                QObject::connect(c, &QLineEdit::textChanged, c,
                                 [c] { raiseEvent("OnChange", EventArgs{c}); });
                return markInstance(*edit, c);
            });
            edit = b.build();
        }
        ClassBuilder<QPlainTextEdit> b("TMemo");
        b.inherits<QWidget>(*control);
        b.boolean(
            "ReadOnly", [](const QPlainTextEdit& c) { return c.isReadOnly(); },
            [](QPlainTextEdit& c, bool v) { c.setReadOnly(v); }, {.defaultValue = 0});
        b.enumeration(
            "ScrollBars", scrollStyleType(), [](const QPlainTextEdit& c) { return scrollStyleOf(c); },
            [](QPlainTextEdit& c, int v) { applyScrollStyle(c, v); }, {.defaultValue = 0});
        b.boolean(
            "WordWrap", [](const QPlainTextEdit& c) { return c.lineWrapMode() != QPlainTextEdit::NoWrap; },
            [](QPlainTextEdit& c, bool v) {
                c.setLineWrapMode(v ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
            },
            {.defaultValue = 1});
        declareComponent(b, widgetFactory<QPlainTextEdit>(memo));
        memo = b.build();
    }

    void declareContainers() {
        {
            ClassBuilder<QGroupBox> b("TGroupBox");
            b.inherits<QWidget>(*control);
            declareCaption<QGroupBox>(b, &QGroupBox::title, &QGroupBox::setTitle);
            declareComponent(b, widgetFactory<QGroupBox>(groupBox));
            groupBox = b.build();
        }
        {
            ClassBuilder<QTabWidget> b("TPageControl");
            b.inherits<QWidget>(*control);
            b.object(
                "ActivePage", [](QTabWidget& c) { return refOf(c.currentWidget()); },
                [](QTabWidget& c, ObjectRef v) {
                    if (auto* page = qobject_cast<QWidget*>(qobjectOf(v)); page && c.indexOf(page) >= 0) {
                        c.setCurrentWidget(page);
                    }
                });
            declareComponent(b, widgetFactory<QTabWidget>(pageControl));
            pageControl = b.build();
        }
        ClassBuilder<QWidget> b("TTabSheet");
        b.inherits<QWidget>(*control);
        b.text(
            "Caption", [](const QWidget& c) { return c.windowTitle().toStdString(); },
            [](QWidget& c, const std::string& v) {
                c.setWindowTitle(QString::fromStdString(v));
                if (auto* tabs = tabWidgetOf(&c)) {
                    tabs->setTabText(tabs->indexOf(&c), c.windowTitle());
                }
            });
        declareComponent(b, [this](ObjectRef, ObjectRef parent) {
            auto* tabs = qobject_cast<QTabWidget*>(qobjectOf(parent));
            auto* page = new QWidget;
            if (tabs) {
                tabs->addTab(page, QString());
                page->setProperty("corvaneTabs", QVariant::fromValue<QObject*>(tabs));
                // A page's design size: the page control's, less its frame and tabs.
                page->resize(std::max(0, tabs->width() - 8), std::max(0, tabs->height() - 28));
            }
            return markInstance(*tabSheet, page);
        });
        tabSheet = b.build();
    }

    static QTabWidget* tabWidgetOf(const QWidget* page) {
        return qobject_cast<QTabWidget*>(page->property("corvaneTabs").value<QObject*>());
    }

    void declareStatusAndProgress() {
        {
            ClassBuilder<int32_t> b("TStatusPanel");
            b.integer(
                "Width", [](const int32_t& w) { return w; }, [](int32_t& w, int32_t v) { w = v; },
                {.defaultValue = 50});
            statusPanel = b.build();
        }
        {
            // The panels are kept only as far as a description gives them; the one panel spans
            // the bar.
            ClassBuilder<QStatusBar> b("TStatusPanels");
            b.collection({
                .count = [](const QStatusBar&) { return size_t{0}; },
                .item = [](QStatusBar&, size_t) { return ObjectRef{}; },
                .clear = [](QStatusBar&) {},
                .add =
                    [this](QStatusBar& c) {
                        auto* width = new int32_t(50);
                        QObject::connect(&c, &QObject::destroyed, [width] { delete width; });
                        return stream::makeRef(*statusPanel, width);
                    },
            });
            statusPanels = b.build();
        }
        {
            ClassBuilder<QStatusBar> b("TStatusBar");
            b.inherits<QWidget>(*control);
            b.object("Panels", [this](QStatusBar& c) { return stream::makeRef(*statusPanels, &c); });
            b.boolean(
                "SimplePanel", [](const QStatusBar&) { return false; }, [](QStatusBar&, bool) {},
                {.defaultValue = 0});
            declareComponent(b, [this](ObjectRef, ObjectRef parent) {
                auto* bar = new QStatusBar(containerOf(qobjectOf(parent)));
                auto* panel = new QLabel(bar);
                panel->setObjectName("corvaneStatusPanel");
                panel->setTextFormat(Qt::PlainText);
                bar->addWidget(panel, 1);
                return markInstance(*statusBar, bar);
            });
            statusBar = b.build();
        }
        ClassBuilder<QProgressBar> b("TProgressBar");
        b.inherits<QWidget>(*control);
        b.integer(
            "Max", [](const QProgressBar& c) { return c.maximum(); },
            [](QProgressBar& c, int32_t v) { c.setMaximum(v); }, {.defaultValue = 100});
        b.integer(
            "Min", [](const QProgressBar& c) { return c.minimum(); },
            [](QProgressBar& c, int32_t v) { c.setMinimum(v); }, {.defaultValue = 0});
        b.integer(
            "Position", [](const QProgressBar& c) { return c.value(); },
            [](QProgressBar& c, int32_t v) { c.setValue(v); }, {.defaultValue = 0});
        declareComponent(b, [this](ObjectRef, ObjectRef parent) {
            auto* bar = new QProgressBar(containerOf(qobjectOf(parent)));
            bar->setTextVisible(false);
            bar->setRange(0, 100);
            bar->setValue(0);
            return markInstance(*progressBar, bar);
        });
        progressBar = b.build();
    }

    void declareMenus() {
        {
            ClassBuilder<QMenuBar> b("TMainMenu");
            declareComponent(b, [this](ObjectRef owner, ObjectRef) {
                auto* bar = new QMenuBar(qobject_cast<QWidget*>(formObjectOf(owner)));
                return markInstance(*mainMenu, bar);
            });
            mainMenu = b.build();
        }
        ClassBuilder<MenuItem> b("TMenuItem");
        b.text(
            "Bitmap", [](const MenuItem& c) { return c.property("corvanePicture").toString().toStdString(); },
            [](MenuItem& c, const std::string& v) {
                const QString name = QString::fromStdString(v);
                c.setProperty("corvanePicture", name);
                c.action->setIcon(pictureIcon(name));
            });
        b.text(
            "Caption", [](const MenuItem& c) { return c.action->text().toStdString(); },
            [](MenuItem& c, const std::string& v) {
                c.action->setText(QString::fromStdString(v));
                c.action->setSeparator(v == "-");
            });
        b.boolean(
            "Enabled", [](const MenuItem& c) { return c.action->isEnabled(); },
            [](MenuItem& c, bool v) { c.action->setEnabled(v); }, {.defaultValue = 1});
        declareEvent(b, "OnClick");
        declareComponent(b, [this](ObjectRef owner, ObjectRef parent) {
            auto* item = new MenuItem(formObjectOf(owner));
            QObject* holder = qobjectOf(parent);
            if (auto* bar = qobject_cast<QMenuBar*>(holder)) {
                bar->addAction(item->action);
            } else if (auto* parentItem = dynamic_cast<MenuItem*>(holder)) {
                parentItem->submenu()->addAction(item->action);
            }
            return markInstance(*menuItem, item);
        });
        menuItem = b.build();
    }

    void declareNonVisual() {
        {
            ClassBuilder<ImageList> b("TImageList");
            b.integer(
                "Height", [](const ImageList& c) { return c.height; },
                [](ImageList& c, int32_t v) { c.height = v; }, {.defaultValue = 16});
            b.integer(
                "Width", [](const ImageList& c) { return c.width; },
                [](ImageList& c, int32_t v) { c.width = v; }, {.defaultValue = 16});
            declareComponent(b, componentFactory<ImageList>(imageList));
            imageList = b.build();
        }
        const auto declareDialog = [this](const char* className, std::unique_ptr<ClassInfo>& target) {
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
        declareDialog("TSaveDialog", saveDialog);
        declareDialog("TOpenDialog", openDialog);
        ClassBuilder<Manifest> b("TXPManifest");
        declareComponent(b, componentFactory<Manifest>(manifest));
        manifest = b.build();
    }

    void declareLists() {
        {
            ClassBuilder<ListViewWidget> b("TListView");
            b.inherits<stream::ListViewControl>(stream::listViewClass());
            declareComponent(b, [this](ObjectRef, ObjectRef parent) {
                return markInstance(*listView, new ListViewWidget(containerOf(qobjectOf(parent))));
            });
            listView = b.build();
        }
        ClassBuilder<TreeViewWidget> b("TTreeView");
        b.inherits<stream::TreeViewControl>(stream::treeViewClass());
        declareComponent(b, [this](ObjectRef, ObjectRef parent) {
            return markInstance(*treeView, new TreeViewWidget(containerOf(qobjectOf(parent))));
        });
        treeView = b.build();
    }
};

const Registry& registry() {
    static const Registry instance;
    return instance;
}

} // namespace

const stream::ClassRegistry& controlClasses() {
    return registry().classes;
}

QAction* menuAction(QObject* menuItem) {
    auto* item = dynamic_cast<MenuItem*>(menuItem);
    return item ? item->action : nullptr;
}

const stream::ClassInfo& fontClass() {
    return *registry().font;
}

void setStatusText(QStatusBar* bar, const QString& text) {
    if (auto* panel = bar->findChild<QLabel*>("corvaneStatusPanel")) {
        panel->setText(text);
    }
}

QString statusText(const QStatusBar* bar) {
    const auto* panel = bar->findChild<QLabel*>("corvaneStatusPanel");
    return panel ? panel->text() : QString();
}

FileDialogSettings fileDialogSettings(const QObject* dialog) {
    const auto* object = dynamic_cast<const FileDialogObject*>(dialog);
    return object ? object->settings : FileDialogSettings{};
}

void installFontSubstitutes() {
    QFont::insertSubstitutions(QStringLiteral("Tahoma"),
                               {QStringLiteral("DejaVu Sans Condensed"),
                                QStringLiteral("Liberation Sans Narrow"),
                                QStringLiteral("Nimbus Sans Narrow"), QStringLiteral("Liberation Sans"),
                                QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Liberation Sans"),
                                QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(
        QStringLiteral("Times New Roman"),
        {QStringLiteral("Liberation Serif"), QStringLiteral("Nimbus Roman"), QStringLiteral("DejaVu Serif")});
}

QIcon pictureIcon(const QString& name) {
    const QString path = ":/pictures/" + name + ".svg";
    return QFile::exists(path) ? QIcon(path) : QIcon();
}

// Labels that size themselves do so once their caption and font are known.
void autoSizeLabels(QWidget* form) {
    for (auto* label : form->findChildren<QLabel*>()) {
        if (auto* described = dynamic_cast<DescribedLabel*>(label); described && described->autoSize) {
            const QPoint topLeft = described->pos();
            described->adjustSize();
            described->move(topLeft);
        }
    }
}

} // namespace corvane::ui
