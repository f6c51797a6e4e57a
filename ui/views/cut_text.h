#pragma once

// Whether an item view shows a cell's text whole: long paths are cut short (in the middle, so
// that both their start and their file name show), and the whole text then shows as the cell's
// tooltip.

#include <QString>

class QAbstractItemDelegate;
class QAbstractItemView;
class QHelpEvent;
class QModelIndex;
class QStyleOptionViewItem;

namespace corvane::ui {

// The whole text of the cell at `index` when the cell, drawn by `delegate` with `option` (its
// rectangle the cell's), cannot show it whole; an empty text when it shows whole.
QString cutCellText(const QAbstractItemDelegate& delegate, const QStyleOptionViewItem& option,
                    const QModelIndex& index);

// Answers a tooltip event of `view` over a cell whose whole text is `cutText`: shows it, or, when
// it is empty (the cell shows its text whole), shows none.
void answerCutTextToolTip(QAbstractItemView& view, QHelpEvent& help, const QString& cutText);

} // namespace corvane::ui
