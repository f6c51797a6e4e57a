#pragma once

// Whether an item view shows a cell's text whole: long paths are cut short (in the middle, so
// that both their start and their file name show), and the whole text then shows as the cell's
// tooltip.

#include <QString>

class QAbstractItemDelegate;
class QAbstractItemView;
class QHelpEvent;
class QPoint;
class QStyleOptionViewItem;

namespace corvane::ui {

// The whole text of the cell of `view` at `viewportPos` when the cell cannot show it whole; an
// empty text when it shows whole or there is no cell. `option`: the view's item option (which only
// the view itself can fill in).
QString cutCellTextAt(const QAbstractItemView& view, QStyleOptionViewItem option, const QPoint& viewportPos);

// Answers a tooltip event of `view` over a cell whose whole text is `cutText`: shows it, or, when
// it is empty (the cell shows its text whole), shows none.
void answerCutTextToolTip(QAbstractItemView& view, QHelpEvent& help, const QString& cutText);

} // namespace corvane::ui
