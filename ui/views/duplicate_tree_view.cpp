#include "ui/views/duplicate_tree_view.h"

#include "ui/views/cut_text.h"
#include "ui/views/duplicate_tree_model.h"
#include "ui/views/view_focus.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace corvane::ui {

namespace {

constexpr int kImageLeftMargin = 1;
constexpr int kImageTextGap = 3;
constexpr int kImageSpace = kImageLeftMargin + kStateImageSize + kImageTextGap;

} // namespace

StateImageDelegate::StateImageDelegate(QObject* parent) : QStyledItemDelegate(parent) {
    for (int i = 0; i < kStateImageCount; ++i) {
        images_[static_cast<size_t>(i)] = QPixmap::fromImage(stateImage(i));
    }
}

bool StateImageDelegate::hasStateImage(const QModelIndex& index) {
    bool ok = false;
    const int state = index.data(DuplicateTreeModel::StateIndexRole).toInt(&ok);
    return ok && state >= 0 && state < kStateImageCount;
}

QRect StateImageDelegate::stateImageRect(const QRect& itemRect) {
    return QRect(itemRect.left() + kImageLeftMargin,
                 itemRect.top() + (itemRect.height() - kStateImageSize) / 2, kStateImageSize,
                 kStateImageSize);
}

void StateImageDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    if (!hasStateImage(index)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const int state = index.data(DuplicateTreeModel::StateIndexRole).toInt();
    painter->drawPixmap(stateImageRect(option.rect).topLeft(), images_[static_cast<size_t>(state)]);
    // The text and its selection highlight go right of the picture, as in a native tree.
    QStyleOptionViewItem text(option);
    text.rect.setLeft(option.rect.left() + kImageSpace);
    QStyledItemDelegate::paint(painter, text, index);
}

QSize StateImageDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (hasStateImage(index)) {
        size.rwidth() += kImageSpace;
        size.setHeight(std::max(size.height(), kStateImageSize + 2));
    }
    return size;
}

void StateImageDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    option->features &= ~QStyleOptionViewItem::HasCheckIndicator;
}

bool StateImageDelegate::editorEvent(QEvent*, QAbstractItemModel*, const QStyleOptionViewItem&,
                                     const QModelIndex&) {
    return false;
}

DuplicateTreeView::DuplicateTreeView(QWidget* parent) : QTreeView(parent) {
    setTextElideMode(Qt::ElideMiddle);
    setItemDelegate(new StateImageDelegate(this));
    setHeaderHidden(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true); // many groups: no per-row height query
}

QModelIndex DuplicateTreeView::stateImageAt(const QPoint& viewportPos) const {
    const QModelIndex index = indexAt(viewportPos);
    if (!index.isValid() || !StateImageDelegate::hasStateImage(index)) {
        return {};
    }
    return StateImageDelegate::stateImageRect(visualRect(index)).contains(viewportPos) ? index
                                                                                       : QModelIndex();
}

void DuplicateTreeView::mousePressEvent(QMouseEvent* event) {
    primaryPressed_ = event->button() == Qt::LeftButton;
    // A press below the last node keeps the selected node, as a native tree does: the click
    // that follows still refers to it.
    if (!indexAt(event->position().toPoint()).isValid()) {
        event->accept();
        return;
    }
    QTreeView::mousePressEvent(event);
}

void DuplicateTreeView::mouseDoubleClickEvent(QMouseEvent* event) {
    primaryPressed_ = false;
    QTreeView::mouseDoubleClickEvent(event);
}

void DuplicateTreeView::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = primaryPressed_ && event->button() == Qt::LeftButton;
    primaryPressed_ = false;
    QTreeView::mouseReleaseEvent(event);
    if (click) {
        clickPos_ = event->position().toPoint();
        emit primaryClicked(event->position().toPoint());
    }
}

void DuplicateTreeView::keyPressEvent(QKeyEvent* event) {
    emit keyDown(event->key(), event->modifiers());
    QTreeView::keyPressEvent(event);
}

void DuplicateTreeView::paintEvent(QPaintEvent* event) {
    QTreeView::paintEvent(event);
    paintFocusFrame(*this);
}

void DuplicateTreeView::focusInEvent(QFocusEvent* event) {
    QTreeView::focusInEvent(event);
    viewport()->update();
}

void DuplicateTreeView::focusOutEvent(QFocusEvent* event) {
    QTreeView::focusOutEvent(event);
    viewport()->update();
}

void DuplicateTreeView::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) {
    bool currentGoes = false;
    for (QModelIndex node = currentIndex(); node.isValid() && !currentGoes; node = node.parent()) {
        currentGoes = node.parent() == parent && node.row() >= start && node.row() <= end;
    }
    QTreeView::rowsAboutToBeRemoved(parent, start, end);
    if (currentGoes) {
        selectionModel()->clear();
    }
}

QString DuplicateTreeView::cutTextAt(const QPoint& viewportPos) const {
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    return cutCellTextAt(*this, option, viewportPos);
}

bool DuplicateTreeView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        answerCutTextToolTip(*this, *help, cutTextAt(help->pos()));
        return true;
    }
    return QTreeView::viewportEvent(event);
}

} // namespace corvane::ui
