// File > Save and File > Open of the main window, through its real controls.

#include "message_recorder.h"
#include "window_fixture.h"

#include "qtcore/saved_result_file.h"
#include "stream/byte_helpers.h"
#include "stream/byte_streams.h"
#include "stream/class_builder.h"
#include "stream/error.h"
#include "stream/result_set.h"
#include "stream/stream_writer.h"
#include "stream/text_form.h"
#include "support/program_run.h"
#include "support/small_disk.h"
#include "support/temp_tree.h"
#include "support/unwritable_file.h"
#include "ui/desktop/result_files.h"
#include "ui/forms/control_classes.h"
#include "ui/forms/control_support.h"
#include "ui/forms/list_controls_qt.h"
#include "ui/forms/property_values.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

namespace corvane::testing {
namespace {

using Strings = std::vector<std::string>;

// What Save keeps and Open brings back.
struct WindowLists {
    std::vector<stream::ListRow> paths;
    std::vector<stream::ListRow> files;
    std::vector<stream::TreeNode> nodes;
    friend bool operator==(const WindowLists&, const WindowLists&) = default;
};

Bytes fileBytes(const std::string& path) {
    return stream::readWholeFile(path);
}

// The bytes of the three files of the set NAME.
std::vector<Bytes> setBytes(const std::string& name) {
    std::vector<Bytes> files;
    for (const std::string& file : stream::resultSetFiles(name)) {
        files.push_back(std::filesystem::exists(file) ? fileBytes(file) : Bytes{});
    }
    return files;
}

bool endsWith(const Bytes& bytes, const Bytes& tail) {
    return bytes.size() >= tail.size() && std::equal(tail.begin(), tail.end(), bytes.end() - tail.size());
}

Strings filesIn(const std::string& folder) {
    Strings names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class ResultFiles : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        previous_ = ui::setResultFileChooser(
            [this](QWidget*, ui::ResultFileDialog dialog, const ui::FileDialogSettings& settings) {
                asked_.push_back({dialog, settings});
                return answer_;
            });
    }
    void TearDown() override {
        ui::setResultFileChooser(previous_);
        WindowFixture::TearDown();
    }

    // Runs a handler as the menu would, but hands an error back instead of showing it in a box.
    std::string run(void (ui::MainWindowProbe::*handler)() const, const std::string& name) {
        answer_ = QString::fromStdString(name);
        try {
            (probe().*handler)();
            return {};
        } catch (const Error& error) {
            return error.what();
        }
    }
    std::string save(const std::string& name) { return run(&ui::MainWindowProbe::saveClicked, name); }
    std::string open(const std::string& name) { return run(&ui::MainWindowProbe::openClicked, name); }

    WindowLists lists() {
        return {probe().searchPathList()->rows(), probe().searchedFilesList()->rows(),
                probe().duplicateTree()->nodes()};
    }

    // The window as it starts, without search paths, files or groups.
    void emptyWindow() {
        const ui::MainWindowProbe w = probe();
        w.searchPathList()->listModel()->clear();
        w.searchedFilesList()->listModel()->clear();
        w.duplicateTree()->treeModel()->clear();
        w.duplicateCount() = 0;
        for (QPushButton* button : {w.deletePathButton(), w.searchButton(), w.editPathButton()}) {
            button->setEnabled(false);
        }
        w.saveAction()->setEnabled(false);
        ui::setStatusText(w.statusBar(), QString());
    }

    QString status() { return ui::statusText(probe().statusBar()); }

    // A folder with one group of three identical files and one file of its own; searched.
    void searchSampleTree() {
        tree_.writeFile("x.txt", "same");
        tree_.writeFile("sub/y.txt", "same");
        tree_.writeFile("z.txt", "same");
        tree_.writeFile("u.txt", "other text");
        addSearchPath(tree_.root(), "*.txt");
        ASSERT_TRUE(runSearch());
        ASSERT_EQ(treeGroups().size(), 1u);
    }

    // Checks the first duplicate of the first group.
    void checkFirstDuplicate() {
        ui::DuplicateTreeModel* tree = probe().duplicateTree()->treeModel();
        tree->setStateIndex(tree->index(0, 0, tree->index(0, 0)), ui::kStateChecked);
    }

