#pragma once

// The check-state pictures of the duplicate tree, drawn here: 16 × 16, sunken (dark edge at
// the top and left, light edge at the bottom and right), white inside, transparent around.

#include <QImage>

namespace corvane::ui {

inline constexpr int kStateImageSize = 16;
inline constexpr int kStateImageCount = 4;

// The picture of state index `index`: 0 round button, empty (radio off); 1 square box with a
// tick (checked); 2 round button with a black dot (radio on); 3 square box, empty (unchecked).
// A null image for any other index.
QImage stateImage(int index);

} // namespace corvane::ui
