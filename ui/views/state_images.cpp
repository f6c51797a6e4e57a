#include "ui/views/state_images.h"

#include <QPainter>

#include <cmath>

namespace corvane::ui {

namespace {

// The classic 3D shades of a sunken control.
const QColor kDarkShadow(64, 64, 64);
const QColor kShadow(128, 128, 128);
const QColor kLight(212, 208, 200);
const QColor kHighlight(255, 255, 255);
const QColor kInside(255, 255, 255);
const QColor kMark(0, 0, 0);

// The box spans pixels 2..14 both ways: two-pixel sunken frame, 9 × 9 white inside.
constexpr int kBoxFirst = 2;
constexpr int kBoxLast = 14;

void drawBox(QImage& image, bool ticked) {
    QPainter painter(&image);
    const auto line = [&](const QColor& color, int x1, int y1, int x2, int y2) {
        painter.setPen(color);
        painter.drawLine(x1, y1, x2, y2);
    };
    line(kShadow, kBoxFirst, kBoxFirst, kBoxLast - 1, kBoxFirst); // outer top
    line(kShadow, kBoxFirst, kBoxFirst, kBoxFirst, kBoxLast - 1); // outer left
    line(kHighlight, kBoxFirst, kBoxLast, kBoxLast, kBoxLast);    // outer bottom
    line(kHighlight, kBoxLast, kBoxFirst, kBoxLast, kBoxLast);    // outer right
    line(kDarkShadow, kBoxFirst + 1, kBoxFirst + 1, kBoxLast - 2, kBoxFirst + 1);
    line(kDarkShadow, kBoxFirst + 1, kBoxFirst + 1, kBoxFirst + 1, kBoxLast - 2);
    line(kLight, kBoxFirst + 1, kBoxLast - 1, kBoxLast - 1, kBoxLast - 1);
    line(kLight, kBoxLast - 1, kBoxFirst + 1, kBoxLast - 1, kBoxLast - 1);
    painter.fillRect(QRect(QPoint(kBoxFirst + 2, kBoxFirst + 2), QPoint(kBoxLast - 2, kBoxLast - 2)),
                     kInside);
    if (ticked) {
        // A tick three pixels thick in the 7 × 7 middle of the box: down for three columns, then
        // up for four.
        constexpr int kLeft = kBoxFirst + 3;
        constexpr int kTop = kBoxFirst + 3;
        constexpr int kTopRowOf[7] = {2, 3, 4, 3, 2, 1, 0};
        for (int column = 0; column < 7; ++column) {
            painter.fillRect(kLeft + column, kTop + kTopRowOf[column], 1, 3, kMark);
        }
    }
}

// Pixel by pixel, for crisp edges: a ring two pixels wide in a 12 × 12 square at (2, 2), the
// upper-left half of the ring dark and the lower-right half light.
void drawRadio(QImage& image, bool on) {
    constexpr int kOrigin = 2;
    constexpr int kDiameter = 12;
    constexpr double kCentre = kDiameter / 2.0;
    for (int y = 0; y < kDiameter; ++y) {
        for (int x = 0; x < kDiameter; ++x) {
            const double distance = std::hypot(x + 0.5 - kCentre, y + 0.5 - kCentre);
            const bool upperLeft = x + y < kDiameter - 1;
            QColor color;
            if (distance >= 6.0) {
                continue; // outside: stays transparent
            } else if (distance >= 5.0) {
                color = upperLeft ? kShadow : kHighlight;
            } else if (distance >= 4.0) {
                color = upperLeft ? kDarkShadow : kLight;
            } else if (on && distance < 2.0) {
                color = kMark;
            } else {
                color = kInside;
            }
            image.setPixelColor(kOrigin + x, kOrigin + y, color);
        }
    }
}

} // namespace

QImage stateImage(int index) {
    if (index < 0 || index >= kStateImageCount) {
        return {};
    }
    QImage image(kStateImageSize, kStateImageSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    switch (index) {
    case 0:
        drawRadio(image, false);
        break;
    case 1:
        drawBox(image, true);
        break;
    case 2:
        drawRadio(image, true);
        break;
    default:
        drawBox(image, false);
        break;
    }
    return image;
}

} // namespace corvane::ui
