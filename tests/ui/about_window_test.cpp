#include "message_recorder.h"
#include "scoped_environment.h"
#include "support/file_contents.h"
#include "support/temp_tree.h"
#include "window_fixture.h"

#include "ui/desktop/desktop_shell.h"
#include "ui/windows/help_page.h"
#include "ui/windows/help_window.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QEnterEvent>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QUrl>

#include <filesystem>

namespace corvane::testing {
namespace {

namespace fs = std::filesystem;

// Takes the URLs that the program asks the desktop to open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    explicit UrlCatcher(const QString& scheme) : scheme_(scheme) {
        QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler(scheme_); }
    QList<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls.push_back(url); }

private:
    QString scheme_;
};

class AboutWindow : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        previousTitle_ = QGuiApplication::applicationDisplayName();
        QGuiApplication::setApplicationDisplayName("Corvane");
        useSettings(std::nullopt);
    }
    void TearDown() override {
        aboutWindow().hide();
        QGuiApplication::setApplicationDisplayName(previousTitle_);
        WindowFixture::TearDown();
    }

    // Points the system configuration folders at a new folder holding `settings` as
    // Corvane/Corvane.conf, or no file at all.
    void useSettings(const std::optional<std::string>& settings) {
        const std::string folder = folders_.makeDir("config" + std::to_string(++count_));
        if (settings) {
            settingsFile_ =
                folders_.writeFile("config" + std::to_string(count_) + "/Corvane/Corvane.conf", *settings);
        }
        env_.set("XDG_CONFIG_DIRS", QByteArray::fromStdString(folder));
    }

    ui::AboutWindow& about() { return aboutWindow(); }
    void showAbout() {
        probe().aboutClicked();
        QApplication::processEvents();
    }
    QImage picture() { return about().grab().toImage(); }

    TempTree folders_;
    ScopedEnvironment env_;
    std::string settingsFile_;
    int count_ = 0;
    QString previousTitle_;
};

// The outcome of one showing.
struct Shown {
    bool link;
    QString name;   // productLabel_
    QString notice; // noticeLabel_
    QString linkText;
};

