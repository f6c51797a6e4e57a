#include "ui/views/cut_text.h"

#include <QAbstractItemDelegate>
#include <QAbstractItemView>
#include <QHelpEvent>
#include <QModelIndex>
#include <QStyleOptionViewItem>
#include <QToolTip>

namespace corvane::ui {

QString cutCellTextAt(const QAbstractItemView& view, QStyleOptionViewItem option, const QPoint& viewportPos) {
    const QModelIndex index = view.indexAt(viewportPos);
    if (!index.isValid()) {
        return {};
    }
    option.rect = view.visualRect(index);
    if (view.itemDelegateForIndex(index)->sizeHint(option, index).width() <= option.rect.width()) {
        return {};
    }
    return index.data(Qt::DisplayRole).toString();
}

void answerCutTextToolTip(QAbstractItemView& view, QHelpEvent& help, const QString& cutText) {
    if (cutText.isEmpty()) {
        QToolTip::hideText();
        help.ignore();
    } else {
        QToolTip::showText(help.globalPos(), cutText, view.viewport(),
                           view.visualRect(view.indexAt(help.pos())));
    }
}

} // namespace corvane::ui
