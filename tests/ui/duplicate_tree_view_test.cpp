#include "ui/views/duplicate_tree_model.h"
#include "ui/views/duplicate_tree_view.h"
#include "ui/views/state_images.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

namespace corvane::ui {
namespace {

int lightness(const QImage& image, int x, int y) {
    return image.pixelColor(x, y).lightness();
}

bool opaque(const QImage& image, int x, int y) {
    return image.pixelColor(x, y).alpha() == 255;
}

TEST(StateImages, FourSixteenPixelPicturesAndNoneBeyond) {
    for (int index = 0; index < kStateImageCount; ++index) {
        EXPECT_EQ(stateImage(index).size(), QSize(16, 16)) << index;
    }
    EXPECT_TRUE(stateImage(-1).isNull());
    EXPECT_TRUE(stateImage(4).isNull());
}

TEST(StateImages, SunkenWithAWhiteInside) {
    constexpr int kMiddle = 8;
    for (int index = 0; index < kStateImageCount; ++index) {
        const QImage image = stateImage(index);
        // The first and last opaque pixel down the middle column: the top edge and the bottom one.
        int top = 0;
        while (top < 16 && !opaque(image, kMiddle, top)) {
            ++top;
        }
        int bottom = 15;
        while (bottom > 0 && !opaque(image, kMiddle, bottom)) {
            --bottom;
        }
        ASSERT_LT(top, bottom) << index;
        EXPECT_LT(lightness(image, kMiddle, top), lightness(image, kMiddle, bottom)) << index;
        EXPECT_LT(lightness(image, kMiddle - 5, kMiddle), lightness(image, kMiddle + 5, kMiddle)) << index;
        EXPECT_EQ(image.pixelColor(kMiddle - 3, kMiddle - 3), QColor(Qt::white)) << index;
        EXPECT_FALSE(opaque(image, 0, 0)) << index;
        EXPECT_FALSE(opaque(image, 15, 0)) << index;
    }
}

TEST(StateImages, BoxesAndRoundButtonsWithTheirMarks) {
    // Square boxes fill their corners, round buttons leave them transparent.
    EXPECT_TRUE(opaque(stateImage(1), 2, 2));
    EXPECT_TRUE(opaque(stateImage(3), 2, 2));
    EXPECT_FALSE(opaque(stateImage(0), 2, 2));
    EXPECT_FALSE(opaque(stateImage(2), 2, 2));
    // A tick or a dot darkens the middle; the empty ones stay white there.
    EXPECT_EQ(stateImage(1).pixelColor(8, 8), QColor(Qt::black));
    EXPECT_EQ(stateImage(2).pixelColor(8, 8), QColor(Qt::black));
    EXPECT_EQ(stateImage(0).pixelColor(8, 8), QColor(Qt::white));
    EXPECT_EQ(stateImage(3).pixelColor(8, 8), QColor(Qt::white));
}

// Larger, and for a screen of more device pixels, the pictures are drawn anew: each cell of the
// sixteen-cell design as a block of whole device pixels, so their lines stay sharp.
TEST(StateImages, DrawnAtTheirSizeAndTheDevicePixelRatio) {
    for (const auto& [size, ratio] : {std::pair{16, 2.0}, {24, 1.0}, {24, 2.0}, {16, 1.5}}) {
        for (int index = 0; index < kStateImageCount; ++index) {
            const QImage image = stateImage(index, size, ratio);
            const int pixels = static_cast<int>(std::lround(size * ratio));
            ASSERT_EQ(image.size(), QSize(pixels, pixels)) << size << " " << ratio;
            EXPECT_DOUBLE_EQ(image.devicePixelRatio(), ratio);
        }
        // The design's cell (x, y), as device pixels: the same colour over all of them when the
        // cells are whole pixels.
        const double cell = size * ratio / kStateImageSize;
        const QImage small = stateImage(kStateChecked);
        const QImage large = stateImage(kStateChecked, size, ratio);
        if (cell == std::floor(cell)) {
            for (int y = 0; y < kStateImageSize; ++y) {
                for (int x = 0; x < kStateImageSize; ++x) {
                    for (int dy = 0; dy < static_cast<int>(cell); ++dy) {
                        for (int dx = 0; dx < static_cast<int>(cell); ++dx) {
                            ASSERT_EQ(
                                large.pixel(static_cast<int>(x * cell) + dx, static_cast<int>(y * cell) + dy),
                                small.pixel(x, y))
                                << "cell " << x << "," << y << " at " << size << " " << ratio;
                        }
                    }
                }
            }
        }
        // Never blurred: every pixel is one of the design's shades, or transparent.
        for (int y = 0; y < large.height(); ++y) {
            for (int x = 0; x < large.width(); ++x) {
                const QColor c = large.pixelColor(x, y);
                EXPECT_TRUE(c.alpha() == 0 || c.alpha() == 255) << x << "," << y;
            }
        }
    }
    EXPECT_TRUE(stateImage(1, 0).isNull());
}

TEST(StateImages, TheTreeMakesRoomForLargerPictures) {
    DuplicateTreeModel model;
    model.appendGroup("/data/original", {"/data/copy"});
    DuplicateTreeView view;
    view.setModel(&model);
    view.resize(400, 300);
    view.show();
    const QModelIndex group = model.index(0, 0);
    EXPECT_EQ(view.stateImageRect(group).size(), QSize(16, 16));
    view.setStateImageSize(24);
    QApplication::processEvents();
    const QRect image = view.stateImageRect(group);
    EXPECT_EQ(image.size(), QSize(24, 24));
    EXPECT_GE(view.visualRect(group).height(), 24);
    EXPECT_TRUE(view.visualRect(group).contains(image));
    EXPECT_EQ(view.stateImageAt(image.center()), group);
}

class TreeViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        model.appendGroup("/data/original", {"/data/copy one", "/data/copy two"});
        model.appendGroup("/other/original", {"/other/copy"});
        model.setStateIndex(model.index(1, 0, model.index(0, 0)), kStateChecked);
        model.setStateIndex(model.index(0, 0, model.index(1, 0)), kStateRadioOn);
        model.setStateIndex(model.index(1, 0), -1);
        view.setModel(&model);
        view.expandAll();
        view.resize(400, 300);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    QRect imageRectOf(const QModelIndex& index) const {
        return StateImageDelegate::stateImageRect(view.visualRect(index));
    }

