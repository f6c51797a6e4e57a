// The entry point of the UI tests: one QApplication for the whole run, on a screen-less platform
// unless the environment asks for another (QT_QPA_PLATFORM=xcb to watch a test).
//
// The screen-less screen is made large (offscreen_screen.json), so that no window is shrunk to
// fit it, and the desktop font is 8 points, the size the windows were laid out for: the windows
// keep their description's size unless a test gives them another font.

#include <QApplication>
#include <QFont>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform == "offscreen") {
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + CORVANE_OFFSCREEN_SCREEN);
    }
    testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    QFont font = QApplication::font();
    font.setPointSize(8);
    QApplication::setFont(font);
    return RUN_ALL_TESTS();
}