    struct Asked {
        ui::ResultFileDialog dialog;
        ui::FileDialogSettings settings;
    };
    std::vector<Asked> asked_;
    QString answer_;
    TempTree tree_; // searched
    TempTree sets_; // where the sets go

private:
    ui::ResultFileChooser previous_;
};

// ------------------------------------------------------------------------------------------------
// Save and Open

TEST_F(ResultFiles, OpenBringsBackWhatSaveKeptWithCheckStatesCountAndButtons) {
    searchSampleTree();
    checkFirstDuplicate();
    EXPECT_EQ(status(), "Duplicate files: 2, File Searched: 4");
    const WindowLists saved = lists();
    const std::string name = sets_.path("r.CVN");
    const QString statusBefore = status();

    ASSERT_EQ(save(name), "");
    EXPECT_EQ(filesIn(sets_.root()), (Strings{"r.CVN", "r.CVN.~DF~", "r.CVN.~SR~"}));
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].dialog, ui::ResultFileDialog::Save);
    EXPECT_EQ(asked_[0].settings.defaultExt, "CVN");
    EXPECT_EQ(asked_[0].settings.filter, "Corvane Files (*.CVN)|*.CVN");
    EXPECT_EQ(status(), statusBefore); // Save changes nothing in the window

    emptyWindow();
    ASSERT_EQ(open(name), "");
    EXPECT_EQ(asked_.back().dialog, ui::ResultFileDialog::Open);
    EXPECT_EQ(asked_.back().settings.defaultExt, "CVN");
    EXPECT_EQ(lists(), saved);
    EXPECT_EQ(lists().nodes[1].stateIndex, ui::kStateChecked);
    EXPECT_EQ(lists().nodes[2].stateIndex, ui::kStateUnchecked);
    // One group of two duplicates: the count it had after the search.
    EXPECT_EQ(probe().duplicateCount(), 2);
    EXPECT_EQ(probe().countDuplicateNodes(), 2);
    EXPECT_EQ(status(), "Duplicate files: 2, File Searched: 4");
    for (QPushButton* button :
         {probe().deletePathButton(), probe().searchButton(), probe().editPathButton()}) {
        EXPECT_TRUE(button->isEnabled()) << button->objectName().toStdString();
    }
    EXPECT_TRUE(probe().saveAction()->isEnabled());
    EXPECT_EQ(probe().searchedFilesList()->sortType(), stream::stData);
    EXPECT_EQ(probe().duplicateTree()->sortType(), stream::stText);
    EXPECT_EQ(ui::boundHandler(main().findComponent("Save1"), "OnClick"), "Save1Click");
    EXPECT_EQ(ui::boundHandler(main().findComponent("Open1"), "OnClick"), "Open1Click");
}

// The tree's order is its sort kind's, whatever order the file holds its nodes in.
TEST_F(ResultFiles, OpenPlacesNodesInTextOrderAndReSortsTheSearchedFiles) {
    stream::MainWindowLists plain;
    plain.searchPaths.setRows({{.caption = "/d", .subItems = {{.text = "*.*"}}}});
    plain.searchedFiles.setRows({{.caption = "/d/big", .subItems = {{.text = "300"}, {.text = "x"}}},
                                 {.caption = "/d/small", .subItems = {{.text = "20"}, {.text = "x"}}}});
    plain.searchedFiles.setSortType(stream::stData);
    plain.duplicates.setSortType(stream::stText);
    plain.duplicates.setNodes({{.text = "/d/c", .hasChildren = true},
                               {.text = "/d/y", .level = 1},
                               {.text = "/d/x", .level = 1},
                               {.text = "/d/B", .hasChildren = true},
                               {.text = "/d/e", .level = 1}});
    const std::string name = sets_.path("plain.CVN");
    stream::writeResultSet(name, plain.set(), qtcore::createResultFile);

    probe().searchedFilesList()->setSortType(stream::stNone);
    ASSERT_EQ(open(name), "");
    EXPECT_EQ(searchedFiles(), (Strings{"/d/small", "/d/big"}));
    EXPECT_EQ(treeGroups(), (Strings{"/d/B|/d/e", "/d/c|/d/x|/d/y"}));
    EXPECT_EQ(probe().duplicateCount(), 3);
}