    DuplicateTreeModel model{qtcore::LocaleTexts(QLocale(QLocale::English, QLocale::UnitedStates))};
    DuplicateTreeView view;
};

TEST_F(TreeViewTest, OnlyThePictureItselfIsAHit) {
    const QModelIndex group = model.index(0, 0);
    for (const QModelIndex& node : {group, model.index(0, 0, group), model.index(1, 0, group)}) {
        const QRect image = imageRectOf(node);
        EXPECT_EQ(view.stateImageAt(image.center()), node);
        EXPECT_EQ(view.stateImageAt(image.topLeft()), node);
        EXPECT_EQ(view.stateImageAt(image.bottomRight()), node);
        EXPECT_FALSE(view.stateImageAt(image.topRight() + QPoint(1, 0)).isValid()) << "right of it";
        EXPECT_FALSE(view.stateImageAt(image.center() + QPoint(30, 0)).isValid()) << "on the text";
        EXPECT_FALSE(view.stateImageAt(image.topLeft() - QPoint(1, 0)).isValid()) << "left of it";
    }
    EXPECT_GT(imageRectOf(model.index(0, 0, group)).left(), imageRectOf(group).left())
        << "children are indented";
}

TEST_F(TreeViewTest, NodeWithoutAPictureAndEmptySpaceAreNoHit) {
    const QModelIndex noPicture = model.index(1, 0);
    EXPECT_FALSE(view.stateImageAt(imageRectOf(noPicture).center()).isValid());
    EXPECT_FALSE(view.stateImageAt(QPoint(5, view.viewport()->height() - 3)).isValid());
}

TEST_F(TreeViewTest, PictureIsDrawnWhereTheHitTestLooks) {
    const QImage shown = view.viewport()->grab().toImage();
    const QModelIndex group = model.index(0, 0);
    for (const QModelIndex& node : {group, model.index(1, 0, group), model.index(0, 0, model.index(1, 0))}) {
        const QRect rect = imageRectOf(node);
        const QImage expected = stateImage(model.node(node)->stateIndex);
        int compared = 0;
        for (int y = 0; y < kStateImageSize; ++y) {
            for (int x = 0; x < kStateImageSize; ++x) {
                if (opaque(expected, x, y)) {
                    ASSERT_EQ(shown.pixelColor(rect.left() + x, rect.top() + y).rgb(),
                              expected.pixelColor(x, y).rgb())
                        << "pixel " << x << "," << y << " of " << model.node(node)->text;
                    ++compared;
                }
            }
        }
        EXPECT_GT(compared, 100);
    }
}

TEST_F(TreeViewTest, ClickIsReportedAfterThePressHasSelectedTheNode) {
    const QModelIndex child = model.index(0, 0, model.index(0, 0));
    QModelIndex selectedAtClick;
    QPoint clickedAt;
    QObject::connect(&view, &DuplicateTreeView::primaryClicked, [&](const QPoint& pos) {
        selectedAtClick = view.currentIndex();
        clickedAt = pos;
    });
    const QPoint onImage = imageRectOf(child).center();
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, onImage);
    EXPECT_EQ(selectedAtClick, child);
    EXPECT_EQ(clickedAt, onImage);

    QSignalSpy clicks(&view, &DuplicateTreeView::primaryClicked);
    QTest::mouseClick(view.viewport(), Qt::RightButton, {}, onImage);
    EXPECT_EQ(clicks.size(), 0);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(5, view.viewport()->height() - 3));
    EXPECT_EQ(clicks.size(), 1) << "a click on empty space is a click too";
}

TEST_F(TreeViewTest, ClickOnThePictureTogglesAndOnTheTextOnlySelects) {
    // Wired the way the window wires its click handler.
    QObject::connect(&view, &DuplicateTreeView::primaryClicked, [&](const QPoint& pos) {
        if (view.stateImageAt(pos).isValid()) {
            model.ToggleCheckState(view.currentIndex(), 3, 1, 0, 2);
        }
    });
    const QModelIndex copy = model.index(0, 0, model.index(0, 0));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, imageRectOf(copy).center());
    EXPECT_EQ(model.node(copy)->stateIndex, kStateChecked);
    const QModelIndex original = model.index(0, 0);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, imageRectOf(original).center() + QPoint(40, 0));
    EXPECT_EQ(view.currentIndex(), original);
    EXPECT_EQ(model.node(original)->stateIndex, kStateUnchecked);
}

TEST_F(TreeViewTest, KeysAreReportedAndStillReachTheTree) {
    QSignalSpy keys(&view, &DuplicateTreeView::keyDown);
    view.setCurrentIndex(model.index(0, 0));
    view.setFocus();
    QTest::keyClick(&view, Qt::Key_Space);
    QTest::keyClick(&view, Qt::Key_Down);
    ASSERT_EQ(keys.size(), 2);
    EXPECT_EQ(keys[0][0].toInt(), Qt::Key_Space);
    EXPECT_EQ(view.currentIndex(), model.index(0, 0, model.index(0, 0))) << "the arrow key moved on";
}

} // namespace
} // namespace corvane::ui
