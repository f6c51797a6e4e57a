#include "message_recorder.h"
#include "scoped_environment.h"
#include "support/file_contents.h"
#include "support/temp_tree.h"
#include "support/xfs_disk.h"
#include "window_fixture.h"

#include "engine/group_report.h"
#include "engine/keep_rules.h"
#include "stream/result_set.h"
#include "ui/desktop/result_files.h"
#include "ui/forms/list_controls_qt.h"
#include "ui/windows/search_options_dialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <set>
#include <sys/mount.h>
#include <sys/stat.h>

namespace corvane::testing {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;
using Files = ui::DeleteDialog::FilesToDelete;

const QString kAllDuplicatesQuestion = "Are you sure you want to delete all Duplicate files ?";
// As the box shows it: one line break.
const QString kCheckedQuestion = "Are you sure you want to delete all checkmarked files ?\nIf you have "
                                 "checkmarked any original files they "
                                 "also be deleted!";

bool exists(const std::string& path) {
    return fs::exists(fs::symlink_status(path));
}

// What a click on a delete button led to, as seen from outside.
struct DeleteRun {
    QString question;
    bool cancelIsDefault = false;
    bool dialogShown = false;
    bool okDisabledDuringRun = false;
    Strings memo;
    QString label;
    int barMinimum = 0;
    int barMaximum = 0;
    int barValue = 0;
};

// The windows of a program run, with a home that has no data folder yet and the current
// folder where the files to delete are.
class DeleteDialog : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        env_.set("HOME", QByteArray::fromStdString(home_.root()));
        env_.unset("XDG_DATA_HOME");
        env_.unset("XDG_STATE_HOME");
        previousFolder_ = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString(files_.root()));
    }
    void TearDown() override {
        QDir::setCurrent(previousFolder_);
        WindowFixture::TearDown();
    }

    // Adds a group as the comparer reports one: the files are written now and their state kept
    // with the nodes. Returns the top-level node.
    QModelIndex addGroup(const std::string& top, const Strings& children) {
        const std::string topPath = files_.writeFile(top, "same");
        Strings paths;
        std::vector<platform::FileInfo> infos;
        for (const std::string& child : children) {
            paths.push_back(files_.writeFile(child, "same"));
            infos.push_back(*platform::lookupFile(paths.back()));
        }
        return tree()->appendGroup(topPath, paths, platform::lookupFile(topPath), infos);
    }
    ui::DuplicateTreeModel* tree() { return probe().duplicateTree()->treeModel(); }
    void check(const QModelIndex& index) { tree()->setStateIndex(index, ui::kStateChecked); }
    QModelIndex child(const QModelIndex& top, int row) { return tree()->index(row, 0, top); }

    std::string path(const std::string& name) const { return files_.path(name); }

    // The files of the tree that wear the padlock; ticks every other file.
    std::set<std::string> padlockedTickingTheRest() {
        std::set<std::string> padlocked;
        for (int g = 0; g < tree()->rowCount(); ++g) {
            const QModelIndex top = tree()->index(g, 0);
            for (int i = -1; i < tree()->rowCount(top); ++i) {
                const QModelIndex at = i < 0 ? top : child(top, i);
                const bool locked = !tree()->data(at, Qt::DecorationRole).isNull();
                EXPECT_EQ(tree()->flags(at).testFlag(Qt::ItemIsUserCheckable), !locked);
                if (locked) {
                    EXPECT_EQ(tree()->node(at)->stateIndex, ui::kStateUnchecked) << tree()->node(at)->text;
                    padlocked.insert(tree()->node(at)->text);
                } else {
                    check(at);
                }
            }
        }
        return padlocked;
    }

    // Lists `folder` through Add Path, ticking "Never delete files here" when `reference`.
    bool addThroughDialog(const std::string& folder, bool reference) {
        return withDialog(probe().addPathButton(), [&](ui::PathDialog& dialog) {
            dialog.pathField_->setText(QString::fromStdString(folder));
            dialog.referenceBox_->setChecked(reference);
            dialog.okButton_->click();
        });
    }
    // Selects row `row` of the search path list and changes it through Edit Path.
    bool editThroughDialog(int row, const std::function<void(ui::PathDialog&)>& change) {
        probe().searchPathList()->selectionModel()->select(
            probe().searchPathList()->listModel()->index(row, 0),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        return withDialog(probe().editPathButton(), [&](ui::PathDialog& dialog) {
            change(dialog);
            dialog.okButton_->click();
        });
    }
    std::string inTrash(const std::string& name) const {
        return home_.path(".local/share/Trash/files/" + name);
    }
    std::string failed(const std::string& name, const char* reason) const {
        return path(name) + " \u2014 " + reason;
    }

    // Clicks a delete button and answers the confirmation; with OK, waits for the run to end
    // and closes the dialog with its OK button.
    DeleteRun clickDelete(QPushButton* button, bool confirm) {
        return runDialog(
            [button] {
                button->setEnabled(true);
                button->click();
            },
            confirm);
    }

    // The same for any way of starting a run.
    DeleteRun runDialog(const std::function<void()>& start, bool confirm) {
        DeleteRun run;
        QTimer answer;
        answer.setInterval(1);
        QObject::connect(&answer, &QTimer::timeout, [this, &run, confirm] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                run.question = box->text();
                run.cancelIsDefault = box->defaultButton() == box->button(QMessageBox::Cancel);
                for (QAbstractButton* b : box->buttons()) {
                    if (b->text() == (confirm ? "OK" : "Cancel")) {
                        b->click();
                    }
                }
                return;
            }
            ui::DeleteDialog* dialog = &deleteDialog();
            if (modal != dialog) {
                return;
            }
            run.dialogShown = true;
            if (dialog->running()) {
                run.okDisabledDuringRun = !dialog->okButton_->isEnabled();
                return;
            }
            run.memo.clear();
            for (const QString& line : dialog->failureList_->toPlainText().split('\n', Qt::SkipEmptyParts)) {
                run.memo.push_back(line.toStdString());
            }
            run.label = dialog->countLabel_->text();
            run.barMinimum = dialog->progressBar_->minimum();
            run.barMaximum = dialog->progressBar_->maximum();
            run.barValue = dialog->progressBar_->value();
            if (dialog->okButton_->isEnabled()) {
                dialog->okButton_->click();
            }
        });
        answer.start();
        start();
        return run;
    }

    TempTree home_;
    TempTree files_;
    ScopedEnvironment env_;
    QString previousFolder_;
};

