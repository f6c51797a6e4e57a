#include "ui/views/view_focus.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QPen>

namespace corvane::ui {

void paintFocusFrame(QAbstractItemView& view) {
    if (!view.hasFocus() || view.currentIndex().isValid()) {
        return;
    }
    // A line in the colour of the selection inside the view's edge: every style shows focus
    // otherwise (some with a tinted area that reads as a selection), so the view draws its own.
    QPainter painter(view.viewport());
    QPen pen(view.palette().color(QPalette::Active, QPalette::Highlight));
    pen.setWidth(2);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(view.viewport()->rect().adjusted(1, 1, -1, -1));
}

} // namespace corvane::ui
