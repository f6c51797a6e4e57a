#include "message_recorder.h"
#include "scoped_environment.h"
#include "window_fixture.h"

#include "stream/error.h"
#include "stream/stream_reader.h"
#include "stream/text_form.h"
#include "support/temp_tree.h"
#include "ui/forms/control_classes.h"
#include "ui/forms/control_support.h"
#include "ui/forms/list_controls_qt.h"
#include "ui/forms/window_texts.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>

namespace corvane::testing {
namespace {

using Strings = std::vector<std::string>;

QString status(const ui::MainWindowProbe& window) {
    return ui::statusText(window.statusBar());
}

// ------------------------------------------------------------------------------------------------
// The main window at start-up

TEST_F(WindowFixture, AtStartOnlyAddingAPathAndOpeningASetCanBeDone) {
    const ui::MainWindowProbe w = probe();
    EXPECT_TRUE(w.addPathButton()->isEnabled());
    for (QPushButton* b :
         {w.editPathButton(), w.deletePathButton(), w.searchButton(), w.deleteDuplicatesButton(),
          w.deleteCheckedButton(), w.openFileButton(), w.openFolderButton()}) {
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
        EXPECT_FALSE(b->icon().isNull()) << b->objectName().toStdString();
    }
    EXPECT_FALSE(w.saveAction()->isEnabled());
    EXPECT_TRUE(w.openAction()->isEnabled());
    EXPECT_EQ(w.pages()->currentIndex(), 0);
    EXPECT_EQ(status(w), "");
    // The tree's check-state pictures come from the window's image list.
    EXPECT_EQ(qobject_cast<QObject*>(ui::qobjectOf(w.duplicateTree()->stateImages())),
              main().findComponent("ImageList1"));
    // Nothing handles the searched files' compare event, but the stored name stays bound.
    EXPECT_EQ(ui::boundHandler(w.searchedFilesList(), "OnCompare"), "Listview2Compare");
}

TEST_F(WindowFixture, AListAnchoredAtBothSidesGrowsWithTheWindow) {
    ui::MainWindow& w = main();
    const QRect before = probe().searchPathList()->geometry();
    w.resize(w.width() + 100, w.height() + 50);
    QApplication::processEvents();
    EXPECT_EQ(probe().searchPathList()->geometry(), before.adjusted(0, 0, 100, 0));
}

// A window of its own for description errors.
class ProbeForm final : public QWidget, public ui::Form {
public:
    ProbeForm() {
        addHandler("Known", [](const ui::EventArgs&) {});
        class_ = ui::makeFormClass("TProbe", handlerNames());
    }
    QWidget* formWidget() override { return this; }
    QWidget* clientArea() override { return this; }
    const stream::ClassInfo& formClass() const override { return *class_; }

private:
    std::unique_ptr<stream::ClassInfo> class_;
};

TEST(WindowDescription, UnknownClassesAndHandlersFailWithTheirMessages) {
    ProbeForm form;
    const auto load = [&form](const char* text) {
        try {
            form.loadDescription(stream::textToStream(text));
            return std::string();
        } catch (const Error& error) {
            return std::string(error.what());
        }
    };
    EXPECT_EQ(load("object p: TProbe\n  object a: TFoo\n  end\nend\n"), "Class TFoo not found");
    EXPECT_NE(
        load("object p: TProbe\n  object b: TButton\n    OnClick = Unknown\n  end\nend\n").find("Invalid"),
        std::string::npos);
    EXPECT_EQ(load("object p: TProbe\n  object c: TButton\n    OnClick = Known\n  end\nend\n"), "");
}

// ------------------------------------------------------------------------------------------------
// A search over a real tree

TEST_F(WindowFixture, SearchFillsTheListOrdersItComparesAndEndsIdle) {
    TempTree tree;
    tree.writeFile("b.txt", "same!");
    tree.writeFile("sub/a.txt", "same!");
    tree.writeFile("big.txt", "different text");
    tree.writeFile("C.txt", "other");
    tree.writeFile("c2.txt", "other");
    tree.writeFile("one.txt", "x");
    addSearchPath(tree.root(), "*.txt");
    ASSERT_TRUE(runSearch());
    const ui::MainWindowProbe w = probe();

    // Ascending size, equal sizes in the order found (all were made today).
    EXPECT_EQ(searchedFiles(), (Strings{tree.path("one.txt"), tree.path("C.txt"), tree.path("b.txt"),
                                        tree.path("c2.txt"), tree.path("sub/a.txt"), tree.path("big.txt")}));
    // Groups in text order, linguistic: b before C.
    EXPECT_EQ(treeGroups(), (Strings{tree.path("b.txt") + "|" + tree.path("sub/a.txt"),
                                     tree.path("C.txt") + "|" + tree.path("c2.txt")}));
    EXPECT_EQ(status(w), "Duplicate files: 2, File Searched: 6");
    EXPECT_EQ(w.duplicateCount(), 2);
    EXPECT_TRUE(w.saveAction()->isEnabled());
    EXPECT_TRUE(w.openAction()->isEnabled());
    EXPECT_TRUE(w.duplicateTree()->isEnabled());
    EXPECT_EQ(w.searchedFilesList()->sortType(), stream::stData);
    EXPECT_EQ(w.duplicateTree()->sortType(), stream::stText);
}

TEST_F(WindowFixture, ATrashInTheSearchedFolderIsPassedOverAndTheStatusSaysSo) {
    TempTree tree;
    ScopedEnvironment environment;
    environment.set("XDG_DATA_HOME", QByteArray::fromStdString(tree.path("share")));
    environment.set("XDG_STATE_HOME", QByteArray::fromStdString(tree.path("state")));
    tree.writeFile("a.txt", "same!");
    // The copy in the trash was thrown away already: it is no copy that stays for a.txt.
    tree.writeFile("share/Trash/files/a.txt", "same!");
    tree.writeFile("share/Trash/info/a.txt.trashinfo", "[Trash Info]\n");
    addSearchPath(tree.root(), "*.txt");
    ASSERT_TRUE(runSearch());
    EXPECT_EQ(searchedFiles(), (Strings{tree.path("a.txt")}));
    EXPECT_TRUE(treeGroups().empty());
    EXPECT_EQ(status(probe()), "Duplicate files: 0, File Searched: 1 (trash folders passed over: 1)");
}

TEST_F(WindowFixture, SearchWithoutPathsEndsAtOnce) {
    probe().searchButton()->setEnabled(true);
    ASSERT_TRUE(runSearch());
    EXPECT_EQ(status(probe()), "Duplicate files: 0, File Searched: 0");
    EXPECT_FALSE(probe().saveAction()->isEnabled());
    EXPECT_TRUE(probe().openAction()->isEnabled());
    EXPECT_TRUE(searchedFiles().empty());
}

// A run that fails ends in the error box, with the window idle and what was found before kept.
TEST_F(WindowFixture, HandlerFailureEndsTheScanInTheErrorBox) {
    TempTree tree;
    for (int i = 0; i < 5; ++i) {
        tree.writeFile("f" + std::to_string(i) + ".txt", "same");
    }
    addSearchPath(tree.root(), "*.txt");
    const ui::MainWindowProbe w = probe();
    const auto fileFound = w.scanner()->onFileFound;
    w.scanner()->onFileFound = [fileFound](const engine::FoundFile& file) {
        if (file.fileCount == 3) {
            throw Error("The list cannot take another row");
        }
        fileFound(file);
    };
    MessageRecorder recorder;
    ASSERT_TRUE(runSearch());

    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, "The list cannot take another row.");
    EXPECT_EQ(recorder.messages[0].icon, QMessageBox::Critical);
    EXPECT_EQ(recorder.messages[0].title, QApplication::applicationDisplayName());
    // The two rows reported before stay; the comparison never started.
    EXPECT_EQ(searchedFiles().size(), 2u);
    EXPECT_TRUE(treeGroups().empty());
    EXPECT_FALSE(w.comparer()->busy);
    EXPECT_EQ(status(w).toStdString(), "Duplicate files: 0, File Searched: 2");
    EXPECT_TRUE(w.duplicateTree()->isEnabled());
    EXPECT_TRUE(w.openAction()->isEnabled());
    EXPECT_FALSE(w.saveAction()->isEnabled());
}

TEST_F(WindowFixture, ComparisonThatRunsOutOfMemoryEndsInTheErrorBox) {
    TempTree tree;
    tree.writeFile("a.txt", "1");
    tree.writeFile("b.txt", "1");
    addSearchPath(tree.root(), "*.txt");
    const ui::MainWindowProbe w = probe();
    w.comparer()->memoryBudget = 1; // comparing two bytes needs room for two
    MessageRecorder recorder;
    ASSERT_TRUE(runSearch());

    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, "Out of memory.");
    EXPECT_EQ(recorder.messages[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(treeGroups().empty());
    EXPECT_EQ(searchedFiles().size(), 2u);
    EXPECT_TRUE(w.duplicateTree()->isEnabled());
    EXPECT_TRUE(w.openAction()->isEnabled());

    // The next search runs as usual.
    w.comparer()->memoryBudget = engine::ContentClasses::kMemoryBudget;
    ASSERT_TRUE(runSearch());
    EXPECT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(treeGroups(), (Strings{tree.path("a.txt") + "|" + tree.path("b.txt")}));
}

class BusyWindow : public WindowFixture {
protected:
    static void SetUpTestSuite() {
        tree_ = new TempTree;
        for (int i = 0; i < 3000; ++i) {
            tree_->writeFile("d" + std::to_string(i % 30) + "/f" + std::to_string(i) + ".txt",
                             "content " + std::to_string(i % 1500));
        }
    }
    static void TearDownTestSuite() {
        delete tree_;
        tree_ = nullptr;
    }
    static TempTree* tree_;
};
TempTree* BusyWindow::tree_ = nullptr;

TEST_F(BusyWindow, StopDuringTheScanKeepsTheRowsFound) {
    addSearchPath(tree_->root());
    // The clicks come during the twentieth report, as clicks taken from the event queue then
    // would: a scan of a warm tree may be over before the test's own loop looks again.
    const auto fileFound = probe().scanner()->onFileFound;
    probe().scanner()->onFileFound = [this, fileFound](const engine::FoundFile& file) {
        fileFound(file);
        if (file.fileCount == 20) {
            probe().searchButton()->click();
            EXPECT_EQ(ui::captionOf(probe().searchButton()), "Stoping ...");
            probe().searchButton()->click(); // ignored while stopping
            EXPECT_EQ(ui::captionOf(probe().searchButton()), "Stoping ...");
        }
    };
    probe().searchButton()->click();
    EXPECT_EQ(ui::captionOf(probe().searchButton()), "Stop Search");
    ASSERT_TRUE(waitUntil([this] { return idle(); }));
    const int rows = probe().searchedFilesList()->listModel()->count();
    EXPECT_LT(rows, 3030);
    EXPECT_TRUE(treeGroups().empty());
    EXPECT_EQ(status(probe()), QString("Duplicate files: 0, File Searched: %1").arg(rows));
    EXPECT_FALSE(probe().saveAction()->isEnabled());
    EXPECT_TRUE(probe().stopRequested());
}

// Runs `action` on the window's thread when the comparer reports position `position`, as a click
// taken from the event queue during that report would.
void atComparePosition(const ui::MainWindowProbe& window, int32_t position, std::function<void()> action) {
    auto progress = window.comparer()->onCompareProgress;
    window.comparer()->onCompareProgress = [=](int32_t at, int32_t count, int32_t found) {
        progress(at, count, found);
        if (at == position) {
            action();
        }
    };
}

TEST_F(BusyWindow, StopDuringTheComparisonKeepsTheGroupsFound) {
    addSearchPath(tree_->root());
    atComparePosition(probe(), 1000, [this] {
        // The window's line, not the bar, which shows it at most every few dozen milliseconds: a
        // busy machine may bring a thousand positions within one of those.
        EXPECT_TRUE(probe().statusLine().startsWith("Comparing file"));
        probe().searchButton()->click();
    });
    probe().searchButton()->click();
    ASSERT_TRUE(waitUntil([this] { return idle(); }));
    const Strings groups = treeGroups();
    EXPECT_FALSE(groups.empty());
    EXPECT_LT(groups.size(), 1500u);
    EXPECT_TRUE(std::is_sorted(groups.begin(), groups.end(), [](const std::string& a, const std::string& b) {
        return qtcore::LocaleTexts().nodeTextCollator().compare(QString::fromStdString(a),
                                                                QString::fromStdString(b)) < 0;
    }));
    EXPECT_TRUE(status(probe()).startsWith("Duplicate files: "));
    EXPECT_TRUE(probe().saveAction()->isEnabled());
}

TEST_F(BusyWindow, ClosingInTheMiddleOfASearchNeitherHangsNorCrashes) {
    addSearchPath(tree_->root());
    probe().searchButton()->click();
    ASSERT_TRUE(waitUntil([this] { return probe().searchedFilesList()->listModel()->count() >= 50; }));
    main().close();
    // TearDown waits for every worker to end.
}

TEST_F(BusyWindow, ClosingWhileComparingNeitherHangsNorCrashes) {
    addSearchPath(tree_->root());
    bool closed = false;
    atComparePosition(probe(), 1000, [&] {
        main().close();
        closed = true;
    });
    probe().searchButton()->click();
    ASSERT_TRUE(waitUntil([&] { return closed; }));
    // TearDown waits for every worker to end.
}

} // namespace
} // namespace corvane::testing
