#include "ui/forms/layout_scale.h"

#include "ui/views/duplicate_tree_view.h"

#include <QAbstractButton>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QScrollArea>
#include <QTreeView>
#include <QVariant>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace corvane::ui {

namespace {

constexpr const char* kScale = "corvaneScale";

// The window's own integer settings that are lengths.
constexpr const char* kLengthSettings[] = {
    "corvaneDesignWidth", "corvaneDesignHeight", "corvaneClientWidth", "corvaneClientHeight",
    "corvaneMinWidth",    "corvaneMinHeight",    "corvaneMaxWidth",    "corvaneMaxHeight",
};

int times(int value, double factor) {
    return static_cast<int>(std::lround(value * factor));
}

} // namespace

double layoutScale(const QWidget* form) {
    const QVariant scale = form ? form->window()->property(kScale) : QVariant();
    return scale.isValid() ? scale.toDouble() : 1.0;
}

double layoutScaleFor(const QFont& desktopFont, int designTextHeight) {
    if (designTextHeight <= 0) {
        return 1.0;
    }
    return std::max(1.0, QFontMetricsF(desktopFont).height() / designTextHeight);
}

int scaled(const QWidget* form, int designPixels) {
    return times(designPixels, layoutScale(form));
}

int unscaled(const QWidget* form, int pixels) {
    return times(pixels, 1.0 / layoutScale(form));
}

void scaleLayout(QWidget* form, QWidget* clientArea, double factor) {
    if (factor <= 1.0) {
        return;
    }
    for (const char* setting : kLengthSettings) {
        if (const QVariant value = form->property(setting); value.isValid()) {
            form->setProperty(setting, times(value.toInt(), factor));
        }
    }
    std::vector<QWidget*> widgets{form};
    for (QWidget* widget : form->findChildren<QWidget*>()) {
        widgets.push_back(widget);
    }
    for (QWidget* widget : widgets) {
        // Controls of the description and tab pages: the description gave their bounds.
        const bool placed =
            widget->property("corvaneAnchors").isValid() || widget->property("corvaneTabs").isValid();
        if (placed && widget != clientArea) {
            const QRect r = widget->geometry();
            widget->setGeometry(times(r.x(), factor), times(r.y(), factor), times(r.width(), factor),
                                times(r.height(), factor));
        }
        if (widget->testAttribute(Qt::WA_SetFont) && widget->font().pixelSize() > 0) {
            QFont font = widget->font();
            font.setPixelSize(std::max(1, times(font.pixelSize(), factor)));
            widget->setFont(font);
        }
        if (auto* button = qobject_cast<QAbstractButton*>(widget); button && !button->icon().isNull()) {
            button->setIconSize(button->iconSize() * factor);
        }
        if (auto* tree = qobject_cast<QTreeView*>(widget)) {
            tree->setIndentation(times(tree->indentation(), factor));
        }
        if (auto* tree = qobject_cast<DuplicateTreeView*>(widget)) {
            tree->setStateImageSize(times(kStateImageSize, factor));
        }
    }
    form->setProperty(kScale, factor);
}

QSize screenRoom(const QWidget* form, int frameWidth, int frameHeight) {
    const QScreen* screen = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        return {};
    }
    const QSize room = screen->availableGeometry().size() - QSize(frameWidth, frameHeight);
    return room.width() > 0 && room.height() > 0 ? room : QSize();
}

void fitToScreen(QWidget* form, QWidget* clientArea, int frameWidth, int frameHeight) {
    const QSize room = screenRoom(form, frameWidth, frameHeight);
    if (room.isEmpty()) {
        return;
    }
    if (form->minimumSize() == form->maximumSize()) {
        form->setFixedSize(form->size().boundedTo(room));
        return;
    }
    auto* window = qobject_cast<QMainWindow*>(form);
    const QSize least = form->minimumSize().expandedTo(QSize(1, 1));
    if (window && window->centralWidget() == clientArea &&
        (least.width() > room.width() || least.height() > room.height())) {
        // The controls do not fit even at the least size their layout allows: they keep that size,
        // and the window shows them in a scrolled area instead of on top of each other.
        const int menuHeight = window->menuWidget() ? window->menuWidget()->sizeHint().height() : 0;
        clientArea->setMinimumSize(least - QSize(0, menuHeight));
        window->takeCentralWidget();
        auto* scroll = new QScrollArea(window);
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setWidgetResizable(true);
        scroll->setWidget(clientArea);
        window->setCentralWidget(scroll);
    }
    form->setMinimumSize(form->minimumSize().boundedTo(room));
    form->resize(form->size().boundedTo(room));
}

} // namespace corvane::ui
