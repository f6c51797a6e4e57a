#include "ui/views/cut_text.h"

#include <QAbstractItemDelegate>
#include <QModelIndex>
#include <QStyleOptionViewItem>

namespace corvane::ui {

QString cutCellText(const QAbstractItemDelegate& delegate, const QStyleOptionViewItem& option,
                    const QModelIndex& index) {
    if (!index.isValid() || delegate.sizeHint(option, index).width() <= option.rect.width()) {
        return {};
    }
    return index.data(Qt::DisplayRole).toString();
}

} // namespace corvane::ui
