// The main window on a 1600x1000 screen at a scale of 1.5 and of 2 (QT_SCALE_FACTOR, which these
// tests run under): it fits without scrolling, taking the screen's width; at a fractional scale every
// frame is whole; the tree's pictures are drawn for the device's pixels.

#include "window_fixture.h"

#include "ui/desktop/frame_style.h"
#include "ui/forms/list_controls_qt.h"
#include "ui/views/state_images.h"

#include <QApplication>
#include <QGroupBox>
#include <QImage>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QTabWidget>

#include <cmath>

namespace corvane::testing {
namespace {

class Scale : public WindowFixture {
protected:
    void SetUp() override {
        ui::useWholeFrames();
        WindowFixture::SetUp();
        ratio_ = main().devicePixelRatioF();
        ASSERT_GT(ratio_, 1.0) << "run with QT_SCALE_FACTOR";
    }

    // Where `widget` lies in the main window's client coordinates.
    QRect placeOf(const QWidget* widget) {
        return QRect(widget->mapTo(&main(), QPoint(0, 0)), widget->size());
    }

    qreal ratio_ = 1.0;
};

TEST_F(Scale, TheWindowUsesTheScreensWidthAndNeedsNoScrollBar) {
    const QRect screen = main().screen()->availableGeometry();
    ASSERT_LT(screen.height(), 700) << "the screen is meant to be too low for the window's description";
    EXPECT_EQ(qobject_cast<QScrollArea*>(main().centralWidget()), nullptr) << "the window scrolls";
    EXPECT_LE(main().width(), screen.width());
    EXPECT_LE(main().height(), screen.height());
    EXPECT_GE(main().width(), screen.width() * 9 / 10);

    // Everything in the window, nothing on top of anything else: the information beside the tree.
    const QRect window = main().rect();
    const QRect tree = placeOf(probe().duplicateTree());
    const QRect box = placeOf(probe().fileInfoBox());
    for (const QWidget* widget : std::initializer_list<const QWidget*>{
             probe().searchButton(), probe().searchPathList(), probe().deleteCheckedButton(),
             probe().duplicateTree(), probe().fileInfoBox(), probe().openFolderButton(),
             probe().statusBar()}) {
        EXPECT_TRUE(window.contains(placeOf(widget))) << widget->objectName().toStdString();
    }
    EXPECT_FALSE(tree.intersects(box));
    EXPECT_LT(tree.right(), box.left());
    EXPECT_TRUE(placeOf(probe().pages()).contains(box));
    EXPECT_GE(tree.height(), box.height());
    EXPECT_LT(box.bottom(), placeOf(probe().statusBar()).top());
}

// A list or tree whose frame lies half a device pixel off loses sides with the plain style; the
// program's frame style keeps all four.
TEST_F(Scale, EveryFrameIsWhole) {
    if (std::abs(ratio_ - std::round(ratio_)) < 0.01) {
        GTEST_SKIP() << "a whole-number scale draws every frame whole anyway";
    }
    const QImage image = main().grab().toImage();
    ASSERT_DOUBLE_EQ(image.devicePixelRatio(), ratio_);
    for (QWidget* view : std::initializer_list<QWidget*>{probe().searchPathList(), probe().duplicateTree()}) {
        const QRect r = placeOf(view);
        const int left = static_cast<int>(std::lround(r.left() * ratio_));
        const int right = static_cast<int>(std::lround((r.right() + 1) * ratio_)) - 1;
        const int top = static_cast<int>(std::lround(r.top() * ratio_));
        const int bottom = static_cast<int>(std::lround((r.bottom() + 1) * ratio_)) - 1;
        const auto line = [&](int x0, int y0, int dx, int dy) {
            // A frame pixel within a device pixel of the edge, in the middle of the side.
            for (int step = -1; step <= 1; ++step) {
                if (qGray(image.pixel(x0 + step * dx, y0 + step * dy)) < 225) {
                    return true;
                }
            }
            return false;
        };
        const std::string name = view->objectName().toStdString();
        EXPECT_TRUE(line(left, (top + bottom) / 2, 1, 0)) << name << ": left";
        EXPECT_TRUE(line(right, (top + bottom) / 2, 1, 0)) << name << ": right";
        EXPECT_TRUE(line((left + right) / 2, top, 0, 1)) << name << ": top";
        EXPECT_TRUE(line((left + right) / 2, bottom, 0, 1)) << name << ": bottom";
    }
}

TEST_F(Scale, TheTreesPicturesAreDrawnForTheDevicesPixels) {
    ui::DuplicateTreeModel* tree = probe().duplicateTree()->treeModel();
    const QModelIndex group = tree->appendGroup("/srv/a", {"/srv/b"});
    tree->setStateIndex(group, ui::kStateChecked);
    QApplication::processEvents();
    const QRect at = probe().duplicateTree()->stateImageRect(group);
    const int size = probe().duplicateTree()->stateImageSize();
    ASSERT_EQ(at.width(), size);
    const QImage shown = probe().duplicateTree()->viewport()->grab(at).toImage();
    const QImage drawn = ui::stateImage(ui::kStateChecked, size, ratio_);
    ASSERT_EQ(shown.size(), drawn.size()) << "drawn with as many device pixels as the screen has";
    if (std::abs(ratio_ - std::round(ratio_)) > 0.01) {
        return; // placed half a device pixel off, the picture cannot match pixel for pixel
    }
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            if (qAlpha(drawn.pixel(x, y)) == 255) {
                EXPECT_EQ(shown.pixel(x, y), drawn.pixel(x, y)) << x << "," << y;
            }
        }
    }
}

} // namespace
} // namespace corvane::testing
