#pragma once

// The order in which a reader meets the controls of a window: row by row from the top, left to
// right within a row, each container's controls where the container stands. Tab moves through a
// window's controls in this order, and mnemonics are given out in it.

#include <vector>

class QWidget;

namespace corvane::ui {

// Every widget below `container` that is not a window of its own, depth first: the children of
// each widget in reading order, each followed by its own children. Two children share a row when
// their heights overlap by at least half the smaller one.
std::vector<QWidget*> readingOrder(QWidget* container);

} // namespace corvane::ui