TEST_F(DeleteDialog, AllDuplicatesOfASearchGoToTheTrashAndLeaveTheTree) {
    files_.writeFile("a.txt", "group a");
    files_.writeFile("x/a1.txt", "group a");
    files_.writeFile("y/a2.txt", "group a");
    files_.writeFile("b.txt", "group b");
    files_.writeFile("x/b1.txt", "group b");
    addSearchPath(files_.root(), "*.txt");
    ASSERT_TRUE(runSearch());
    ASSERT_EQ(treeGroups(), (Strings{path("a.txt") + "|" + path("x/a1.txt") + "|" + path("y/a2.txt"),
                                     path("b.txt") + "|" + path("x/b1.txt")}));

    const DeleteRun run = clickDelete(probe().deleteDuplicatesButton(), true);
    EXPECT_EQ(run.question, kAllDuplicatesQuestion + "\n\n3 file(s) will be moved to the trash.");
    EXPECT_FALSE(run.cancelIsDefault);
    EXPECT_EQ(deleteDialog().filesToDelete(), Files::AllDuplicates);
    EXPECT_TRUE(run.okDisabledDuringRun);
    EXPECT_TRUE(run.memo.empty());
    EXPECT_EQ(run.label, "deleted 3 of 3");
    EXPECT_EQ(run.barMinimum, 1);
    EXPECT_EQ(run.barMaximum, 3);
    EXPECT_EQ(run.barValue, 3);
    // The originals stay, as groups without duplicates.
    EXPECT_EQ(treeGroups(), (Strings{path("a.txt"), path("b.txt")}));
    EXPECT_TRUE(exists(path("a.txt")));
    EXPECT_TRUE(exists(path("b.txt")));
    for (const char* name : {"a1.txt", "a2.txt", "b1.txt"}) {
        EXPECT_TRUE(exists(inTrash(name))) << name;
    }
    EXPECT_FALSE(exists(path("x/a1.txt")));
    EXPECT_FALSE(exists(path("files")));
    EXPECT_FALSE(exists(path("info")));
    EXPECT_TRUE(deleteDialog().isHidden());
}