TEST_F(ResultFiles, CancelledDialogsWriteNothingButOpenStillEnablesAndRewritesTheStatus) {
    addSearchPath("/somewhere", "*.*");
    probe().deletePathButton()->setEnabled(false);
    probe().editPathButton()->setEnabled(false);
    probe().searchButton()->setEnabled(false);
    probe().duplicateCount() = 5;

    answer_.clear();
    probe().saveAction()->setEnabled(true);
    probe().saveAction()->trigger();
    EXPECT_TRUE(filesIn(sets_.root()).empty());
    EXPECT_EQ(status(), "");

    probe().saveAction()->setEnabled(false);
    probe().openAction()->trigger();
    for (QPushButton* button :
         {probe().deletePathButton(), probe().searchButton(), probe().editPathButton()}) {
        EXPECT_TRUE(button->isEnabled()) << button->objectName().toStdString();
    }
    EXPECT_TRUE(probe().saveAction()->isEnabled());
    EXPECT_EQ(status(), "Duplicate files: 5, File Searched: 0");
    EXPECT_EQ(probe().duplicateCount(), 5);
}

TEST_F(ResultFiles, OpenOfASetWithoutItsTreeFileLoadsTheListsAndStopsAtTheOpenError) {
    searchSampleTree();
    const WindowLists saved = lists();
    const std::string name = sets_.path("r.CVN");
    ASSERT_EQ(save(name), "");
    std::filesystem::remove(name + ".~DF~");

    emptyWindow();
    probe().duplicateCount() = 9;
    const std::string error = open(name);
    // The system's message, as it is: no words of ours around it.
    EXPECT_EQ(error, "Cannot open file \"" + name + ".~DF~\". No such file or directory");
    EXPECT_EQ(lists().paths, saved.paths);
    EXPECT_EQ(lists().files, saved.files);
    EXPECT_TRUE(lists().nodes.empty());
    // Open ends at the error: the status still says it is loading, and neither the buttons nor
    // the duplicate count follow what was read.
    EXPECT_EQ(status(), "Loading Files, Please Wait ...");
    EXPECT_EQ(probe().duplicateCount(), 9);
    EXPECT_FALSE(probe().searchButton()->isEnabled());
    EXPECT_FALSE(probe().saveAction()->isEnabled());
}

// File > Open from the menu: the standard error box shows the message with its full stop.
TEST_F(ResultFiles, TheErrorBoxShowsTheOpenErrorAsItIs) {
    const std::string name = sets_.path("missing.CVN");
    answer_ = QString::fromStdString(name);
    MessageRecorder recorder;
    probe().openAction()->trigger();
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].title, QApplication::applicationDisplayName());
    EXPECT_EQ(recorder.messages[0].icon, QMessageBox::Critical);
    EXPECT_EQ(recorder.messages[0].text.toStdString(),
              "Cannot open file \"" + name + "\". No such file or directory.");
}

TEST_F(ResultFiles, OpenOfADamagedFileSaysWhichOfTheThreeItIs) {
    searchSampleTree();
    const WindowLists saved = lists();
    const std::string name = sets_.path("r.CVN");
    ASSERT_EQ(save(name), "");
    std::ofstream(name + ".~SR~", std::ios::trunc).close();

    emptyWindow();
    const std::string error = open(name);
    EXPECT_EQ(error, name + ".~SR~: Stream read error");
    EXPECT_EQ(lists().paths, saved.paths);
}

TEST_F(ResultFiles, OpenOfASetWithAnEmptyTreeKeepsTheDuplicateCount) {
    addSearchPath("/somewhere", "*.jpg");
    const std::string name = sets_.path("paths only.CVN");
    ASSERT_EQ(save(name), "");
    emptyWindow();
    probe().duplicateCount() = 7;
    ASSERT_EQ(open(name), "");
    EXPECT_EQ(probe().searchPathList()->listModel()->count(), 1);
    EXPECT_EQ(probe().duplicateCount(), 7);
    EXPECT_EQ(status(), "Duplicate files: 7, File Searched: 0");
}

