// Search > Search Options: the dialog that sets the filters of the next searches, and searches
// made with them, checked against corvane-cli find with the same options on the same tree.

#include "message_recorder.h"
#include "window_fixture.h"

#include "stream/byte_streams.h"
#include "stream/result_set.h"
#include "stream/text_form.h"
#include "support/program_run.h"
#include "support/temp_tree.h"
#include "support/tmpfs_mount.h"
#include "ui/desktop/result_files.h"
#include "ui/forms/control_support.h"
#include "ui/forms/list_controls_qt.h"
#include "ui/windows/search_options_dialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <unistd.h>

namespace corvane::testing {
namespace {

// What the dialog's fields are given, and the same as corvane-cli's options.
struct Options {
    std::string minimum;
    std::string maximum;
    std::vector<std::string> excludes;
    bool skipHardLinks = false;
    bool oneFileSystem = false;

    std::vector<std::string> cliArguments() const {
        std::vector<std::string> args;
        if (!minimum.empty()) {
            args.insert(args.end(), {"--min-size", minimum});
        }
        if (!maximum.empty()) {
            args.insert(args.end(), {"--max-size", maximum});
        }
        for (const std::string& pattern : excludes) {
            args.insert(args.end(), {"--exclude", pattern});
        }
        if (skipHardLinks) {
            args.emplace_back("--skip-hard-links");
        }
        if (oneFileSystem) {
            args.emplace_back("-x");
        }
        return args;
    }
    QString excludeText() const {
        QString text;
        for (const std::string& pattern : excludes) {
            text += QString::fromStdString(pattern) + QStringLiteral(" ; ");
        }
        return text;
    }
};

Options sizes(std::string minimum, std::string maximum = {}) {
    Options options;
    options.minimum = std::move(minimum);
    options.maximum = std::move(maximum);
    return options;
}

Options excluding(std::vector<std::string> patterns) {
    Options options;
    options.excludes = std::move(patterns);
    return options;
}

class SearchOptionsWindow : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        previous_ = ui::setResultFileChooser(
            [this](QWidget*, ui::ResultFileDialog, const ui::FileDialogSettings&) { return answer_; });
    }
    void TearDown() override {
        ui::setResultFileChooser(previous_);
        WindowFixture::TearDown();
    }

    ui::SearchOptionsDialog& dialog() { return *probe().searchOptionsDialog(); }

    // Fills the dialog's fields as a user would type them.
    void fill(const Options& options) {
        ui::SearchOptionsDialog& d = dialog();
        d.minimumField_->setText(QString::fromStdString(options.minimum));
        d.maximumField_->setText(QString::fromStdString(options.maximum));
        d.excludeField_->setText(options.excludeText());
        d.skipHardLinksBox_->setChecked(options.skipHardLinks);
        d.oneFileSystemBox_->setChecked(options.oneFileSystem);
    }

    // Search > Search Options..., the fields filled, Enter. True when the dialog took them and
    // closed; a dialog that stays open is cancelled.
    bool chooseOptions(const Options& options) {
        bool closed = false;
        QTimer::singleShot(0, &main(), [&] {
            fill(options);
            QTest::keyClick(dialog().minimumField_, Qt::Key_Return);
            closed = !dialog().isVisible();
            if (!closed) {
                dialog().reject();
            }
        });
        probe().searchOptionsAction()->trigger();
        return closed;
    }

    std::string save() {
        const std::string name = sets_.path("window" + std::to_string(++saves_) + ".CVN");
        answer_ = QString::fromStdString(name);
        probe().saveClicked();
        return name;
    }

    QString status() { return ui::statusText(probe().statusBar()); }