TEST_F(AboutWindow, SettingsDecideTheSupportLink) {
    const QString notice = "Finds files with identical contents. ";
    QGuiApplication::setApplicationDisplayName("Corvane Test Edition");
    const struct {
        std::optional<std::string> settings;
        Shown shown;
    } cases[] = {
        {std::nullopt, {false, "Corvane", notice, ""}},
        {"[General]\nwebsite_exist=1\nwebsite_address=support.example.org\n",
         {true, "Corvane", notice + "support.example.org", "http://support.example.org"}},
        // No address, or an empty one: one made of the application title.
        {"[General]\nwebsite_exist=1\n",
         {true, "Corvane Test Edition", notice + "www.CorvaneTestEdition.com",
          "http://www.CorvaneTestEdition.com"}},
        {"[General]\nwebsite_exist=1\nwebsite_address=\n",
         {true, "Corvane Test Edition", notice + "www.CorvaneTestEdition.com",
          "http://www.CorvaneTestEdition.com"}},
        {"[General]\nwebsite_exist=2\nwebsite_address=support.example.org\n", {false, "", notice, ""}},
        {"[General]\nwebsite_address=support.example.org\n", {false, "", notice, ""}},
        // Values of the wrong type: no link.
        {"[General]\nwebsite_exist=yes\nwebsite_address=support.example.org\n", {false, "", notice, ""}},
        {"[General]\nwebsite_exist=1\nwebsite_address=a, b\n", {false, "", notice, ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings.value_or("(no settings file)"));
        useSettings(c.settings);
        showAbout();
        ASSERT_TRUE(about().isVisible());
        EXPECT_EQ(about().linkShown_, c.shown.link);
        EXPECT_EQ(about().linkLabel_->isVisible(), c.shown.link);
        EXPECT_EQ(about().supportLabel_->isVisible(), c.shown.link);
        EXPECT_EQ(about().noticeLabel_->text(), c.shown.notice);
        if (c.shown.link) {
            EXPECT_EQ(about().linkLabel_->text(), c.shown.linkText);
            EXPECT_EQ(about().productLabel_->text(), c.shown.name);
        }
        about().closeButton_->click();
        EXPECT_FALSE(about().isVisible());
    }
    // Read, never written.
    EXPECT_EQ(fileContents(settingsFile_), "[General]\nwebsite_exist=1\nwebsite_address=a, b\n");
}

TEST_F(AboutWindow, ShownBesideTheMainWindowAndReadAgainOnlyWhenShownAgain) {
    useSettings("[General]\nwebsite_exist=1\nwebsite_address=support.example.org\n");
    showAbout();
    EXPECT_FALSE(about().isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(about().linkShown_);

    useSettings(std::nullopt);
    showAbout(); // already open: only brought to the front
    EXPECT_TRUE(about().linkShown_);
    EXPECT_TRUE(about().linkLabel_->isVisible());

    about().close(); // the close box hides it too
    EXPECT_FALSE(about().isVisible());
    showAbout();
    EXPECT_FALSE(about().linkShown_);
    EXPECT_FALSE(about().linkLabel_->isVisible());
}

// The pixels of row `y` from `from` to `to` (inclusive) all have `color`.
::testing::AssertionResult rowIs(const QImage& image, int y, int from, int to, const QColor& color) {
    for (int x = from; x <= to; ++x) {
        if (image.pixelColor(x, y) != color) {
            return ::testing::AssertionFailure()
                   << "pixel " << x << "," << y << " is " << image.pixelColor(x, y).name().toStdString();
        }
    }
    return ::testing::AssertionSuccess();
}

TEST_F(AboutWindow, TheLinkGrowsBlueUnderTheMouseAndItsUnderlineFollows) {
    const QColor black(Qt::black);
    const QColor blue(Qt::blue);
    useSettings("[General]\nwebsite_exist=1\nwebsite_address=support.example.org\n");
    showAbout();
    QLabel* link = about().linkLabel_;
    const int restWidth = link->width();
    ASSERT_GT(restWidth, 20);
    QImage image = picture();
    // The rule under the name and version, and the underline exactly as wide as the link.
    EXPECT_TRUE(rowIs(image, 60, 16, 304, black));
    EXPECT_NE(image.pixelColor(305, 60), black);
    EXPECT_TRUE(rowIs(image, 141, 16, 16 + restWidth - 1, black));
    EXPECT_NE(image.pixelColor(16 + restWidth, 141), black);
    EXPECT_NE(image.pixelColor(16, 144), black);

    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), link->mapToGlobal(QPointF(2, 2)));
    QApplication::sendEvent(link, &enter);
    EXPECT_TRUE(about().linkHovered_);
    EXPECT_EQ(link->font().pixelSize(), 13);
    EXPECT_EQ(link->palette().color(QPalette::WindowText), blue);
    const int hoverWidth = link->width();
    EXPECT_GT(hoverWidth, restWidth);
    image = picture();
    EXPECT_TRUE(rowIs(image, 144, 16, 16 + hoverWidth - 1, blue));
    EXPECT_NE(image.pixelColor(16 + hoverWidth, 144), blue);
    for (int x = 16; x < 16 + hoverWidth; ++x) {
        ASSERT_NE(image.pixelColor(x, 141), black) << x;
    }

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(link, &leave);
    EXPECT_FALSE(about().linkHovered_);
    EXPECT_EQ(link->font().pixelSize(), 11);
    EXPECT_EQ(link->palette().color(QPalette::WindowText), black);
    EXPECT_EQ(link->width(), restWidth);
    image = picture();
    EXPECT_TRUE(rowIs(image, 141, 16, 16 + restWidth - 1, black));
    EXPECT_NE(image.pixelColor(16, 144), blue);
}

