#pragma once

// The duplicate tree's view: shows each node's check-state picture left of its text and tells
// precisely whether a point lies on that picture, so that only a click on it toggles. Long paths
// are cut in the middle and show whole as tooltips.

#include "ui/views/state_images.h"

#include <QPixmap>
#include <QStyledItemDelegate>
#include <QTreeView>

#include <array>

namespace corvane::ui {

// Draws the state image of a node (DuplicateTreeModel::StateIndexRole, 0 to 3) at the left
// of its item, and the text right of it; a node with another state index shows its text only.
class StateImageDelegate final : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit StateImageDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // The view toggles check states itself (only a click on the picture, or Space, does).
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

    // Whether the node shows a state image.
    static bool hasStateImage(const QModelIndex& index);
    // Where the state image of an item drawn in `itemRect` lies, for images `imageSize` pixels a
    // side.
    static QRect stateImageRect(const QRect& itemRect, int imageSize = kStateImageSize);

    // The side of the state images in the view's pixels (kStateImageSize unless the window is
    // laid out larger); the pictures are drawn at it and at the screen's device pixel ratio.
    int imageSize() const { return imageSize_; }
    void setImageSize(int size);

protected:
    // The state image stands for the check state: no check box of the style is drawn beside it.
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    // The picture of `state` for a painter on a device of `devicePixelRatio`, drawn once.
    const QPixmap& image(int state, qreal devicePixelRatio) const;
    int imageSpace() const;

    int imageSize_ = kStateImageSize;
    mutable qreal imagesRatio_ = 0; // the ratio images_ were drawn for
    mutable std::array<QPixmap, kStateImageCount> images_;
};

class DuplicateTreeView : public QTreeView {
    Q_OBJECT

public:
    // A tree without header, labels not editable, one node selected at a time.
    explicit DuplicateTreeView(QWidget* parent = nullptr);

    // The node whose state image lies under `viewportPos` (viewport coordinates); an invalid
    // index for a point on a node's text or expand button, or on no node.
    QModelIndex stateImageAt(const QPoint& viewportPos) const;
    // Where the state image of `index` lies (viewport coordinates).
    QRect stateImageRect(const QModelIndex& index) const;
    // The side of the state images in the view's pixels; a window laid out larger sets it larger.
    int stateImageSize() const;
    void setStateImageSize(int size);
    // Where (viewport coordinates) the click that primaryClicked reports, or last reported, was.
    QPoint clickPos() const { return clickPos_; }
    // The whole text of the node under `viewportPos` when the tree shows it cut (paths are cut in
    // the middle); else empty. It is the node's tooltip.
    QString cutTextAt(const QPoint& viewportPos) const;

signals:
    // A click of the primary button anywhere in the tree, sent on release, after the press has
    // selected the node under it. Not sent for the second click of a double-click.
    void primaryClicked(const QPoint& viewportPos);
    // A key pressed in the tree, sent before the tree itself handles it.
    void keyDown(int key, Qt::KeyboardModifiers modifiers);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    // Shows the focus also while no node is current.
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // When the current node goes (its file was deleted), no node is current afterwards: the view
    // would make a neighbour current and selected, and what shows the current node would then
    // show a file nobody chose.
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;

private:
    StateImageDelegate* delegate_;
    bool primaryPressed_ = false;
    QPoint clickPos_;
};

} // namespace corvane::ui