TEST_F(ResultFiles, AnItemBlockOfAnotherVersionEmptiesTheListWithoutAnError) {
    searchSampleTree();
    const std::string set = sets_.path("r.CVN");
    ASSERT_EQ(save(set), "");
    Bytes searched = fileBytes(set + ".~SR~");
    const Bytes entry = cat({name("Items.ItemData"), hex("0A")});
    const auto at = std::search(searched.begin(), searched.end(), entry.begin(), entry.end());
    ASSERT_NE(at, searched.end());
    const auto version = at + static_cast<std::ptrdiff_t>(entry.size() + 4);
    ASSERT_EQ(*version, 1);
    *version = 2;
    stream::FileOutputStream out(set + ".~SR~");
    out.write(searched);
    out.close();

    ASSERT_EQ(open(set), "");
    EXPECT_TRUE(searchedFiles().empty());
    EXPECT_EQ(probe().searchPathList()->listModel()->count(), 1);
    EXPECT_EQ(treeGroups().size(), 1u);
    EXPECT_EQ(status(), "Duplicate files: 2, File Searched: 0");
}

// The search path list at its design bounds and the tree of one checked duplicate.
TEST_F(ResultFiles, TheWindowsListsWriteTheByteExamples) {
    addSearchPath("C:\\Data", "*.jpg");
    ui::DuplicateTreeModel* tree = probe().duplicateTree()->treeModel();
    ui::DuplicateNode top;
    top.text = "C:\\a.txt";
    ui::DuplicateNode child;
    child.text = "C:\\b.txt";
    child.stateIndex = ui::kStateChecked;
    tree->appendNode(tree->appendNode(QModelIndex(), top), child);

    const std::string set = sets_.path("examples.CVN");
    ASSERT_EQ(save(set), "");
    const Bytes searchPaths = fileBytes(set);
    EXPECT_EQ(searchPaths.size(), 273u);
    // The bytes of the plain lists, whose stream tests spell them out.
    stream::MainWindowLists plain;
    plain.searchPaths.setRows(probe().searchPathList()->rows());
    EXPECT_EQ(searchPaths,
              stream::writeRootRecordToBytes(stream::makeRef(
                  stream::listViewClass(), static_cast<stream::ListViewControl*>(&plain.searchPaths))));
    // The node block is the tree's last entry.
    EXPECT_TRUE(endsWith(
        fileBytes(set + ".~DF~"),
        cat({name("Items.NodeData"), hex("0A 5F 00 00 00 01 01 00 00 00"),
             hex("29 00 00 00 00 00 00 00 00 00 00 00 03 00 00 00 FF FF FF FF 00 00 00 00 01 00 00 00 08"),
             utf16le(u"C:\\a.txt"),
             hex("29 00 00 00 00 00 00 00 00 00 00 00 01 00 00 00 FF FF FF FF 00 00 00 00 00 00 00 00 08"),
             utf16le(u"C:\\b.txt"), hex("00 00")})));

    emptyWindow();
    ASSERT_EQ(open(set), "");
    EXPECT_EQ(treeGroups(), (Strings{"C:\\a.txt|C:\\b.txt"}));
    EXPECT_EQ(lists().nodes[1].stateIndex, ui::kStateChecked);
}