TEST_F(AboutWindow, TheLinkOpensOnTheDesktopAndTheHelpPageInTheProgram) {
    useSettings("[General]\nwebsite_exist=1\nwebsite_address=support.example.org/help\n");
    showAbout();
    UrlCatcher web("http");
    QTest::mouseClick(about().linkLabel_, Qt::LeftButton);
    ASSERT_EQ(web.urls.size(), 1);
    EXPECT_EQ(web.urls[0], QUrl("http://support.example.org/help"));

    // From the keyboard: Tab reaches the link, which looks as under the mouse; Enter opens it.
    QApplication::setActiveWindow(&about());
    about().closeButton_->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < 3 && QApplication::focusWidget() != about().linkLabel_; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    ASSERT_EQ(QApplication::focusWidget(), about().linkLabel_);
    EXPECT_TRUE(about().linkHovered_);
    QTest::keyClick(about().linkLabel_, Qt::Key_Return);
    ASSERT_EQ(web.urls.size(), 2);
    EXPECT_TRUE(about().isVisible()) << "Enter on the link opens it, it does not close the window";
    about().closeButton_->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(about().linkHovered_);
    {
        // A desktop without a browser: the link says so.
        const ui::DesktopServices saved = ui::desktopServices();
        ui::desktopServices().openUrl = [](const QUrl&) { return false; };
        MessageRecorder recorder;
        QTest::mouseClick(about().linkLabel_, Qt::LeftButton);
        ui::desktopServices() = saved;
        ASSERT_EQ(recorder.messages.size(), 1u);
        EXPECT_EQ(recorder.messages[0].text,
                  "The link \"http://support.example.org/help\" cannot be opened: the "
                  "desktop has no web browser to open it with.");
    }

    // The build puts no help page beside the tests: its absence is said, and nothing opens.
    UrlCatcher files("file");
    const QString page = ui::helpPageFile(QCoreApplication::applicationDirPath());
    ASSERT_FALSE(QFileInfo::exists(page));
    {
        MessageRecorder recorder;
        probe().helpContentClicked();
        ASSERT_EQ(recorder.messages.size(), 1u);
        EXPECT_EQ(recorder.messages[0].text, "The help page \"" + page + "\" is missing.");
        EXPECT_TRUE(files.urls.empty());
    }
    ASSERT_TRUE(QDir().mkpath(QFileInfo(page).path()));
    QFile(page).open(QIODevice::WriteOnly);
    probe().helpContentClicked();
    QFile::remove(page);
    QDir().rmdir(QFileInfo(page).path());
    // The program's own help window shows it: nothing goes to the desktop.
    EXPECT_TRUE(files.urls.empty());
    ASSERT_NE(probe().helpWindow(), nullptr);
    EXPECT_TRUE(probe().helpWindow()->isVisible());
    EXPECT_EQ(probe().helpWindow()->browser()->source().toLocalFile(), page);
    probe().helpWindow()->close();
}

TEST(HelpPage, BesideTheProgramElseWhereItIsInstalledInTheProgramsLanguageFirst) {
    TempTree prefix;
    const std::string bin = prefix.makeDir("bin");
    const QString program = QString::fromStdString(bin);
    const QString beside = QString::fromStdString(prefix.path("bin/help/index.html"));
    EXPECT_EQ(ui::helpPageFile(program), beside);
    prefix.writeFile("share/corvane/help/index.html", "installed");
    EXPECT_EQ(ui::helpPageFile(program),
              QString::fromStdString(prefix.path("share/corvane/help/index.html")));
    prefix.writeFile("bin/help/index.html", "built");
    EXPECT_EQ(ui::helpPageFile(program), beside);

    // In German the German page, wherever it is; without one, the English page.
    EXPECT_EQ(ui::helpPageFile(program, "de"), beside);
    prefix.writeFile("share/corvane/help/index.de.html", "installed, German");
    EXPECT_EQ(ui::helpPageFile(program, "de"),
              QString::fromStdString(prefix.path("share/corvane/help/index.de.html")));
    prefix.writeFile("bin/help/index.de.html", "built, German");
    EXPECT_EQ(ui::helpPageFile(program, "de"), QString::fromStdString(prefix.path("bin/help/index.de.html")));
    EXPECT_EQ(ui::helpPageFile(program, "fr"), beside);
}

} // namespace
} // namespace corvane::testing

#include "about_window_test.moc"
