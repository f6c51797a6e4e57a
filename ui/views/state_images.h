#pragma once

// The check-state pictures of the duplicate tree, drawn here: 16 × 16, sunken (dark edge at
// the top and left, light edge at the bottom and right), white inside, transparent around. A
// window laid out larger (layout_scale.h) and a screen of more device pixels per pixel get them
// drawn anew at their size, line by line, not blown up from the small ones.

#include <QImage>

namespace corvane::ui {

inline constexpr int kStateImageSize = 16;
inline constexpr int kStateImageCount = 4;

// The picture of state index `index`: 0 round button, empty (radio off); 1 square box with a
// tick (checked); 2 round button with a black dot (radio on); 3 square box, empty (unchecked).
// `size` is its side in the window's pixels, `devicePixelRatio` the screen's device pixels per
// pixel: the image has round(size × ratio) device pixels a side and carries the ratio. A null
// image for any other index.
QImage stateImage(int index, int size = kStateImageSize, qreal devicePixelRatio = 1.0);

} // namespace corvane::ui