// Streams may carry the older blocks in "Items.Data" instead; the window reads them as its own.
TEST_F(ResultFiles, OpenReadsOlderListAndTreeBlocks) {
    stream::MainWindowLists plain;
    const std::string set = sets_.path("older.CVN");
    stream::writeResultSet(set, plain.set(), qtcore::createResultFile);
    const auto withBlock = [](const std::string& file, const std::string& before, const char* block) {
        std::string text = stream::streamToText(fileBytes(file));
        text.insert(text.rfind(before), std::string("  Items.Data = {") + block + "}\n");
        stream::FileOutputStream out(file);
        out.write(stream::textToStream(text));
        out.close();
    };
    withBlock(set, "  ReadOnly",
              "2C000000 01000000 00000000 FFFFFFFF FFFFFFFF 01000000 00000000"
              " 07 433A5C44617461 05 2A2E6A7067 FFFF");
    withBlock(set + ".~DF~", "end",
              "01000000"
              " 21000000 00000000 00000000 03000000 FFFFFFFF 00000000 01000000 08 433A5C612E747874"
              " 21000000 00000000 00000000 01000000 FFFFFFFF 00000000 00000000 08 433A5C622E747874");

    ASSERT_EQ(open(set), "");
    const std::vector<stream::ListRow> paths = probe().searchPathList()->rows();
    ASSERT_EQ(paths.size(), 1u);
    EXPECT_EQ(paths[0].caption, "C:\\Data");
    ASSERT_EQ(paths[0].subItems.size(), 1u);
    EXPECT_EQ(paths[0].subItems[0].text, "*.jpg");
    EXPECT_EQ(treeGroups(), (Strings{"C:\\a.txt|C:\\b.txt"}));
    EXPECT_EQ(lists().nodes[1].stateIndex, ui::kStateChecked);
    EXPECT_EQ(probe().duplicateCount(), 1);
}

// ------------------------------------------------------------------------------------------------
// A failed save never costs the set it replaces

TEST_F(ResultFiles, AWriteThatFailsLeavesTheOlderSetWhole) {
    addSearchPath("/first", "*.*");
    const std::string set = sets_.path("r.CVN");
    ASSERT_EQ(save(set), "");
    const std::vector<Bytes> before = setBytes(set);
    for (int i = 0; i < 200; ++i) {
        addSearchPath("/a/rather/long/folder/name/to/make/the/list/large/" + std::to_string(i), "*.*");
    }

    // The file size limit makes every write past 4 KiB fail, as a full disk would.
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit saved = limit;
    limit.rlim_cur = 4096;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const std::string error = save(set);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(error, "Cannot create file \"" + set + "\". File too large");
    EXPECT_EQ(setBytes(set), before);
    EXPECT_EQ(filesIn(sets_.root()), (Strings{"r.CVN", "r.CVN.~DF~", "r.CVN.~SR~"}));
}

// File > Save from the menu, as the user chooses it: the error box, and the older set as it was.
TEST_F(ResultFiles, SaveOnAFullDiskShowsTheErrorBoxAndKeepsTheOlderSet) {
    SmallDisk disk(256 * 1024);
    if (!disk.mounted()) {
        GTEST_SKIP() << disk.why();
    }
    searchSampleTree();
    const std::string set = disk.path("r.CVN");
    ASSERT_EQ(save(set), "");
    const std::vector<Bytes> before = setBytes(set);
    const WindowLists first = lists();
    ASSERT_TRUE(disk.fillLeaving(16 * 1024)) << disk.why();

    // A searched-files list of some 40 KiB, and a pair, for which Save is enabled.
    TempTree many;
    for (int i = 0; i < 100; ++i) {
        many.writeFile(std::string(150, 'n') + std::to_string(i),
                       i < 2 ? "pair" : "file " + std::to_string(i));
    }
    probe().searchPathList()->listModel()->clear();
    addSearchPath(many.root(), "*.*");
    ASSERT_TRUE(runSearch());
    ASSERT_EQ(searchedFiles().size(), 100u);
    ASSERT_TRUE(probe().saveAction()->isEnabled());

    answer_ = QString::fromStdString(set);
    MessageRecorder recorder;
    probe().saveAction()->trigger();
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text.toStdString(),
              "Cannot create file \"" + set + ".~SR~\". No space left on device.");
    EXPECT_EQ(setBytes(set), before);
    EXPECT_EQ(filesIn(disk.root()), (Strings{"filler", "r.CVN", "r.CVN.~DF~", "r.CVN.~SR~"}));

    emptyWindow();
    ASSERT_EQ(open(set), "");
    EXPECT_EQ(lists(), first);
}

