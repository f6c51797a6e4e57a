#include "ui/views/state_images.h"

#include <QPainter>

#include <algorithm>
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

// The box spans cells 2..14 both ways: two-cell sunken frame, 9 × 9 white inside.
constexpr int kBoxFirst = 2;
constexpr int kBoxLast = 14;

// The pictures are designed on a grid of 16 × 16 cells; a cell covers `scale` device pixels a
// side, its edges rounded to whole pixels, so that lines stay sharp and as thick as each other.
class Grid {
public:
    explicit Grid(double scale) : scale_(scale) {}
    int edge(int cell) const { return static_cast<int>(std::lround(cell * scale_)); }
    // The pixels of the cells (x1, y1) to (x2, y2), both included.
    QRect cells(int x1, int y1, int x2, int y2) const {
        return QRect(QPoint(edge(std::min(x1, x2)), edge(std::min(y1, y2))),
                     QPoint(edge(std::max(x1, x2) + 1) - 1, edge(std::max(y1, y2) + 1) - 1));
    }
    double scale() const { return scale_; }

private:
    double scale_;
};

void drawBox(QImage& image, const Grid& grid, bool ticked) {
    QPainter painter(&image);
    const auto line = [&](const QColor& color, int x1, int y1, int x2, int y2) {
        painter.fillRect(grid.cells(x1, y1, x2, y2), color);
    };
    line(kShadow, kBoxFirst, kBoxFirst, kBoxLast - 1, kBoxFirst); // outer top
    line(kShadow, kBoxFirst, kBoxFirst, kBoxFirst, kBoxLast - 1); // outer left
    line(kHighlight, kBoxFirst, kBoxLast, kBoxLast, kBoxLast);    // outer bottom
    line(kHighlight, kBoxLast, kBoxFirst, kBoxLast, kBoxLast);    // outer right
    line(kDarkShadow, kBoxFirst + 1, kBoxFirst + 1, kBoxLast - 2, kBoxFirst + 1);
    line(kDarkShadow, kBoxFirst + 1, kBoxFirst + 1, kBoxFirst + 1, kBoxLast - 2);
    line(kLight, kBoxFirst + 1, kBoxLast - 1, kBoxLast - 1, kBoxLast - 1);
    line(kLight, kBoxLast - 1, kBoxFirst + 1, kBoxLast - 1, kBoxLast - 1);
    line(kInside, kBoxFirst + 2, kBoxFirst + 2, kBoxLast - 2, kBoxLast - 2);
    if (ticked) {
        // A tick three cells thick in the 7 × 7 middle of the box: down for three columns, then
        // up for four.
        constexpr int kLeft = kBoxFirst + 3;
        constexpr int kTop = kBoxFirst + 3;
        constexpr int kTopRowOf[7] = {2, 3, 4, 3, 2, 1, 0};
        for (int column = 0; column < 7; ++column) {
            line(kMark, kLeft + column, kTop + kTopRowOf[column], kLeft + column,
                 kTop + kTopRowOf[column] + 2);
        }
    }
}

// Device pixel by device pixel, for crisp edges: a ring two cells wide in a 12 × 12 cell square at
// cell (2, 2), the upper-left half of the ring dark and the lower-right half light.
void drawRadio(QImage& image, const Grid& grid, bool on) {
    constexpr int kOrigin = 2;
    constexpr int kDiameter = 12;
    constexpr double kCentre = kDiameter / 2.0;
    const int first = grid.edge(kOrigin);
    const int last = grid.edge(kOrigin + kDiameter) - 1;
    for (int py = first; py <= last; ++py) {
        for (int px = first; px <= last; ++px) {
            // The pixel's middle in cells from the square's corner.
            const double x = (px + 0.5) / grid.scale() - kOrigin;
            const double y = (py + 0.5) / grid.scale() - kOrigin;
            const double distance = std::hypot(x - kCentre, y - kCentre);
            const bool upperLeft = x + y < kDiameter;
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
            image.setPixelColor(px, py, color);
        }
    }
}

} // namespace

QImage stateImage(int index, int size, qreal devicePixelRatio) {
    if (index < 0 || index >= kStateImageCount || size <= 0 || devicePixelRatio <= 0) {
        return {};
    }
    const int pixels = std::max(1, static_cast<int>(std::lround(size * devicePixelRatio)));
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const Grid grid(static_cast<double>(pixels) / kStateImageSize);
    switch (index) {
    case 0:
        drawRadio(image, grid, false);
        break;
    case 1:
        drawBox(image, grid, true);
        break;
    case 2:
        drawRadio(image, grid, true);
        break;
    default:
        drawBox(image, grid, false);
        break;
    }
    image.setDevicePixelRatio(devicePixelRatio);
    return image;
}

} // namespace corvane::ui
