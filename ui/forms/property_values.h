#pragma once

// The value types window descriptions use for colours, cursors, fonts, alignment, scroll bars and
// file dialog options, and what each means for a Qt widget.

#include "stream/declaration.h"

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QPalette>
#include <cstdint>

class QPlainTextEdit;
class QWidget;

namespace corvane::ui {

// Colours: 0x00BBGGRR, or a system colour (0x80000000 + its index) taken from the palette.
inline constexpr int32_t kClDefault = 0x20000000;
inline constexpr int32_t kClWindow = static_cast<int32_t>(0x80000005);
inline constexpr int32_t kClWindowText = static_cast<int32_t>(0x80000008);
inline constexpr int32_t kClInactiveCaptionText = static_cast<int32_t>(0x80000013);
const stream::IntegerNames& colorNames();
QColor colorOf(int32_t color, const QPalette& palette);
// Paints the control's background in the colour (its text and base roles).
void setControlColor(QWidget* control, int32_t color);

const stream::IntegerNames& cursorNames(); // crDefault, crArrow, crHandPoint...
QCursor cursorOf(int32_t cursor);

const stream::EnumType& fontStyleType(); // fsBold, fsItalic, fsUnderline, fsStrikeOut
uint32_t fontStyleOf(const QFont& font);
void applyFontStyle(QFont& font, uint32_t style);

const stream::EnumType& alignmentType(); // taLeftJustify, taRightJustify, taCenter
int alignmentOf(Qt::Alignment alignment);
Qt::Alignment qtAlignment(int alignment);

const stream::EnumType& scrollStyleType(); // ssNone, ssHorizontal, ssVertical, ssBoth
int scrollStyleOf(const QPlainTextEdit& memo);
void applyScrollStyle(QPlainTextEdit& memo, int style);

const stream::EnumType& openOptionType(); // ofReadOnly ... ofEnableSizing
inline constexpr uint32_t kOfHideReadOnly = 1u << 2;
inline constexpr uint32_t kOfEnableSizing = 1u << 19;
inline constexpr uint32_t kDefaultOpenOptions = kOfHideReadOnly | kOfEnableSizing;

} // namespace corvane::ui
