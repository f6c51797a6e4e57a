// The main window on a screen too low for its description: the file information goes beside the
// duplicate tree instead of below it, and the window takes the screen's width.

#include "ui/windows/main_window.h"

#include "stream/list_controls.h"
#include "ui/forms/anchor_layout.h"
#include "ui/forms/layout_scale.h"

#include <QTabBar>
#include <QTabWidget>

#include <algorithm>

namespace corvane::ui {

namespace {

// In the description's pixels: the file information's width beside the tree (its fields and
// buttons need some 270), and the least width left to the tree.
constexpr int kBoxWidthBeside = 300;
constexpr int kLeastTreeWidth = 120;

} // namespace

void MainWindow::arrangeForRoom(const QSize& room) {
    if (room.isEmpty() || height() <= room.height()) {
        return; // the description fits
    }
    auto* tree = qobject_cast<QWidget*>(findComponent("TreeView1"));
    auto* box = qobject_cast<QWidget*>(findComponent("GroupBox1"));
    auto* tabs = qobject_cast<QTabWidget*>(findComponent("PageControl1"));
    if (!tree || !box || !tabs || tree->parentWidget() != box->parentWidget()) {
        return;
    }
    const AnchorRule* treeRule = anchorRuleOf(tree);
    const AnchorRule* boxRule = anchorRuleOf(box);
    const AnchorRule* tabsRule = anchorRuleOf(tabs);
    if (!treeRule || !boxRule || !tabsRule) {
        return;
    }
    const QSize pageDesign = treeRule->parentDesign;
    const QRect treeAt = treeRule->design;
    const QRect boxAt = boxRule->design;
    const int margin = treeAt.left();
    const int gap = std::max(margin, boxAt.top() - treeAt.bottom() - 1);
    const int boxWidth = scaled(this, kBoxWidthBeside);

    // The page control follows the window's four edges, and its page the page control less its
    // tabs and frame: what the page will be in a window as large as the room.
    const int pageOverhead = tabs->tabBar()->sizeHint().height() + 6;
    const int pageHeight = tabsRule->design.height() + (room.height() - height()) - pageOverhead;
    const int pageWidth = tabsRule->design.width() + (room.width() - width()) - 6;
    const int neededHeight = treeAt.top() + boxAt.height() + margin;
    const int neededWidth = margin + scaled(this, kLeastTreeWidth) + gap + boxWidth + margin;
    if (pageHeight < neededHeight || pageWidth < neededWidth) {
        return; // not even so: the window is shrunk and scrolls (fitToScreen)
    }

    using namespace stream;
    setAnchorRule(box, QRect(pageDesign.width() - margin - boxWidth, treeAt.top(), boxWidth, boxAt.height()),
                  pageDesign, akTop | akRight);
    setAnchorRule(tree,
                  QRect(margin, treeAt.top(), pageDesign.width() - margin - gap - boxWidth - margin,
                        pageDesign.height() - treeAt.top() - margin),
                  pageDesign, akLeft | akTop | akRight | akBottom);
    arrangeChildren(tree->parentWidget());
    // The screen's width, and as high as it allows; never so small that the box is cut.
    setMinimumSize(room.width() - (pageWidth - neededWidth), room.height() - (pageHeight - neededHeight));
    resize(room);
}

} // namespace corvane::ui
