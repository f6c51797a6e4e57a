#include "ui/views/reference_mark.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>

namespace corvane::ui {

namespace {

// Draws the padlock into any rectangle: a dark body with a keyhole under a round shackle.
class PadlockEngine final : public QIconEngine {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        const qreal side = std::min(rect.width(), rect.height());
        const QRectF box(rect.x() + (rect.width() - side) / 2.0, rect.y() + (rect.height() - side) / 2.0,
                         side, side);
        const QColor ink = mode == QIcon::Disabled ? QColor(150, 150, 150) : QColor(70, 70, 70);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        QPen shackle(ink, side * 0.12);
        shackle.setCapStyle(Qt::FlatCap);
        painter->setPen(shackle);
        painter->setBrush(Qt::NoBrush);
        const QRectF arc(box.x() + side * 0.28, box.y() + side * 0.08, side * 0.44, side * 0.5);
        painter->drawArc(arc, 0, 180 * 16);
        painter->drawLine(QPointF(arc.left(), arc.center().y()), QPointF(arc.left(), box.y() + side * 0.48));
        painter->drawLine(QPointF(arc.right(), arc.center().y()),
                          QPointF(arc.right(), box.y() + side * 0.48));
        painter->setPen(Qt::NoPen);
        painter->setBrush(ink);
        const QRectF body(box.x() + side * 0.18, box.y() + side * 0.45, side * 0.64, side * 0.47);
        painter->drawRoundedRect(body, side * 0.06, side * 0.06);
        painter->setBrush(Qt::white);
        painter->drawEllipse(QPointF(body.center().x(), body.center().y() - side * 0.03), side * 0.07,
                             side * 0.07);
        painter->restore();
    }

    QIconEngine* clone() const override { return new PadlockEngine; }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }
};

} // namespace

const QIcon& referenceMark() {
    static const QIcon mark(new PadlockEngine);
    return mark;
}

} // namespace corvane::ui
