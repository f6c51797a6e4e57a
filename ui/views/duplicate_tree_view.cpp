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

// Around the picture, in sixteenths of its side: a margin on its left, a gap before the text.
constexpr int kImageLeftMargin = 1;
constexpr int kImageTextGap = 3;

int part(int imageSize, int sixteenths) {
    return (imageSize * sixteenths + kStateImageSize / 2) / kStateImageSize;
}

} // namespace

StateImageDelegate::StateImageDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

void StateImageDelegate::setImageSize(int size) {
    imageSize_ = std::max(1, size);
    imagesRatio_ = 0;
}

const QPixmap& StateImageDelegate::image(int state, qreal devicePixelRatio) const {
    if (imagesRatio_ != devicePixelRatio) {
        for (int i = 0; i < kStateImageCount; ++i) {
            images_[static_cast<size_t>(i)] = QPixmap::fromImage(stateImage(i, imageSize_, devicePixelRatio));
        }
        imagesRatio_ = devicePixelRatio;
    }
    return images_[static_cast<size_t>(state)];
}

int StateImageDelegate::imageSpace() const {
    return part(imageSize_, kImageLeftMargin) + imageSize_ + part(imageSize_, kImageTextGap);
}

bool StateImageDelegate::hasStateImage(const QModelIndex& index) {
    bool ok = false;
    const int state = index.data(DuplicateTreeModel::StateIndexRole).toInt(&ok);
    return ok && state >= 0 && state < kStateImageCount;
}

QRect StateImageDelegate::stateImageRect(const QRect& itemRect, int imageSize) {
    return QRect(itemRect.left() + part(imageSize, kImageLeftMargin),
                 itemRect.top() + (itemRect.height() - imageSize) / 2, imageSize, imageSize);
}

void StateImageDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    if (!hasStateImage(index)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const int state = index.data(DuplicateTreeModel::StateIndexRole).toInt();
    // Drawn for the device's pixels (a screen at twice the density gets twice the pixels).
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    painter->drawPixmap(stateImageRect(option.rect, imageSize_).topLeft(), image(state, ratio));
    // The text and its selection highlight go right of the picture, as in a native tree.
    QStyleOptionViewItem text(option);
    text.rect.setLeft(option.rect.left() + imageSpace());
    QStyledItemDelegate::paint(painter, text, index);
}

QSize StateImageDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (hasStateImage(index)) {
        size.rwidth() += imageSpace();
        size.setHeight(std::max(size.height(), imageSize_ + part(imageSize_, 2)));
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

DuplicateTreeView::DuplicateTreeView(QWidget* parent)
    : QTreeView(parent), delegate_(new StateImageDelegate(this)) {
    setTextElideMode(Qt::ElideMiddle);
    setItemDelegate(delegate_);
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
    return stateImageRect(index).contains(viewportPos) ? index : QModelIndex();
}

QRect DuplicateTreeView::stateImageRect(const QModelIndex& index) const {
    return StateImageDelegate::stateImageRect(visualRect(index), stateImageSize());
}

int DuplicateTreeView::stateImageSize() const {
    return delegate_->imageSize();
}

void DuplicateTreeView::setStateImageSize(int size) {
    delegate_->setImageSize(size);
    // Rows are as high as the pictures need.
    scheduleDelayedItemsLayout();
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
