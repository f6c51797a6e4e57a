#pragma once

// The windows are laid out in pixels, as measured with an 8-point font at 96 dots per inch (the
// description's TextHeight is the height of a line of text in that font). On a desktop whose font
// is larger, a window and everything in it grows by the ratio of the two fonts' line heights, so
// that the texts keep their room; the window never grows beyond the screen's free area. (Qt maps
// these pixels to the screen's device pixels itself, so a scale factor of 2 needs nothing here but
// the fit to the screen, whose area Qt gives in the same pixels.)
//
// Bounds that a window writes or reads (result files) stay in the description's pixels.

#include <QSize>

class QFont;
class QWidget;

namespace corvane::ui {

// How much larger than its description `form` is laid out: 1 until scaleLayout has run.
double layoutScale(const QWidget* form);
// The factor for a window whose description measured `designTextHeight` pixels for a line of
// text, on a desktop whose font is `desktopFont`: the ratio of the line heights, never below 1.
double layoutScaleFor(const QFont& desktopFont, int designTextHeight);

// Grows the read description of `form` by `factor`: the controls' bounds, the window's sizes and
// limits, fonts, pictures, indents. Called once, before the window is laid out.
void scaleLayout(QWidget* form, QWidget* clientArea, double factor);

// A length of the description in the window's pixels, and back.
int scaled(const QWidget* form, int designPixels);
int unscaled(const QWidget* form, int pixels);

// The free area of the screen `form` will appear on, less its frame: the most its client area and
// menu may take. Empty when there is no screen.
QSize screenRoom(const QWidget* form, int frameWidth, int frameHeight);

// Shrinks `form` (its size and minimum size) to the free area of the screen it will appear on,
// its frame included, when it is larger. A main window whose controls cannot be laid out that
// small shows `clientArea` at its least size in a scrolled area.
void fitToScreen(QWidget* form, QWidget* clientArea, int frameWidth, int frameHeight);

} // namespace corvane::ui
