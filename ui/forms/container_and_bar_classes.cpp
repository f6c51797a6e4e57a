// The controls that hold others (TGroupBox, TPageControl and its TTabSheet pages) and the bars
// along a window: TStatusBar with its one panel, TProgressBar.

#include "ui/forms/control_classes.h"
#include "ui/forms/control_families.h"

#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QVariant>

#include <algorithm>

namespace corvane::ui {

using stream::ClassBuilder;
using stream::ObjectRef;

namespace {

QTabWidget* tabWidgetOf(const QWidget* page) {
    return qobject_cast<QTabWidget*>(page->property("corvaneTabs").value<QObject*>());
}

} // namespace

void declareContainerAndBarClasses(ControlClassSet& classes) {
    {
        ClassBuilder<QGroupBox> b("TGroupBox");
        b.inherits<QWidget>(*classes.control);
        declareCaption<QGroupBox>(b, &QGroupBox::title, &QGroupBox::setTitle);
        declareComponent(b, widgetFactory<QGroupBox>(classes.groupBox));
        classes.groupBox = b.build();
    }
    {
        ClassBuilder<QTabWidget> b("TPageControl");
        b.inherits<QWidget>(*classes.control);
        b.object(
            "ActivePage", [](QTabWidget& c) { return refOf(c.currentWidget()); },
            [](QTabWidget& c, ObjectRef v) {
                if (auto* page = qobject_cast<QWidget*>(qobjectOf(v)); page && c.indexOf(page) >= 0) {
                    c.setCurrentWidget(page);
                }
            });
        declareComponent(b, widgetFactory<QTabWidget>(classes.pageControl));
        classes.pageControl = b.build();
    }
    {
        ClassBuilder<QWidget> b("TTabSheet");
        b.inherits<QWidget>(*classes.control);
        b.text(
            "Caption", [](const QWidget& c) { return c.windowTitle().toStdString(); },
            [](QWidget& c, const std::string& v) {
                c.setWindowTitle(QString::fromStdString(v));
                if (auto* tabs = tabWidgetOf(&c)) {
                    tabs->setTabText(tabs->indexOf(&c), c.windowTitle());
                }
            });
        declareComponent(b, [&classes](ObjectRef, ObjectRef parent) {
            auto* tabs = qobject_cast<QTabWidget*>(qobjectOf(parent));
            auto* page = new QWidget;
            if (tabs) {
                tabs->addTab(page, QString());
                page->setProperty("corvaneTabs", QVariant::fromValue<QObject*>(tabs));
                // A page's design size: the page control's, less its frame and tabs.
                page->resize(std::max(0, tabs->width() - 8), std::max(0, tabs->height() - 28));
            }
            return markInstance(*classes.tabSheet, page);
        });
        classes.tabSheet = b.build();
    }
    {
        ClassBuilder<int32_t> b("TStatusPanel");
        b.integer(
            "Width", [](const int32_t& w) { return w; }, [](int32_t& w, int32_t v) { w = v; },
            {.defaultValue = 50});
        classes.statusPanel = b.build();
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
                [&classes](QStatusBar& c) {
                    auto* width = new int32_t(50);
                    QObject::connect(&c, &QObject::destroyed, [width] { delete width; });
                    return stream::makeRef(*classes.statusPanel, width);
                },
        });
        classes.statusPanels = b.build();
    }
    {
        ClassBuilder<QStatusBar> b("TStatusBar");
        b.inherits<QWidget>(*classes.control);
        b.object("Panels", [&classes](QStatusBar& c) { return stream::makeRef(*classes.statusPanels, &c); });
        b.boolean(
            "SimplePanel", [](const QStatusBar&) { return false; }, [](QStatusBar&, bool) {},
            {.defaultValue = 0});
        declareComponent(b, [&classes](ObjectRef, ObjectRef parent) {
            auto* bar = new QStatusBar(containerOf(qobjectOf(parent)));
            auto* panel = new QLabel(bar);
            panel->setObjectName("corvaneStatusPanel");
            panel->setTextFormat(Qt::PlainText);
            bar->addWidget(panel, 1);
            return markInstance(*classes.statusBar, bar);
        });
        classes.statusBar = b.build();
    }
    {
        ClassBuilder<QProgressBar> b("TProgressBar");
        b.inherits<QWidget>(*classes.control);
        b.integer(
            "Max", [](const QProgressBar& c) { return c.maximum(); },
            [](QProgressBar& c, int32_t v) { c.setMaximum(v); }, {.defaultValue = 100});
        b.integer(
            "Min", [](const QProgressBar& c) { return c.minimum(); },
            [](QProgressBar& c, int32_t v) { c.setMinimum(v); }, {.defaultValue = 0});
        b.integer(
            "Position", [](const QProgressBar& c) { return c.value(); },
            [](QProgressBar& c, int32_t v) { c.setValue(v); }, {.defaultValue = 0});
        declareComponent(b, [&classes](ObjectRef, ObjectRef parent) {
            auto* bar = new QProgressBar(containerOf(qobjectOf(parent)));
            bar->setTextVisible(false);
            bar->setRange(0, 100);
            bar->setValue(0);
            return markInstance(*classes.progressBar, bar);
        });
        classes.progressBar = b.build();
    }
    classes.registry.add(*classes.groupBox);
    classes.registry.add(*classes.pageControl);
    classes.registry.add(*classes.tabSheet);
    classes.registry.add(*classes.statusBar);
    classes.registry.add(*classes.progressBar);
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

} // namespace corvane::ui
