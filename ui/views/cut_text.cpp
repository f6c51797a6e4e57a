#include "ui/views/cut_text.h"

#include <QAbstractItemDelegate>
#include <QAbstractItemView>
#include <QHelpEvent>
#include <QModelIndex>
#include <QStyleOptionViewItem>
#include <QToolTip>

namespace corvane::ui {

QString cutCellText(const QAbstractItemDelegate& delegate, const QStyleOptionViewItem& option,
                    const QModelIndex& index) {
    if (!index.isValid() || delegate.sizeHint(option, index).width() <= option.rect.width()) {
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
