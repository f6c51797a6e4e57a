#pragma once

// Keeps controls placed as their window description lays them out when their parent changes
// size: a control anchored to both sides of an axis stretches with the parent, one anchored to
// the far side only moves with it, and aligned controls fill the top, bottom, sides or the rest
// of the parent's area, in that order.

#include <QRect>
#include <QSize>
#include <cstdint>

class QWidget;

namespace corvane::ui {

// Where a control sits at design size and how it follows its parent.
struct AnchorRule {
    QRect design;         // the control's rectangle in its parent at design size
    QSize parentDesign;   // the parent's size at design time
    uint32_t anchors = 3; // akLeft | akTop
    int align = 0;        // alNone
};

// Gives a control its rule (kept on the widget). The parent's current size is its design size.
void setAnchorRule(QWidget* control, uint32_t anchors, int align);
// Gives a control a rule of another place: `design` within a parent of size `parentDesign`, as if
// the description had placed it there (align none). For a window that arranges its controls
// otherwise than its description (Form::arrangeForRoom).
void setAnchorRule(QWidget* control, const QRect& design, const QSize& parentDesign, uint32_t anchors);
// The rule a control has, if any.
const AnchorRule* anchorRuleOf(const QWidget* control);

// Makes `container` place its ruled children on every resize, and places them now.
void arrangeOnResize(QWidget* container);
// Places the ruled children of `container` for its current size.
void arrangeChildren(QWidget* container);

} // namespace corvane::ui
