#pragma once

// Frames that stay whole on a screen with a fractional scale (1.5 device pixels to a pixel, as a
// desktop at 144 dpi gives): the style's one-pixel frame around lists, trees and text boxes falls
// on the edge between device pixels there, and where the control's own area starts half a device
// pixel in, the line is cut away on some sides. At such scales this style draws those frames in
// whole device pixels; at whole-number scales it leaves everything to the desktop's style.

#include <QProxyStyle>

namespace corvane::ui {

class FrameStyle final : public QProxyStyle {
    Q_OBJECT
public:
    // Wraps `base` (the style the application has now when null), taking it over.
    explicit FrameStyle(QStyle* base = nullptr);

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
};

// Gives the application the desktop's style wrapped in a FrameStyle. Call once the QApplication
// exists.
void useWholeFrames();

} // namespace corvane::ui