TEST_F(DeleteDialog, UndoPutsBackWhatTheLastRunMovedWhereItsPlaceIsFree) {
    files_.writeFile("a.txt", "group a");
    files_.writeFile("x/a1.txt", "group a");
    files_.writeFile("y/a2.txt", "group a");
    addSearchPath(files_.root(), "*.txt");
    ASSERT_TRUE(runSearch());
    QAction* undo = probe().undoAction();
    ASSERT_NE(undo, nullptr);
    EXPECT_FALSE(undo->isEnabled()) << "no run to undo yet";
    ASSERT_EQ(clickDelete(probe().deleteDuplicatesButton(), true).label, "deleted 2 of 2");
    EXPECT_TRUE(undo->isEnabled());
    // Something else has taken the place of one of them meanwhile.
    files_.writeFile("y/a2.txt", "someone else's");

    {
        MessageRecorder recorder; // answers the question with OK, then the report
        undo->trigger();
        ASSERT_EQ(recorder.messages.size(), 2u);
        EXPECT_EQ(recorder.messages[0].text, "Put back what the last run changed?\n\n2 file(s) will go back "
                                             "from the trash to their folders.");
        EXPECT_EQ(recorder.messages[1].text, "1 file(s) were put back; 1 could not be:\n\n" +
                                                 QString::fromStdString(path("y/a2.txt")) +
                                                 " \u2014 another file is at its place");
    }
    EXPECT_EQ(fileContents(path("x/a1.txt")), "group a");
    EXPECT_FALSE(exists(inTrash("a1.txt")));
    EXPECT_EQ(fileContents(path("y/a2.txt")), "someone else's");
    EXPECT_TRUE(exists(inTrash("a2.txt")));
    EXPECT_TRUE(probe().statusLine().startsWith("1 file(s) put back."));
    EXPECT_TRUE(undo->isEnabled()) << "what could not be put back yet stays to undo";

    // The place free again, Ctrl+Z puts the last one back, and nothing is left to undo.
    fs::remove(path("y/a2.txt"));
    {
        MessageRecorder recorder;
        QApplication::setActiveWindow(&main());
        QTest::keyClick(&main(), Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(recorder.messages.size(), 1u) << "the question; no report when all went back";
    }
    EXPECT_EQ(fileContents(path("y/a2.txt")), "group a");
    EXPECT_FALSE(exists(inTrash("a2.txt")));
    EXPECT_FALSE(undo->isEnabled());
}

TEST_F(DeleteDialog, CheckedFilesBecomeHardLinksOrShareBlocksOnXfsAndUndoGivesThemTheirOwnBytes) {
    XfsDisk disk;
    if (!disk.mounted()) {
        GTEST_SKIP() << disk.why();
    }
    const std::string contents(200000, 'x');
    for (const char* name : {"l/a", "l/b", "l/sub/c", "s/a", "s/b"}) {
        fs::create_directories(fs::path(disk.path(name)).parent_path());
        std::ofstream(disk.path(name), std::ios::binary) << contents << name;
    }
    for (const char* name : {"l/b", "l/sub/c"}) {
        fs::copy_file(disk.path("l/a"), disk.path(name), fs::copy_options::overwrite_existing);
    }
    fs::copy_file(disk.path("s/a"), disk.path("s/b"), fs::copy_options::overwrite_existing);
    addSearchPath(disk.root());
    ASSERT_TRUE(runSearch());
    ASSERT_EQ(treeGroups(), (Strings{disk.path("l/a") + "|" + disk.path("l/b") + "|" + disk.path("l/sub/c"),
                                     disk.path("s/a") + "|" + disk.path("s/b")}));
    const QModelIndex linkGroup = tree()->index(0, 0);
    check(child(linkGroup, 0));
    check(child(linkGroup, 1));
    const DeleteRun linked = runDialog([this] { probe().linkCheckedClicked(); }, true);
    EXPECT_EQ(linked.question,
              "Are you sure you want to replace all checkmarked files with hard links to the "
              "copies that stay ?\n\n2 file(s) will be replaced with hard links to the copies "
              "that stay.");
    EXPECT_EQ(linked.label, "linked 2 of 2");
    EXPECT_TRUE(linked.memo.empty());
    struct stat a {
    }, b{}, c{};
    ASSERT_EQ(::stat(disk.path("l/a").c_str(), &a), 0);
    ASSERT_EQ(::stat(disk.path("l/b").c_str(), &b), 0);
    ASSERT_EQ(::stat(disk.path("l/sub/c").c_str(), &c), 0);
    EXPECT_EQ(b.st_ino, a.st_ino);
    EXPECT_EQ(c.st_ino, a.st_ino);
    // The files stay in the tree, done with: no longer ticked.
    EXPECT_EQ(treeGroups()[0], disk.path("l/a") + "|" + disk.path("l/b") + "|" + disk.path("l/sub/c"));
    EXPECT_EQ(tree()->node(child(linkGroup, 0))->stateIndex, ui::kStateUnchecked);

    const QModelIndex shareGroup = tree()->index(1, 0);
    check(child(shareGroup, 0));
    const DeleteRun shared = runDialog([this] { probe().shareCheckedClicked(); }, true);
    EXPECT_EQ(shared.label, "shared 1 of 1");
    EXPECT_TRUE(shared.memo.empty()) << shared.memo.front();
    const Extents extents = extentsOf(disk.path("s/b"));
    EXPECT_EQ(extents.shared, extents.total);

    // Undo of the last run (the shared blocks) needs nothing; of the links before it nothing is
    // left to undo then, since each run keeps only its own record.
    {
        MessageRecorder recorder;
        probe().undoAction()->trigger();
        ASSERT_EQ(recorder.messages.size(), 1u);
        EXPECT_EQ(recorder.messages[0].text,
                  "Put back what the last run changed?\n\n1 file(s) that share blocks "
                  "need nothing: their bytes always were their own.");
    }
    EXPECT_FALSE(probe().undoAction()->isEnabled());
    EXPECT_EQ(fileContents(disk.path("s/b")), contents + "s/a");
}

TEST_F(DeleteDialog, AReferenceFolderKeepsItsCopiesUntickedAndUntouchedAndIsKeptInTheSet) {
    files_.writeFile("ref/a", "group a");
    files_.writeFile("dl/a1", "group a");
    files_.writeFile("dl/a2", "group a");
    files_.writeFile("dl/b1", "group b");
    files_.writeFile("dl/b2", "group b");
    ASSERT_TRUE(addThroughDialog(path("dl"), false));
    ASSERT_TRUE(addThroughDialog(path("ref"), true));
    ASSERT_TRUE(runSearch());
    EXPECT_FALSE(probe()
                     .searchPathList()
                     ->listModel()
                     ->data(probe().searchPathList()->listModel()->index(1, 0), Qt::DecorationRole)
                     .isNull())
        << "the list shows which path is a reference folder";

    // Its copy wears the padlock and takes no tick, however asked.
    QModelIndex referenceCopy;
    for (int g = 0; g < tree()->rowCount(); ++g) {
        const QModelIndex top = tree()->index(g, 0);
        for (int i = -1; i < tree()->rowCount(top); ++i) {
            const QModelIndex at = i < 0 ? top : child(top, i);
            const bool inReference = tree()->node(at)->text == path("ref/a");
            EXPECT_EQ(tree()->data(at, Qt::DecorationRole).isNull(), !inReference) << tree()->node(at)->text;
            EXPECT_EQ(tree()->flags(at).testFlag(Qt::ItemIsUserCheckable), !inReference);
            if (inReference) {
                referenceCopy = at;
            }
        }
    }
    ASSERT_TRUE(referenceCopy.isValid());
    tree()->ToggleCheckState(referenceCopy, ui::kStateUnchecked, ui::kStateChecked, 0, 2);
    check(referenceCopy);
    EXPECT_EQ(tree()->node(referenceCopy)->stateIndex, ui::kStateUnchecked);

    // A rule keeps the reference copy, whatever it would choose: every other copy is ticked.
    {
        QApplication::setActiveWindow(&main());
        QTest::keyClick(&main(), Qt::Key_2, Qt::ControlModifier); // keeping the oldest
    }
    const DeleteRun run = runDialog([this] { probe().deleteCheckedClicked(); }, true);
    EXPECT_TRUE(run.memo.empty()) << run.memo.front();
    EXPECT_EQ(fileContents(path("ref/a")), "group a");
    EXPECT_FALSE(exists(path("dl/a1")));
    EXPECT_FALSE(exists(path("dl/a2")));
    EXPECT_EQ(exists(path("dl/b1")) + exists(path("dl/b2")), 1) << "one copy of b stays";

    // A copy ticked before its folder is marked as a reference folder, after the search, loses its
    // tick and stays.
    files_.writeFile("dl/a3", "group a");
    ASSERT_TRUE(
        editThroughDialog(1, [](ui::PathDialog& dialog) { dialog.referenceBox_->setChecked(false); }));
    ASSERT_TRUE(runSearch());
    EXPECT_EQ(padlockedTickingTheRest(), std::set<std::string>{});
    ASSERT_TRUE(editThroughDialog(1, [](ui::PathDialog& dialog) { dialog.referenceBox_->setChecked(true); }));
    EXPECT_EQ(probe().searchPathList()->listModel()->row(1).data, stream::kReferenceFolderRowData);
    EXPECT_EQ(padlockedTickingTheRest(), std::set<std::string>{path("ref/a")});
    const DeleteRun second = runDialog([this] { probe().deleteCheckedClicked(); }, true);
    EXPECT_TRUE(second.memo.empty()) << second.memo.front();
    EXPECT_EQ(fileContents(path("ref/a")), "group a");
    EXPECT_FALSE(exists(path("dl/a3")));

    // Saved and opened again, the path is still a reference folder, and its copies still wear the mark.
    const std::string set = home_.path("ref.CVN");
    ui::setResultFileChooser([&](QWidget*, ui::ResultFileDialog, const ui::FileDialogSettings&) {
        return QString::fromStdString(set);
    });
    probe().saveClicked();
    probe().searchPathList()->listModel()->clear();
    main().openResultSet(set);
    ui::setResultFileChooser({});
    ASSERT_EQ(probe().searchPathList()->listModel()->count(), 2);
    EXPECT_EQ(probe().searchPathList()->listModel()->row(1).data, stream::kReferenceFolderRowData);
    EXPECT_EQ(probe().searchPathList()->listModel()->row(0).data, 0);
    EXPECT_EQ(tree()->referenceFolders(), Strings{path("ref")});
}

// Reference folders are the search path list's as it is now: whichever way a row changes after
// the search, the padlocks and the ticks follow at once, and so does what a delete may take.
TEST_F(DeleteDialog, ReferenceFoldersFollowEveryChangeOfThePathListAfterTheSearch) {
    for (const char* folder : {"a", "b", "ref", "c"}) {
        files_.writeFile(std::string(folder) + "/big1", "one");
    }
    files_.writeFile("a/big2", "two");
    files_.writeFile("b/big2-copy", "two");
    files_.makeDir("d");
    for (const char* folder : {"a", "b", "ref", "c"}) {
        ASSERT_TRUE(addThroughDialog(path(folder), std::string_view(folder) == "ref"));
    }
    ASSERT_TRUE(runSearch());
    ASSERT_EQ(treeGroups().size(), 2u);
    const std::set<std::string> inB{path("b/big1"), path("b/big2-copy")};
    const std::set<std::string> inRef{path("ref/big1")};
    std::set<std::string> inBoth = inB;
    inBoth.insert(path("ref/big1"));
    const auto mark = [](bool reference) {
        return [reference](ui::PathDialog& dialog) { dialog.referenceBox_->setChecked(reference); };
    };
    struct Step {
        const char* what;
        std::function<bool()> change;
        std::set<std::string> padlocked;
    };
    const Step steps[] = {
        {"b marked", [&] { return editThroughDialog(1, mark(true)); }, inBoth},
        {"ref's row deleted",
         [&] {
             probe().searchPathList()->selectionModel()->select(
                 probe().searchPathList()->listModel()->index(2, 0),
                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
             probe().deletePathButton()->click();
             return probe().searchPathList()->listModel()->count() == 3;
         },
         inB},
        {"ref added again, marked", [&] { return addThroughDialog(path("ref"), true); }, inBoth},
        {"b unmarked", [&] { return editThroughDialog(1, mark(false)); }, inRef},
        {"ref's row changed to another folder",
         [&] {
             return editThroughDialog(3, [&](ui::PathDialog& dialog) {
                 dialog.pathField_->setText(QString::fromStdString(path("d")));
             });
         },
         {}},
        {"b marked again", [&] { return editThroughDialog(1, mark(true)); }, inB},
    };
    EXPECT_EQ(padlockedTickingTheRest(), inRef);
    for (const Step& step : steps) {
        ASSERT_TRUE(step.change()) << step.what;
        EXPECT_EQ(padlockedTickingTheRest(), step.padlocked) << step.what;
    }

    // Every file but b's is ticked: b's stay, with nothing to say about them.
    const DeleteRun run = runDialog([this] { probe().deleteCheckedClicked(); }, true);
    EXPECT_EQ(run.question, kCheckedQuestion + "\n\n4 file(s) will be moved to the trash.");
    EXPECT_TRUE(run.memo.empty()) << run.memo.front();
    EXPECT_EQ(run.label, "deleted 4 of 4");
    for (const std::string& kept : inB) {
        EXPECT_TRUE(exists(kept)) << kept;
    }
}

// Delete All Duplicates keeps every original, also where a copy in a reference folder would stay
// for it; the copy there is neither counted nor listed.
TEST_F(DeleteDialog, DeleteAllDuplicatesKeepsTheOriginalBesideAReferenceCopy) {
    for (const auto& [name, contents] : {std::pair{"a/big1", "one"},
                                         {"a/big2", "two"},
                                         {"b/big1", "one"},
                                         {"ref/big1", "one"},
                                         {"c/big1", "one"},
                                         {"c/big1-again", "one"},
                                         {"b/big2", "two"}}) {
        files_.writeFile(name, contents);
    }
    for (const char* folder : {"a", "b", "ref", "c"}) {
        ASSERT_TRUE(addThroughDialog(path(folder), std::string_view(folder) == "ref"));
    }
    ASSERT_TRUE(runSearch());
    ASSERT_EQ(treeGroups().size(), 2u);

    const DeleteRun run = clickDelete(probe().deleteDuplicatesButton(), true);
    EXPECT_EQ(run.question, kAllDuplicatesQuestion + "\n\n4 file(s) will be moved to the trash.");
    EXPECT_TRUE(run.memo.empty()) << run.memo.front();
    EXPECT_EQ(run.label, "deleted 4 of 4");
    EXPECT_EQ(run.barMaximum, 4);
    EXPECT_EQ(treeGroups(), (Strings{path("a/big1") + "|" + path("ref/big1"), path("a/big2")}));
    for (const char* name : {"a/big1", "a/big2", "ref/big1"}) {
        EXPECT_TRUE(exists(path(name))) << name;
    }
    for (const char* name : {"b/big1", "c/big1", "c/big1-again", "b/big2"}) {
        EXPECT_FALSE(exists(path(name))) << name;
    }
}

// A session as a user would have it, each step through the window: a search of a folder beside a
// reference folder with a size limit, the duplicates ticked keeping the newest, the ticked files
// replaced with hard links on XFS, the groups exported, the set saved and opened again. No
// content is lost on the way.
TEST_F(DeleteDialog, ReferenceFolderSizeLimitNewestHardLinksExportSaveAndOpenOnXfs) {
    XfsDisk disk;
    if (!disk.mounted()) {
        GTEST_SKIP() << disk.why();
    }
    const auto write = [&](const char* name, const std::string& contents, time_t modified) {
        fs::create_directories(fs::path(disk.path(name)).parent_path());
        std::ofstream(disk.path(name), std::ios::binary) << contents;
        const timespec times[2] = {{modified, 0}, {modified, 0}};
        ::utimensat(AT_FDCWD, disk.path(name).c_str(), times, 0);
    };
    const std::string photo(300000, 'p');
    const std::string video(3 << 20, 'v');
    const std::string letter(5000, 'l');
    write("archive/photo", photo, 1'000'000'000);
    write("inbox/photo-old", photo, 1'100'000'000);
    write("inbox/photo-new", photo, 1'200'000'000);
    write("inbox/video-1", video, 1'100'000'000);
    write("inbox/video-2", video, 1'200'000'000);
    write("inbox/letter-old", letter, 1'100'000'000);
    write("inbox/letter-new", letter, 1'200'000'000);
    probe().searchPathList()->listModel()->appendRow(ui::ListRow(disk.path("inbox"), {"*"}));
    ui::ListRow archive(disk.path("archive"), {"*"});
    archive.data = stream::kReferenceFolderRowData;
    probe().searchPathList()->listModel()->appendRow(archive);
    probe().searchPathList()->listModel()->flushAppendedRows();
    probe().searchButton()->setEnabled(true);
    ui::SearchOptionsDialog& options = *probe().searchOptionsDialog();
    options.maximumField_->setText("1M");
    options.accept();
    ASSERT_EQ(options.filters().maxSize, 1 << 20);

    ASSERT_TRUE(runSearch());
    EXPECT_EQ(treeGroups().size(), 2u) << "the videos are over the limit: not compared";
    EXPECT_EQ(tree()->referenceFolders(), Strings{disk.path("archive")});

    probe().keepRuleActions().at(static_cast<size_t>(engine::KeepRule::Newest))->trigger();
    std::set<std::string> ticked;
    for (int g = 0; g < tree()->rowCount(); ++g) {
        const QModelIndex top = tree()->index(g, 0);
        for (int i = -1; i < tree()->rowCount(top); ++i) {
            const ui::DuplicateNode* node = tree()->node(i < 0 ? top : child(top, i));
            if (node->stateIndex == ui::kStateChecked) {
                ticked.insert(node->text);
            }
        }
    }
    EXPECT_EQ(ticked, (std::set<std::string>{disk.path("inbox/photo-old"), disk.path("inbox/photo-new"),
                                             disk.path("inbox/letter-old")}))
        << "the reference copy stays whatever the rule; elsewhere the newest";

    const DeleteRun linked = runDialog([this] { probe().linkCheckedClicked(); }, true);
    EXPECT_EQ(linked.label, "linked 3 of 3");
    EXPECT_TRUE(linked.memo.empty()) << linked.memo.front();
    const auto inode = [&](const char* name) {
        struct stat st {};
        return ::stat(disk.path(name).c_str(), &st) == 0 ? st.st_ino : 0;
    };
    EXPECT_EQ(inode("inbox/photo-old"), inode("archive/photo"));
    EXPECT_EQ(inode("inbox/photo-new"), inode("archive/photo"));
    EXPECT_EQ(inode("inbox/letter-old"), inode("inbox/letter-new"));
    EXPECT_NE(inode("inbox/video-1"), inode("inbox/video-2"));

    probe().exportGroups(disk.path("groups.csv"), engine::GroupFormat::Csv);
    const std::string exported = fileContents(disk.path("groups.csv"));
    for (const char* name : {"archive/photo", "inbox/photo-old", "inbox/letter-new"}) {
        EXPECT_NE(exported.find(disk.path(name)), std::string::npos) << name;
    }

    const std::string set = disk.path("session.CVN");
    ui::setResultFileChooser([&](QWidget*, ui::ResultFileDialog, const ui::FileDialogSettings&) {
        return QString::fromStdString(set);
    });
    probe().saveClicked();
    const Strings before = treeGroups();
    probe().searchPathList()->listModel()->clear();
    tree()->clear();
    tree()->setReferenceFolders({});
    main().openResultSet(set);
    ui::setResultFileChooser({});
    EXPECT_EQ(treeGroups(), before);
    EXPECT_EQ(tree()->referenceFolders(), Strings{disk.path("archive")});

    // Every content is still held outside the trash, by every name it had.
    for (const auto& [name, contents] :
         std::vector<std::pair<const char*, const std::string*>>{{"archive/photo", &photo},
                                                                 {"inbox/photo-old", &photo},
                                                                 {"inbox/photo-new", &photo},
                                                                 {"inbox/video-1", &video},
                                                                 {"inbox/video-2", &video},
                                                                 {"inbox/letter-old", &letter},
                                                                 {"inbox/letter-new", &letter}}) {
        EXPECT_EQ(fileContents(disk.path(name)), *contents) << name;
    }
    EXPECT_FALSE(exists(home_.path(".local/share/Trash/files")));
}

TEST_F(DeleteDialog, CheckedFilesAtBothLevels) {
    const QModelIndex a = addGroup("a", {"a1", "a2"});
    const QModelIndex b = addGroup("b", {"b1", "b2"});
    const QModelIndex c = addGroup("c", {"c1"});
    check(a);
    check(b);
    check(child(b, 1));
    check(child(c, 0));

    const DeleteRun run = clickDelete(probe().deleteCheckedButton(), true);
    EXPECT_EQ(run.question, kCheckedQuestion + "\n\n4 file(s) will be moved to the trash.");
    EXPECT_EQ(deleteDialog().filesToDelete(), Files::CheckedFiles);
    EXPECT_TRUE(run.memo.empty());
    EXPECT_EQ(run.label, "deleted 4 of 4");
    // A checked original takes its group out of the tree; unchecked duplicates stay on disk.
    EXPECT_EQ(treeGroups(), (Strings{path("c")}));
    for (const char* name : {"a", "b", "b2", "c1"}) {
        EXPECT_TRUE(exists(inTrash(name))) << name;
        EXPECT_FALSE(exists(path(name))) << name;
    }
    for (const char* name : {"a1", "a2", "b1", "c"}) {
        EXPECT_TRUE(exists(path(name))) << name;
    }
}

TEST_F(DeleteDialog, ChildrenComeFirstThenTopLevelNodesEachInTreeOrder) {
    const QModelIndex a = addGroup("a", {"a1", "a2"});
    const QModelIndex b = addGroup("b", {"b1"});
    check(a);
    check(child(a, 1));
    check(b);
    check(child(b, 0));
    // Every file is gone, so every entry fails, in the order it is handled.
    for (const char* name : {"a", "a1", "a2", "b", "b1"}) {
        fs::remove(path(name));
    }
    const char* gone = "no longer there";

    DeleteRun run = clickDelete(probe().deleteCheckedButton(), true);
    EXPECT_EQ(run.memo, (Strings{"Failed to delete the following files...", failed("a2", gone),
                                 failed("b1", gone), failed("a", gone), failed("b", gone)}));
    EXPECT_EQ(run.label, "deleted 0 of 4");

    run = clickDelete(probe().deleteDuplicatesButton(), true);
    EXPECT_EQ(run.memo, (Strings{"Failed to delete the following files...", failed("a1", gone),
                                 failed("a2", gone), failed("b1", gone)}));
    EXPECT_EQ(treeGroups(),
              (Strings{path("a") + "|" + path("a1") + "|" + path("a2"), path("b") + "|" + path("b1")}));
}

TEST_F(DeleteDialog, FiveEntriesWithTheSecondFailingThenARunWithNothingToDelete) {
    addGroup("a", {"a1", "a2", "a3"});
    addGroup("b", {"b1", "b2"});
    fs::remove(path("a2"));

    DeleteRun run = clickDelete(probe().deleteDuplicatesButton(), true);
    EXPECT_EQ(run.label, "deleted 4 of 5");
    EXPECT_EQ(run.barMinimum, 1);
    EXPECT_EQ(run.barMaximum, 5);
    EXPECT_EQ(run.barValue, 5);
    EXPECT_EQ(run.memo,
              (Strings{"Failed to delete the following files...", failed("a2", "no longer there")}));
    EXPECT_EQ(treeGroups(), (Strings{path("a") + "|" + path("a2"), path("b")}));

    // Nothing is checked: no file is touched, OK is there at once, and nothing of the last run
    // is shown: neither its failures nor its count, which reads as before any run.
    run = clickDelete(probe().deleteCheckedButton(), true);
    EXPECT_TRUE(run.dialogShown);
    EXPECT_TRUE(run.memo.empty());
    EXPECT_EQ(run.label, "Deleted 0 of 0");
    EXPECT_LE(run.barMinimum, run.barMaximum);
    EXPECT_LT(run.barValue, run.barMinimum);
    EXPECT_EQ(treeGroups(), (Strings{path("a") + "|" + path("a2"), path("b")}));

    // One file: the bar shows the run complete, as it does for more.
    check(child(addGroup("c", {"c1"}), 0));
    run = clickDelete(probe().deleteCheckedButton(), true);
    EXPECT_EQ(run.label, "deleted 1 of 1");
    EXPECT_LT(run.barMinimum, run.barMaximum);
    EXPECT_EQ(run.barValue, run.barMaximum);
}

// A file that cannot be moved leaves the bar and the count where the last moved file put them,
// and is listed when its turn comes: after the files handled before it, before those after it.
TEST_F(DeleteDialog, AFailureLeavesBarAndCountAndIsListedInItsTurn) {
    // Every moved file keeps a copy outside the trash: a, and b2.
    const QModelIndex a = addGroup("a", {"a1", "a2"});
    const QModelIndex b = addGroup("b", {"b1", "b2"});
    check(child(a, 0));
    check(child(a, 1));
    check(child(b, 0));
    check(b);
    fs::remove(path("a2")); // refused by the check before anything moves
    fs::remove(path("b"));  // the last file of the run

    // What the dialog showed whenever a line came into its list.
    std::vector<std::pair<std::string, std::pair<QString, int>>> listed;
    ui::DeleteDialog* dialog = &deleteDialog();
    const QMetaObject::Connection watch =
        QObject::connect(dialog->failureList_, &QPlainTextEdit::textChanged, [&] {
            const QStringList lines = dialog->failureList_->toPlainText().split('\n', Qt::SkipEmptyParts);
            if (!lines.isEmpty()) {
                listed.push_back({lines.back().toStdString(),
                                  {dialog->countLabel_->text(), dialog->progressBar_->value()}});
            }
        });
    const DeleteRun run = clickDelete(probe().deleteCheckedButton(), true);
    QObject::disconnect(watch);

    const char* gone = "no longer there";
    EXPECT_EQ(run.memo,
              (Strings{"Failed to delete the following files...", failed("a2", gone), failed("b", gone)}));
    ASSERT_EQ(listed.size(), 3u);
    // a2 after a1 was moved (bar at 1), b after b1 (bar at 3, the third file handled).
    EXPECT_EQ(listed[1].first, failed("a2", gone));
    EXPECT_EQ(listed[1].second, std::make_pair(QString("deleted 1 of 4"), 1));
    EXPECT_EQ(listed[2].first, failed("b", gone));
    EXPECT_EQ(listed[2].second, std::make_pair(QString("deleted 2 of 4"), 3));
    // The last file failed: the bar stays at the last file moved, the count at the moved files.
    EXPECT_EQ(run.label, "deleted 2 of 4");
    EXPECT_EQ(run.barValue, 3);
    EXPECT_EQ(run.barMaximum, 4);
}

TEST_F(DeleteDialog, CancelChangesNothing) {
    const QModelIndex a = addGroup("a", {"a1"});
    check(a);
    for (QPushButton* button : {probe().deleteDuplicatesButton(), probe().deleteCheckedButton()}) {
        const DeleteRun run = clickDelete(button, false);
        EXPECT_FALSE(run.question.isEmpty());
        EXPECT_FALSE(run.dialogShown);
    }
    EXPECT_EQ(deleteDialog().filesToDelete(), Files::None);
    EXPECT_EQ(treeGroups(), (Strings{path("a") + "|" + path("a1")}));
    EXPECT_TRUE(exists(path("a")));
    EXPECT_TRUE(exists(path("a1")));
}

TEST_F(DeleteDialog, AFileChangedSinceItWasComparedStays) {
    addGroup("a", {"a1", "a2"});
    std::ofstream(path("a1"), std::ios::app) << " and more";

    const DeleteRun run = clickDelete(probe().deleteDuplicatesButton(), true);
    EXPECT_EQ(run.memo, (Strings{"Failed to delete the following files...",
                                 failed("a1", "changed since it was compared")}));
    EXPECT_EQ(run.label, "deleted 1 of 2");
    EXPECT_EQ(treeGroups(), (Strings{path("a") + "|" + path("a1")}));
    EXPECT_TRUE(exists(path("a1")));
    EXPECT_FALSE(exists(inTrash("a1")));
    EXPECT_TRUE(exists(inTrash("a2")));
}

TEST_F(DeleteDialog, EscapeAndTheCloseBoxDoNotEndARun) {
    addGroup("a", {"a1"});
    deleteDialog().setFilesToDelete(Files::AllDuplicates);
    ui::DeleteDialog* dialog = &deleteDialog();
    dialog->show();
    ASSERT_TRUE(dialog->running());
    dialog->reject();
    dialog->close();
    EXPECT_TRUE(dialog->isVisible());
    ASSERT_TRUE(waitUntil([dialog] { return !dialog->running(); }));
    EXPECT_TRUE(dialog->okButton_->isEnabled());
    EXPECT_EQ(treeGroups(), (Strings{path("a")}));
    dialog->okButton_->click();
    EXPECT_TRUE(dialog->isHidden());
}

// The tree of the faults this guards against: a2.txt with its duplicates a1.txt and a3.txt, and a
// picture whose three copies hang under its original.
class DeleteSafely : public DeleteDialog {
protected:
    void SetUp() override {
        DeleteDialog::SetUp();
        files_.writeFile("docs/a2.txt", "text");
        files_.writeFile("photos/a1.txt", "text");
        files_.writeFile("docs/nested/deep/a3.txt", "text");
        files_.writeFile("docs/Bilder/\u00dcn\u00efc\u00f6d\u00e9_\u00dfild.jpg", "picture");
        for (const char* name : {"holiday1.jpg", "holiday2.jpg", "trip/holiday3.jpg"}) {
            files_.writeFile(std::string("photos/") + name, "picture");
        }
        // The originals are the earliest created: make them so.
        backdate(path("docs/a2.txt"));
        backdate(path("docs/Bilder/\u00dcn\u00efc\u00f6d\u00e9_\u00dfild.jpg"));
        addSearchPath(files_.root(), "*.*");
        ASSERT_TRUE(runSearch());
        ASSERT_EQ(treeGroups().size(), 2u);
    }
    static void backdate(const std::string& file) {
        const timespec times[2] = {{1'000'000'000, 0}, {1'000'000'000, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    }
    static void overwrite(const std::string& file, const std::string& bytes) {
        std::ofstream(file, std::ios::binary | std::ios::in | std::ios::out) << bytes;
    }
    // Every content the tree held, each still somewhere outside the trash.
    void expectEveryContentOutsideTheTrash() {
        std::set<std::string> contents;
        for (const auto& entry : fs::recursive_directory_iterator(files_.root())) {
            if (entry.is_regular_file()) {
                std::ifstream in(entry.path(), std::ios::binary);
                contents.insert(std::string(std::istreambuf_iterator<char>(in), {}));
            }
        }
        EXPECT_TRUE(contents.count("text"));
        EXPECT_TRUE(contents.count("picture"));
    }
    std::string original() const { return path("docs/a2.txt"); }
};

TEST_F(DeleteSafely, AnOriginalChangedAfterTheSearchKeepsOneOfItsDuplicates) {
    overwrite(original(), "Text"); // same size
    const DeleteRun run = clickDelete(probe().deleteDuplicatesButton(), true);
    expectEveryContentOutsideTheTrash();
    EXPECT_TRUE(exists(path("photos/a1.txt")) != exists(path("docs/nested/deep/a3.txt")));
    EXPECT_EQ(run.label, "deleted 4 of 5");
    bool listed = false;
    for (const std::string& line : run.memo) {
        listed = listed || line.find("kept: its original changed since the search") != std::string::npos;
    }
    EXPECT_TRUE(listed) << "the kept copy is listed with its reason";
}

TEST_F(DeleteSafely, AVanishedOriginalKeepsOneOfItsDuplicates) {
    fs::remove(path("docs/Bilder/\u00dcn\u00efc\u00f6d\u00e9_\u00dfild.jpg"));
    const DeleteRun run = clickDelete(probe().deleteDuplicatesButton(), true);
    expectEveryContentOutsideTheTrash();
    EXPECT_EQ(run.label, "deleted 4 of 5");
    int left = 0;
    for (const char* name : {"holiday1.jpg", "holiday2.jpg", "trip/holiday3.jpg"}) {
        left += exists(path(std::string("photos/") + name)) ? 1 : 0;
    }
    EXPECT_EQ(left, 1);
}

TEST_F(DeleteSafely, DuplicatesChangedAfterASetWasSavedStayAfterOpen) {
    const std::string saved = home_.path("set.CVN");
    const ui::ResultFileChooser previous =
        ui::setResultFileChooser([&](QWidget*, ui::ResultFileDialog, const ui::FileDialogSettings&) {
            return QString::fromStdString(saved);
        });
    probe().saveClicked();
    overwrite(path("photos/a1.txt"), "TEXT");
    overwrite(path("photos/holiday1.jpg"), "PICTURE");
    probe().duplicateTree()->treeModel()->clear();
    probe().openClicked();
    ui::setResultFileChooser(previous);
    ASSERT_EQ(treeGroups().size(), 2u);

    const DeleteRun run = clickDelete(probe().deleteDuplicatesButton(), true);
    EXPECT_TRUE(exists(path("photos/a1.txt")));
    EXPECT_TRUE(exists(path("photos/holiday1.jpg")));
    EXPECT_EQ(run.label, "deleted 3 of 5");
    EXPECT_EQ(std::count(run.memo.begin(), run.memo.end(),
                         failed("photos/a1.txt", "changed since it was compared")),
              1);
    expectEveryContentOutsideTheTrash();
}

TEST_F(DeleteSafely, AChangeBehindARestoredModificationTimeIsCaught) {
    const std::string file = path("docs/nested/deep/a3.txt");
    struct stat before {};
    ASSERT_EQ(stat(file.c_str(), &before), 0);
    overwrite(file, "TEXT");
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0); // as `touch -r` does
    const DeleteRun run = clickDelete(probe().deleteDuplicatesButton(), true);
    EXPECT_TRUE(exists(file));
    EXPECT_NE(std::find(run.memo.begin(), run.memo.end(),
                        failed("docs/nested/deep/a3.txt", "changed since it was compared")),
              run.memo.end());
}

// A file mounted over another name shows its one inode under two names; the search finds them as
// a group, but neither is a copy of the other.
TEST_F(DeleteDialog, AFileMountedOverAnotherNameIsNeverItsOwnCopy) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "a bind mount needs root (CI runs these tests as root)";
    }
    const std::string only = files_.writeFile("dir/a.txt", "the only copy");
    const std::string over = files_.writeFile("dir/0.txt", "placeholder!!");
    if (::mount(only.c_str(), over.c_str(), nullptr, MS_BIND, nullptr) != 0) {
        GTEST_SKIP() << "cannot bind-mount a file: " << std::strerror(errno);
    }
    addSearchPath(files_.root(), "*.*");
    const bool searched = runSearch();
    const std::vector<std::string> groups = treeGroups();
    const DeleteRun run = clickDelete(probe().deleteDuplicatesButton(), true);
    ::umount2(over.c_str(), MNT_DETACH);
    ASSERT_TRUE(searched);
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(fileContents(only), "the only copy");
    EXPECT_NE(run.question.indexOf("0 file(s) will be moved"), -1) << run.question.toStdString();
    EXPECT_EQ(run.label, "deleted 0 of 1");
}

TEST_F(DeleteSafely, CheckingEveryCopyIsSaidBeforeAnythingMoves) {
    ui::DuplicateTreeModel* model = tree();
    const QModelIndex text = model->index(0, 0);
    check(text);
    for (int row = 0; row < model->rowCount(text); ++row) {
        check(child(text, row));
    }
    DeleteRun run = clickDelete(probe().deleteCheckedButton(), false);
    // The warning leads, and Enter alone answers Cancel.
    EXPECT_TRUE(run.question.startsWith("3 of the files are the last copies of their contents"))
        << run.question.toStdString();
    EXPECT_TRUE(run.cancelIsDefault);
    EXPECT_TRUE(exists(original()));
    EXPECT_FALSE(run.dialogShown);

    run = clickDelete(probe().deleteCheckedButton(), true);
    EXPECT_EQ(run.label, "deleted 3 of 3");
    EXPECT_FALSE(exists(original()));
}

} // namespace
} // namespace corvane::testing
