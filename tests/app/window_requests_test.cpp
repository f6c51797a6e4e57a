// A result set named on the command line, or handed over by a second start through the instance
// channel, opens in the main window as File > Open opens it: the same lists and tree, an error in
// the error box, and nothing while the window is busy.

#include "app/application_start.h"
#include "app/instance_channel.h"
#include "app/window_requests.h"
#include "message_recorder.h"
#include "support/program_run.h"
#include "support/temp_tree.h"
#include "ui/forms/list_controls_qt.h"
#include "window_fixture.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <future>
#include <string>

namespace corvane::testing {
namespace {

class WindowRequests : public WindowFixture {
protected:
    void SetUp() override {
        // The instance's lock and socket in a folder of the test's own.
        previousRuntime_ = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime_.root()));
        WindowFixture::SetUp();
    }
    void TearDown() override {
        WindowFixture::TearDown();
        qputenv("XDG_RUNTIME_DIR", previousRuntime_);
    }

    // A set saved by corvane-cli over a tree with one group: a.txt and b.txt.
    std::string savedSet(const std::string& name) {
        files_.writeFile("tree/a.txt", "same");
        files_.writeFile("tree/b.txt", "same");
        files_.writeFile("tree/c.txt", "else");
        const std::string set = files_.path(name);
        const ProgramRun run =
            runProgram(CORVANE_CLI_PATH, {"find", "-q", "--save", set, files_.path("tree")});
        EXPECT_EQ(run.status, 0) << run.err;
        return set;
    }

    std::string expectedGroup() { return files_.path("tree/a.txt") + "|" + files_.path("tree/b.txt"); }

    // Asks as a second start would, from a thread of its own, while this thread runs the window.
    app::InstanceAnswer askFromSecondStart(const std::optional<std::string>& file) {
        std::future<app::InstanceAnswer> answer = std::async(
            std::launch::async, [file] { return app::askRunningInstance("corvane", file, 30000); });
        EXPECT_TRUE(waitUntil([&answer] {
            return answer.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready;
        }));
        return answer.get();
    }

    app::InstanceListener listen() {
        return app::InstanceListener("corvane", [this](const app::InstanceRequest& request) {
            return app::answerSecondStart(main(), request);
        });
    }

    TempTree runtime_;
    TempTree files_;
    QByteArray previousRuntime_;
};

TEST_F(WindowRequests, ASetNamedAtTheStartOpensAsFileOpenOpensIt) {
    const std::string set = savedSet("start.CVN");
    app::openSoon(main(), set);
    ASSERT_TRUE(waitUntil([this] { return !treeGroups().empty(); }));
    EXPECT_EQ(treeGroups(), std::vector<std::string>{expectedGroup()});
    EXPECT_EQ(searchedFiles().size(), 3u);
    EXPECT_TRUE(probe().saveAction()->isEnabled())
        << "the buttons follow the opened set as after File > Open";
}

TEST_F(WindowRequests, ADamagedSetShowsTheErrorBoxOfFileOpen) {
    const std::string set = files_.writeFile("damaged.CVN", "TPF0 but nothing a list could be");
    MessageRecorder recorder;
    app::openSoon(main(), set);
    ASSERT_TRUE(waitUntil([&recorder] { return !recorder.messages.empty(); }));
    EXPECT_EQ(recorder.messages.front().icon, QMessageBox::Critical);
    EXPECT_TRUE(recorder.messages.front().text.contains(QString::fromStdString(set)))
        << recorder.messages.front().text.toStdString();
    EXPECT_TRUE(treeGroups().empty());
}

TEST_F(WindowRequests, ASecondStartHandsItsSetToTheRunningWindow) {
    const app::InstanceListener listener = listen();
    ASSERT_TRUE(listener.listening());
    // A name with a space, a newline and a byte that is no UTF-8 travels byte for byte.
    const std::string set = savedSet("with space\nand \xff.CVN");

    EXPECT_EQ(askFromSecondStart(set), app::InstanceAnswer::Shown);
    ASSERT_TRUE(waitUntil([this] { return !treeGroups().empty(); }));
    EXPECT_EQ(treeGroups(), std::vector<std::string>{expectedGroup()});
}

