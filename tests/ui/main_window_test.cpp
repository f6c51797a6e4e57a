#include "window_fixture.h"

#include "stream/error.h"
#include "stream/text_form.h"
#include "stream/treader.h"
#include "support/temp_tree.h"
#include "ui/control_classes.h"
#include "ui/control_support.h"
#include "ui/list_controls_qt.h"
#include "ui/windows.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>

namespace corvane::testing {
namespace {

using Strings = std::vector<std::string>;

QString status(ui::Tfrm_utama& window) {
    return ui::statusText(window.StatusBar1);
}

// ------------------------------------------------------------------------------------------------
// The windows as their descriptions lay them out

TEST_F(WindowFixture, MainWindowHasTheControlsCaptionsAndHandlersOfItsDescription) {
    ui::Tfrm_utama& w = main();
    EXPECT_EQ(w.windowTitle(), "Corvane");
    EXPECT_EQ(w.Bit_Add->text(), "Add Path");
    EXPECT_TRUE(w.Bit_Add->isEnabled());
    EXPECT_EQ(w.Bit_edit->text(), "Edit Path");
    EXPECT_EQ(w.Bit_Del->text(), "Delete Path");
    EXPECT_EQ(w.Bit_Search->text(), "Start Search");
    for (QPushButton* b : {w.Bit_edit, w.Bit_Del, w.Bit_Search, w.bit_del_dup, w.bit_del_checked, w.Bit_open,
                           w.bit_explorer}) {
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
        EXPECT_FALSE(b->icon().isNull()) << b->objectName().toStdString();
    }
    EXPECT_EQ(ui::boundHandler(w.Bit_Search, "OnClick"), "Bit_SearchClick");
    EXPECT_EQ(ui::boundHandler(w.TreeView1, "OnKeyDown"), "TreeView1KeyDown");
    EXPECT_EQ(ui::boundHandler(w.Listview2, "OnCompare"), "Listview2Compare");
    EXPECT_EQ(w.PageControl1->tabText(0), "Duplicat Files");
    EXPECT_EQ(w.PageControl1->tabText(1), "Searched Files");
    EXPECT_EQ(w.PageControl1->currentIndex(), 0);
    EXPECT_EQ(w.GroupBox1->title(), "File Information");
    EXPECT_EQ(w.ListView1->listModel()->columns(), (QStringList{"Path", "File Type"}));
    EXPECT_EQ(w.Listview2->listModel()->columns(), (QStringList{"File Name", "Size", "Created Date"}));
    EXPECT_FALSE(w.Save1->isEnabled());
    EXPECT_TRUE(w.Open1->isEnabled());
    EXPECT_EQ(status(w), "");
    // The tree's check-state pictures come from the window's image list.
    EXPECT_EQ(qobject_cast<QObject*>(ui::qobjectOf(w.TreeView1->stateImages())),
              w.findComponent("ImageList1"));
    // Design bounds, and the list keeps its right margin when the window grows.
    EXPECT_EQ(w.ListView1->geometry(), QRect(8, 40, 393, 81));
    w.resize(w.width() + 100, w.height() + 50);
    QApplication::processEvents();
    EXPECT_EQ(w.ListView1->geometry(), QRect(8, 40, 493, 81));
}

TEST_F(WindowFixture, DialogsAreReadFromTheirDescriptions) {
    ASSERT_NE(ui::frm_add, nullptr);
    EXPECT_EQ(ui::frm_add->windowTitle(), "Add Search Path...");
    EXPECT_EQ(ui::frm_add->Edit2->text(), "*");
    EXPECT_EQ(ui::frm_add->btn_ok->text(), "OK");
    EXPECT_EQ(ui::boundHandler(ui::frm_add->Edit2, "OnChange"), "Edit2Change");
    EXPECT_EQ(ui::frm_delete->windowTitle(), "Delete Complete");
    EXPECT_NE(ui::frm_delete->Memo1, nullptr);
    EXPECT_NE(ui::frm_delete->ProgressBar1, nullptr);
    EXPECT_EQ(ui::frm_about->windowTitle(), "About");
    EXPECT_TRUE(ui::frm_about->Label6->isHidden());
    EXPECT_EQ(ui::boundHandler(ui::frm_about->Label6, "OnMouseEnter"), "Label6MouseEnter");
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
    ui::Tfrm_utama& w = main();

    // Ascending size, equal sizes in the order found (all were made today).
    EXPECT_EQ(searchedFiles(), (Strings{tree.path("one.txt"), tree.path("C.txt"), tree.path("b.txt"),
                                        tree.path("c2.txt"), tree.path("sub/a.txt"), tree.path("big.txt")}));
    // Groups in text order, linguistic: b before C.
    EXPECT_EQ(treeGroups(), (Strings{tree.path("b.txt") + "|" + tree.path("sub/a.txt"),
                                     tree.path("C.txt") + "|" + tree.path("c2.txt")}));
    EXPECT_EQ(status(w), "Duplicate files: 2, File Searched: 6");
    EXPECT_EQ(w.DuplicateCount, 2);
    EXPECT_TRUE(w.Save1->isEnabled());
    EXPECT_TRUE(w.Open1->isEnabled());
    EXPECT_TRUE(w.TreeView1->isEnabled());
    EXPECT_EQ(w.Listview2->sortType(), stream::stData);
    EXPECT_EQ(w.TreeView1->sortType(), stream::stText);
}

TEST_F(WindowFixture, SearchWithoutPathsEndsAtOnce) {
    main().Bit_Search->setEnabled(true);
    ASSERT_TRUE(runSearch());
    EXPECT_EQ(status(main()), "Duplicate files: 0, File Searched: 0");
    EXPECT_FALSE(main().Save1->isEnabled());
    EXPECT_TRUE(main().Open1->isEnabled());
    EXPECT_TRUE(searchedFiles().empty());
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
    main().Bit_Search->click();
    EXPECT_EQ(main().Bit_Search->text(), "Stop Search");
    ASSERT_TRUE(waitUntil([this] { return main().Listview2->listModel()->count() >= 20; }));
    main().Bit_Search->click();
    EXPECT_EQ(main().Bit_Search->text(), "Stoping ...");
    main().Bit_Search->click(); // ignored while stopping
    EXPECT_EQ(main().Bit_Search->text(), "Stoping ...");
    ASSERT_TRUE(waitUntil([this] { return idle(); }));
    const int rows = main().Listview2->listModel()->count();
    EXPECT_LT(rows, 3030);
    EXPECT_TRUE(treeGroups().empty());
    EXPECT_EQ(status(main()), QString("Duplicate files: 0, File Searched: %1").arg(rows));
    EXPECT_FALSE(main().Save1->isEnabled());
    EXPECT_TRUE(main().StopRequested);
}

// Runs `action` on the window's thread when the comparer reports position `position`, as a click
// taken from the event queue during that report would.
void atComparePosition(ui::Tfrm_utama& window, int32_t position, std::function<void()> action) {
    auto progress = window.FileCompare->OnCompareProgress;
    window.FileCompare->OnCompareProgress = [=](engine::TCompareThread* sender, int32_t at, int32_t count,
                                                int32_t found) {
        progress(sender, at, count, found);
        if (at == position) {
            action();
        }
    };
}

TEST_F(BusyWindow, StopDuringTheComparisonKeepsTheGroupsFound) {
    addSearchPath(tree_->root());
    atComparePosition(main(), 1000, [this] {
        EXPECT_TRUE(ui::statusText(main().StatusBar1).startsWith("Comparing file"));
        main().Bit_Search->click();
    });
    main().Bit_Search->click();
    ASSERT_TRUE(waitUntil([this] { return idle(); }));
    const Strings groups = treeGroups();
    EXPECT_FALSE(groups.empty());
    EXPECT_LT(groups.size(), 1500u);
    EXPECT_TRUE(
        std::is_sorted(groups.begin(), groups.end(), [this](const std::string& a, const std::string& b) {
            return ui::LocaleTexts().nodeTextCollator().compare(QString::fromStdString(a),
                                                                QString::fromStdString(b)) < 0;
        }));
    EXPECT_TRUE(status(main()).startsWith("Duplicate files: "));
    EXPECT_TRUE(main().Save1->isEnabled());
}

TEST_F(BusyWindow, ClosingInTheMiddleOfASearchNeitherHangsNorCrashes) {
    addSearchPath(tree_->root());
    main().Bit_Search->click();
    ASSERT_TRUE(waitUntil([this] { return main().Listview2->listModel()->count() >= 50; }));
    main().close();
    // TearDown waits for every worker to end.
}

TEST_F(BusyWindow, ClosingWhileComparingNeitherHangsNorCrashes) {
    addSearchPath(tree_->root());
    bool closed = false;
    atComparePosition(main(), 1000, [&] {
        main().close();
        closed = true;
    });
    main().Bit_Search->click();
    ASSERT_TRUE(waitUntil([&] { return closed; }));
    // TearDown waits for every worker to end.
}

} // namespace
} // namespace corvane::testing