TEST_F(ResultFiles, AFileThatCannotBeReplacedLeavesTheOlderSetWhole) {
    searchSampleTree();
    const std::string set = sets_.path("r.CVN");
    ASSERT_EQ(save(set), "");
    const std::vector<Bytes> before = setBytes(set);
    const WindowLists first = lists();
    addSearchPath("/second", "*.*");
    {
        const UnwritableFile unwritable(set + ".~SR~");
        if (!unwritable.made()) {
            GTEST_SKIP() << unwritable.why();
        }
        const int reason = ::geteuid() == 0 ? EPERM : EACCES; // immutable for root, read-only otherwise
        EXPECT_EQ(save(set), "Cannot create file \"" + set + ".~SR~\". " + std::strerror(reason));
    }
    EXPECT_EQ(setBytes(set), before);
    EXPECT_EQ(filesIn(sets_.root()), (Strings{"r.CVN", "r.CVN.~DF~", "r.CVN.~SR~"}));
    emptyWindow();
    ASSERT_EQ(open(set), "");
    EXPECT_EQ(lists(), first);

    // Without an older set, nothing of the new one is written.
    sets_.makeDir("new.CVN.~DF~");
    EXPECT_EQ(save(sets_.path("new.CVN")),
              "Cannot create file \"" + sets_.path("new.CVN.~DF~") + "\". Is a directory");
    EXPECT_EQ(filesIn(sets_.root()), (Strings{"new.CVN.~DF~", "r.CVN", "r.CVN.~DF~", "r.CVN.~SR~"}));
}

TEST_F(ResultFiles, ATextTooLongForAResultFileStopsTheSaveBeforeAnyFile) {
    addSearchPath("/first", "*.*");
    const std::string set = sets_.path("r.CVN");
    ASSERT_EQ(save(set), "");
    const Bytes before = fileBytes(set);

    const std::string longPath = "/" + std::string(255, 'p');
    ui::DuplicateTreeModel* tree = probe().duplicateTree()->treeModel();
    ui::DuplicateNode top;
    top.text = "/first/a";
    ui::DuplicateNode child;
    child.text = longPath;
    tree->appendNode(tree->appendNode(QModelIndex(), top), child);
    EXPECT_EQ(save(set), stream::textTooLongMessage(longPath));
    EXPECT_EQ(fileBytes(set), before);
    EXPECT_EQ(save(sets_.path("new.CVN")), stream::textTooLongMessage(longPath));
    EXPECT_EQ(filesIn(sets_.root()), (Strings{"r.CVN", "r.CVN.~DF~", "r.CVN.~SR~"}));

    // 255 characters fit, and come back whole.
    tree->clear();
    const std::string longest(255, 'q');
    top.text = longest;
    tree->appendNode(QModelIndex(), top);
    ASSERT_EQ(save(set), "");
    emptyWindow();
    ASSERT_EQ(open(set), "");
    EXPECT_EQ(treeGroups(), (Strings{longest}));
}

// ------------------------------------------------------------------------------------------------
// What a result file cannot change

TEST_F(ResultFiles, AResultFileNeitherRenamesNorMovesTheWindowsLists) {
    stream::MainWindowLists plain;
    plain.searchPaths.setComponentName("TreeView1");
    plain.searchPaths.setPlacement(
        {.left = 3000, .top = -50, .width = 5, .height = 5000, .align = stream::alBottom});
    plain.searchPaths.setRows({{.caption = "/d", .subItems = {{.text = "*.*"}}}});
    stream::NamedComponent window{"frm_utama"};
    stream::NamedComponent other{"Save1", &window};
    plain.duplicates.setStateImages(stream::makeRef(stream::namedComponentClass(), &other));
    plain.duplicates.setIndent(-100000);
    const std::string set = sets_.path("odd.CVN");
    stream::writeResultSet(set, plain.set(), qtcore::createResultFile);

    const QRect before = probe().searchPathList()->geometry();
    const stream::ObjectRef images = probe().duplicateTree()->stateImages();
    ASSERT_EQ(open(set), "");
    EXPECT_EQ(probe().searchPathList()->objectName(), "ListView1");
    EXPECT_EQ(main().findComponent("TreeView1"), probe().duplicateTree());
    EXPECT_EQ(probe().searchPathList()->geometry(), before);
    EXPECT_EQ(probe().duplicateTree()->stateImages(), images);
    EXPECT_EQ(probe().duplicateTree()->indent(), 19);
    EXPECT_EQ(probe().searchPathList()->listModel()->count(), 1);
    // It keeps following the window.
    main().resize(main().width() + 40, main().height());
    QApplication::processEvents();
    EXPECT_EQ(probe().searchPathList()->geometry(), before.adjusted(0, 0, 40, 0));
}

