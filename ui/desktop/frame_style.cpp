#include "ui/desktop/frame_style.h"

#include <QApplication>
#include <QPaintDevice>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>
#include <qdrawutil.h>

#include <cmath>

namespace corvane::ui {

namespace {

bool fractional(qreal ratio) {
    return std::abs(ratio - std::round(ratio)) > 0.01;
}

} // namespace

FrameStyle::FrameStyle(QStyle* base) : QProxyStyle(base) {}

void FrameStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                               const QWidget* widget) const {
    if (element == PE_Frame && painter->device() && fractional(painter->device()->devicePixelRatioF())) {
        // The plain frame is drawn in device pixels (qDrawPlainRect rounds its edges to them), in
        // the shade of the common styles' frame line.
        const QColor line = option->palette.color(QPalette::Window).darker(140).lighter(108);
        qDrawPlainRect(painter, option->rect, line, 1);
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void useWholeFrames() {
    if (!qobject_cast<FrameStyle*>(QApplication::style())) {
        QApplication::setStyle(new FrameStyle(QStyleFactory::create(QApplication::style()->name())));
    }
}

} // namespace corvane::ui
