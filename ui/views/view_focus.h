#pragma once

// Where the keyboard is in a list or tree that has no current row to show it (an empty list, or
// one the focus has just come to): a focus frame inside the view's edge.

class QAbstractItemView;

namespace corvane::ui {

// Draws the frame on the view's viewport when the view has the focus and no current index; for
// the view's paintEvent, after the view has painted.
void paintFocusFrame(QAbstractItemView& view);

} // namespace corvane::ui