// A set handed over replaces what the window shows only once the user agrees; into an empty
// window it opens without a question.
TEST_F(WindowRequests, AHandedOverSetAsksBeforeItReplacesWhatTheWindowShows) {
    const app::InstanceListener listener = listen();
    const std::string set = savedSet("handed over.CVN");
    addSearchPath("/srv/shown", "*.jpg");

    QString question;
    QTimer answer;
    bool agree = false;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            question = box->windowTitle() + "|" + box->text();
            EXPECT_EQ(box->icon(), QMessageBox::Question);
            box->button(agree ? QMessageBox::Ok : QMessageBox::Cancel)->click();
        }
    });
    answer.start(1);

    EXPECT_EQ(askFromSecondStart(set), app::InstanceAnswer::Shown);
    ASSERT_TRUE(waitUntil([&] { return !question.isEmpty(); }));
    EXPECT_EQ(question, "Confirm|Open the result set \"" + QString::fromStdString(set) +
                            "\"?\nIts search paths, searched files and duplicate files take the place of "
                            "those shown now.");
    QApplication::processEvents();
    EXPECT_TRUE(treeGroups().empty()) << "Cancel keeps what was shown";
    ASSERT_EQ(probe().searchPathList()->listModel()->count(), 1);
    EXPECT_EQ(probe().searchPathList()->listModel()->row(0).caption(), "/srv/shown");

    question.clear();
    agree = true;
    EXPECT_EQ(askFromSecondStart(set), app::InstanceAnswer::Shown);
    ASSERT_TRUE(waitUntil([this] { return !treeGroups().empty(); }));
    EXPECT_FALSE(question.isEmpty());
    EXPECT_EQ(treeGroups(), std::vector<std::string>{expectedGroup()});

    // The set named on the program's own command line asks nothing.
    question.clear();
    app::openSoon(main(), set);
    ASSERT_TRUE(waitUntil([this] { return !treeGroups().empty(); }));
    QApplication::processEvents();
    EXPECT_TRUE(question.isEmpty());
}

// The windows' titles are their own: Qt adds the application's display name to every title
// ("Warning — Corvane") once one is set, so none is; the name still reads "Corvane".
TEST(ApplicationName, NoDisplayNameIsAddedToTheTitles) {
    const QString name = QCoreApplication::applicationName();
    app::nameApplication();
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "Corvane");
    // Unset, the display name follows the application's name: so the titles stay as they are.
    QCoreApplication::setApplicationName("renamed");
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "renamed");
    QCoreApplication::setApplicationName(name);
}

TEST(ApplicationName, WithoutADisplayQtIsNotAskedAndTheLineNamesTheProblem) {
    EXPECT_EQ(app::noWindowLine("", nullptr, nullptr, nullptr),
              "corvane: cannot show the window: no display (neither DISPLAY nor WAYLAND_DISPLAY is set)");
    EXPECT_EQ(app::noWindowLine("could not connect to display :99\n", ":99", nullptr, nullptr),
              "corvane: cannot show the window: could not connect to display :99");
    EXPECT_EQ(app::noWindowLine("", ":99", nullptr, "xcb"),
              "corvane: cannot show the window: the window system did not start (QT_QPA_PLATFORM=xcb, "
              "DISPLAY=:99)");
}

TEST_F(WindowRequests, ABusyWindowComesToTheFrontButOpensNothing) {
    MessageRecorder recorder; // agrees to replace what the window shows
    const app::InstanceListener listener = listen();
    const std::string set = savedSet("busy.CVN");

    // While a search runs, Open is off: so is opening from a second start.
    probe().openAction()->setEnabled(false);
    EXPECT_EQ(askFromSecondStart(set), app::InstanceAnswer::Busy);
    probe().openAction()->setEnabled(true);

    // A dialog of the window is open.
    QDialog dialog(&main());
    dialog.setModal(true);
    dialog.show();
    ASSERT_TRUE(waitUntil([] { return QApplication::activeModalWidget() != nullptr; }));
    EXPECT_EQ(askFromSecondStart(set), app::InstanceAnswer::Busy);
    dialog.close();
    QApplication::processEvents();
    EXPECT_TRUE(treeGroups().empty());

    // A set still opening: a second request waits its turn rather than reading inside the first.
    app::openSoon(main(), set);
    EXPECT_EQ(app::answerSecondStart(main(), {{}, set}), app::InstanceAnswer::Busy);
    ASSERT_TRUE(waitUntil([this] { return !treeGroups().empty(); }));
    EXPECT_EQ(askFromSecondStart(set), app::InstanceAnswer::Shown);
}

} // namespace
} // namespace corvane::testing