    // Searches `tree_` in the window with `options` and with corvane-cli find: both save their
    // sets, which must hold the same bytes, and the window's status starts with the command
    // line's totals. Returns the window's groups.
    std::vector<std::string> searchBothWays(const Options& options) {
        EXPECT_TRUE(chooseOptions(options));
        if (probe().searchPathList()->listModel()->count() == 0) {
            addSearchPath(tree_.root());
        }
        EXPECT_TRUE(runSearch());
        const bool groupsFound = !treeGroups().empty();
        const std::string window = groupsFound ? save() : std::string();
        const std::string cli = sets_.path("cli" + std::to_string(++saves_) + ".CVN");
        std::vector<std::string> args{"find", "--quiet", "--save", cli};
        const std::vector<std::string> filters = options.cliArguments();
        args.insert(args.end(), filters.begin(), filters.end());
        args.push_back(tree_.root());
        const ProgramRun run = runProgram(CORVANE_CLI_PATH, args);
        EXPECT_EQ(run.status, 0) << run.err;
        if (!groupsFound) {
            EXPECT_EQ(run.out, "") << "the command line found groups the window did not";
        } else {
            const auto windowFiles = stream::resultSetFiles(window);
            const auto cliFiles = stream::resultSetFiles(cli);
            for (size_t i = 0; i < windowFiles.size(); ++i) {
                EXPECT_EQ(stream::streamToText(stream::readWholeFile(cliFiles[i])),
                          stream::streamToText(stream::readWholeFile(windowFiles[i])));
                EXPECT_EQ(stream::readWholeFile(cliFiles[i]), stream::readWholeFile(windowFiles[i]))
                    << windowFiles[i];
            }
        }
        const std::string totals = run.err.substr(0, run.err.find('\n'));
        EXPECT_TRUE(status().startsWith(QString::fromStdString(totals)))
            << status().toStdString() << " / " << totals;
        return treeGroups();
    }

    TempTree tree_; // searched
    TempTree sets_; // where the sets go
    QString answer_;
    int saves_ = 0;

private:
    ui::ResultFileChooser previous_;
};

// A tree with duplicates at and around the size limits, in folders and files to leave out, and
// as names of one file.
void writeSampleTree(const TempTree& tree) {
    for (const size_t size : {1023, 1024, 1500, 2048, 2049}) {
        tree.writeFile("sizes/a" + std::to_string(size), std::string(size, 'x'));
        tree.writeFile("sizes/b" + std::to_string(size), std::string(size, 'x'));
    }
    tree.writeFile("proj/main.c", "code");
    tree.writeFile("proj/.git/objects/ab", "code");
    tree.writeFile("proj/cache/main.c", "code");
    tree.writeFile("proj/notes.TMP", "code");
    tree.writeFile("links/original", "linked contents");
    tree.writeFile("links/copy", "linked contents");
    ASSERT_EQ(::link(tree.path("links/original").c_str(), tree.path("links/second").c_str()), 0);
    ASSERT_EQ(::link(tree.path("links/copy").c_str(), tree.path("links/third").c_str()), 0);
    tree.writeFile("alone/one", "only names of one file");
    ASSERT_EQ(::link(tree.path("alone/one").c_str(), tree.path("alone/two").c_str()), 0);
}

TEST_F(SearchOptionsWindow, AFilteredSearchFindsWhatTheCommandLineFindsWithTheSameOptions) {
    writeSampleTree(tree_);
    const std::vector<std::string> plain = searchBothWays({});
    EXPECT_FALSE(status().contains(QStringLiteral("search options"))) << status().toStdString();

    const std::vector<std::string> sized = searchBothWays(sizes("1K", "2k"));
    EXPECT_LT(sized.size(), plain.size());
    // The note counts the rows listed but outside the limits: files and folders alike.
    const ui::SearchedFilesModel* rows = probe().searchedFilesList()->listModel();
    int outside = 0;
    for (int i = 0; i < rows->count(); ++i) {
        outside += rows->sizeOf(i) < 1024 || rows->sizeOf(i) > 2048 ? 1 : 0;
    }
    EXPECT_GE(outside, 4); // a1023, b1023, a2049, b2049 at least
    EXPECT_TRUE(status().contains(QStringLiteral("%1 file(s) outside the size limits").arg(outside)))
        << status().toStdString();

    const std::vector<std::string> excluded = searchBothWays(excluding({"*/.git", "*/cache/*", "*.tmp"}));
    EXPECT_NE(excluded, plain);
    EXPECT_TRUE(status().contains(QStringLiteral("search options in effect"))) << status().toStdString();

    Options hardLinksOnce;
    hardLinksOnce.skipHardLinks = true;
    const std::vector<std::string> once = searchBothWays(hardLinksOnce);
    EXPECT_LT(once.size(), plain.size());
    // Three further names: links/second, links/third, alone/two.
    EXPECT_TRUE(status().contains(QStringLiteral("3 further name(s)"))) << status().toStdString();

    Options all = sizes("1", "1500");
    all.excludes = {"*/proj/*"};
    all.skipHardLinks = true;
    searchBothWays(all);
    // Every file below the minimum: nothing to compare.
    searchBothWays(sizes("1M"));

    // The options last until changed: Reset and OK make the search plain again.
    QTimer::singleShot(0, &main(), [&] {
        QTest::mouseClick(dialog().resetButton_, Qt::LeftButton);
        QTest::mouseClick(dialog().okButton_, Qt::LeftButton);
    });
    probe().searchOptionsAction()->trigger();
    EXPECT_FALSE(dialog().filters().any());
    ASSERT_TRUE(runSearch());
    EXPECT_EQ(treeGroups(), plain);
}