// While a comparison runs the tree is greyed and disabled; a set saved then is the same set, and
// opens to a tree that the window, not the file, enables.
TEST_F(ResultFiles, TheTreesSearchLookIsNeitherSavedNorOpened) {
    searchSampleTree();
    const std::string idle = sets_.path("idle.CVN");
    ASSERT_EQ(save(idle), "");
    probe().duplicateTree()->setEnabled(false);
    ui::setControlColor(probe().duplicateTree(), ui::kClInactiveCaptionText);
    const std::string busy = sets_.path("busy.CVN");
    ASSERT_EQ(save(busy), "");
    EXPECT_EQ(fileBytes(busy + ".~DF~"), fileBytes(idle + ".~DF~"));

    probe().duplicateTree()->setEnabled(true);
    std::string text = stream::streamToText(fileBytes(idle + ".~DF~"));
    text.insert(text.find("  Indent"), "  Color = clInactiveCaptionText\n  Enabled = False\n");
    stream::FileOutputStream out(idle + ".~DF~");
    out.write(stream::textToStream(text));
    out.close();
    ASSERT_EQ(open(idle), "");
    EXPECT_TRUE(probe().duplicateTree()->isEnabled());
    EXPECT_EQ(treeGroups().size(), 1u);
}

// ------------------------------------------------------------------------------------------------
// corvane-cli find --save

// Both front ends write a result set with the same code (qtcore/); the set of `find --save` holds
// the very bytes the window saves after the same search, dates, tree order and all.
TEST_F(ResultFiles, TheCommandLineSavesTheBytesTheWindowSavesAfterTheSameSearch) {
    tree_.writeFile("x.txt", "same");
    tree_.writeFile("sub/y.txt", "same");
    tree_.writeFile("z.txt", "same");
    tree_.writeFile("u.txt", "other text");
    // Groups whose order depends on the collation: letter case, an accent.
    tree_.writeFile("b.txt", "pair one");
    tree_.writeFile("B2.txt", "pair one");
    tree_.writeFile("\xc3\x89"
                    "clair.txt",
                    "pair two");
    tree_.writeFile("apple.txt", "pair two");
    // Names that are not UTF-8, and the look-alike that U+FFFD in their place would name.
    const std::string raw = tree_.writeFile("bad\xff.txt", "three alike");
    const std::string lookAlike = tree_.writeFile("bad\xef\xbf\xbd.txt", "three alike");
    const std::string broken = tree_.writeFile("caf\xe9/cut \xe2\x82.txt", "three alike");
    addSearchPath(tree_.root(), "*.txt");
    ASSERT_TRUE(runSearch());
    ASSERT_EQ(treeGroups().size(), 4u);
    const std::string window = sets_.path("window.CVN");
    ASSERT_EQ(save(window), "");
    const std::string cli = sets_.path("cli.CVN");
    const ProgramRun run =
        runProgram(CORVANE_CLI_PATH, {"find", "--quiet", "--save", cli, "-t", "*.txt", tree_.root()});
    ASSERT_EQ(run.status, 0) << run.err;

    for (const auto& [fromWindow, fromCli] :
         {std::pair{window, cli}, std::pair{window + ".~SR~", cli + ".~SR~"},
          std::pair{window + ".~DF~", cli + ".~DF~"}}) {
        EXPECT_EQ(stream::streamToText(fileBytes(fromCli)), stream::streamToText(fileBytes(fromWindow)));
        EXPECT_EQ(fileBytes(fromCli), fileBytes(fromWindow)) << fromCli;
    }

    const WindowLists searched = lists();
    emptyWindow();
    ASSERT_EQ(open(cli), "");
    EXPECT_EQ(lists(), searched);
    EXPECT_EQ(status(), "Duplicate files: 6, File Searched: 11");
    const Strings opened = searchedFiles();
    for (const std::string& name : {raw, lookAlike, broken}) {
        EXPECT_NE(std::find(opened.begin(), opened.end(), name), opened.end()) << name;
    }
}

} // namespace
} // namespace corvane::testing