TEST_F(SearchOptionsWindow, StayingOnOneFileSystemIsTheCommandLinesDashX) {
    tree_.writeFile("here/a", "same");
    const TmpfsMount mount(tree_.makeDir("here/mnt"));
    if (!mount.mounted()) {
        GTEST_SKIP() << mount.why();
    }
    tree_.writeFile("here/mnt/b", "same");
    tree_.writeFile("here/mnt/sub/c", "same");
    tree_.writeFile("here/z", "same");
    const std::vector<std::string> everywhere = searchBothWays({});
    Options oneFileSystem;
    oneFileSystem.oneFileSystem = true;
    const std::vector<std::string> one = searchBothWays(oneFileSystem);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_LT(one.front().size(), everywhere.front().size());
}

TEST_F(SearchOptionsWindow, TheDialogTakesOnlyFieldsThatHoldWhatTheyShould) {
    writeSampleTree(tree_);
    ui::SearchOptionsDialog& d = dialog();
    struct Refused {
        Options options;
        QLineEdit* field; // gets the focus
        const char* says;
    };
    const Refused refused[] = {
        {sizes("lots"), d.minimumField_, "The minimum size \"lots\" is not a size"},
        {sizes("1K", "1.5M"), d.maximumField_, "The maximum size \"1.5M\" is not a size"},
        {sizes("2K", "1K"), d.minimumField_, "The minimum size is larger than the maximum size"},
        {excluding({"*/.git", "node_modules"}), d.excludeField_,
         "The pattern \"node_modules\" can never match"},
        {sizes("99999999999999999999"), d.minimumField_, "is not a size"},
    };
    for (const Refused& wrong : refused) {
        MessageRecorder recorder;
        d.show();
        fill(wrong.options);
        QTest::keyClick(d.maximumField_, Qt::Key_Return);
        ASSERT_EQ(recorder.messages.size(), 1u) << wrong.says;
        EXPECT_EQ(recorder.messages[0].icon, QMessageBox::Critical);
        EXPECT_TRUE(recorder.messages[0].text.contains(QString::fromUtf8(wrong.says)))
            << recorder.messages[0].text.toStdString();
        EXPECT_TRUE(d.isVisible()) << "the dialog stays open: " << wrong.says;
        EXPECT_EQ(d.focusWidget(), wrong.field) << wrong.says;
        EXPECT_FALSE(d.filters().any()) << "nothing was taken: " << wrong.says;
        d.reject();
    }

    // Cancel, and Esc, leave the options and the fields as OK took them last.
    Options kept = sizes(" 1k ");
    kept.excludes = {"*/.git"};
    kept.skipHardLinks = true;
    ASSERT_TRUE(chooseOptions(kept));
    EXPECT_EQ(d.filters().minSize, 1024);
    EXPECT_EQ(d.filters().excludes, std::vector<std::string>{"*/.git"});
    const engine::SearchFilters taken = d.filters();
    d.show();
    Options changed = sizes("5", "6");
    changed.oneFileSystem = true;
    fill(changed);
    QTest::keyClick(d.minimumField_, Qt::Key_Escape);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.filters(), taken);
    EXPECT_EQ(d.minimumField_->text(), QStringLiteral(" 1k "));
    EXPECT_TRUE(d.skipHardLinksBox_->isChecked());
    EXPECT_FALSE(d.oneFileSystemBox_->isChecked());
}

} // namespace
} // namespace corvane::testing
