// The main window's Select menu and File > Export, after real searches of temporary trees.

#include "message_recorder.h"
#include "scoped_environment.h"
#include "window_fixture.h"

#include "engine/keep_rules.h"
#include "stream/byte_streams.h"
#include "support/program_run.h"
#include "support/temp_tree.h"
#include "ui/desktop/result_files.h"
#include "ui/forms/list_controls_qt.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace corvane::testing {
namespace {

using Strings = std::vector<std::string>;

// Gives `path` the modification time `seconds` after the epoch.
void setModified(const std::string& path, time_t seconds) {
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

std::string fileText(const std::string& path) {
    const std::vector<uint8_t> bytes = stream::readWholeFile(path);
    return std::string(bytes.begin(), bytes.end());
}

// The export dialog's filters, in their order.
constexpr int kCsvFilter = 0;
constexpr int kJsonFilter = 1;

// The whole number written after `"name": ` the first time; -1 when there is none.
int64_t jsonNumber(const std::string& json, const std::string& name) {
    const std::string key = "\"" + name + "\": ";
    const size_t at = json.find(key);
    return at == std::string::npos ? -1 : std::stoll(json.substr(at + key.size()));
}

// Runs `answer` on the next file dialog once it is open and modal.
void answerNextFileDialog(QObject* owner, std::function<void(QFileDialog&)> answer) {
    auto* poll = new QTimer(owner);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, answer = std::move(answer)] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            answer(*dialog);
        }
    });
    poll->start(10);
}

class SelectAndExport : public WindowFixture {
protected:
    void TearDown() override {
        ui::setResultFileChooser({});
        WindowFixture::TearDown();
    }

    ui::DuplicateTreeModel& tree() { return *probe().duplicateTree()->treeModel(); }

    // Each group by its original: the paths of the group's ticked files.
    std::map<std::string, std::set<std::string>> tickedByGroup() {
        std::map<std::string, std::set<std::string>> groups;
        for (int g = 0; g < tree().rowCount(); ++g) {
            const QModelIndex top = tree().index(g, 0);
            std::set<std::string>& ticked = groups[tree().node(top)->text];
            for (int i = -1; i < tree().rowCount(top); ++i) {
                const ui::DuplicateNode* node = tree().node(i < 0 ? top : tree().index(i, 0, top));
                if (node->stateIndex == ui::kStateChecked) {
                    ticked.insert(node->text);
                }
            }
        }
        return groups;
    }

    // The paths of the group whose original or duplicate `member` is, original first.
    Strings groupOf(const std::string& member) {
        for (const std::string& line : treeGroups()) {
            Strings paths;
            for (size_t from = 0;;) {
                const size_t bar = line.find('|', from);
                paths.push_back(line.substr(from, bar - from));
                if (bar == std::string::npos) {
                    break;
                }
                from = bar + 1;
            }
            if (std::find(paths.begin(), paths.end(), member) != paths.end()) {
                return paths;
            }
        }
        return {};
    }

    QModelIndex indexOf(const std::string& path) {
        for (int g = 0; g < tree().rowCount(); ++g) {
            const QModelIndex top = tree().index(g, 0);
            for (int i = -1; i < tree().rowCount(top); ++i) {
                const QModelIndex at = i < 0 ? top : tree().index(i, 0, top);
                if (tree().node(at)->text == path) {
                    return at;
                }
            }
        }
        return {};
    }

    std::vector<QAction*> selectEntries() {
        std::vector<QAction*> entries = probe().keepRuleActions();
        entries.push_back(probe().untickAllAction());
        entries.push_back(probe().invertGroupAction());
        return entries;
    }

    // Chooses `name` in the export dialog under the filter `filter` (by default the one of the
    // name's extension) and exports; the messages boxes shown meanwhile.
    std::vector<MessageRecorder::Message> exportAs(const std::string& name, std::optional<int> filter = {}) {
        const int chosen = filter.value_or(name.ends_with(".json") ? kJsonFilter : kCsvFilter);
        ui::setResultFileChooser(
            [name, chosen](QWidget*, ui::ResultFileDialog, const ui::FileDialogSettings&) {
                return ui::ChosenFile(QString::fromStdString(name), chosen);
            });
        MessageRecorder recorder;
        probe().exportAction()->trigger();
        return recorder.messages;
    }

    TempTree tree_;
};

// Two search paths, a group whose every rule keeps another copy, and a pair beside it.
TEST_F(SelectAndExport, EachRuleTicksEveryCopyButTheOneItKeepsInEveryGroup) {
    const std::string first = tree_.makeDir("one");
    const std::string second = tree_.makeDir("two");
    const std::string inFirst = tree_.writeFile("one/in-first.txt", "five alike");
    const std::string oldest = tree_.writeFile("two/oldest.txt", "five alike");
    const std::string newest = tree_.writeFile("two/newest.txt", "five alike");
    const std::string shortest = tree_.writeFile("two/s.txt", "five alike");
    const std::string longest = tree_.writeFile("two/deep/deeper/the-longest-name.txt", "five alike");
    const std::string pairOld = tree_.writeFile("two/pair-a.txt", "a pair");
    const std::string pairNew = tree_.writeFile("one/pair-bb.txt", "a pair");
    for (const std::string& path : {inFirst, shortest, longest}) {
        setModified(path, 3'000'000);
    }
    setModified(oldest, 1'000'000);
    setModified(newest, 5'000'000);
    setModified(pairOld, 2'000'000);
    setModified(pairNew, 4'000'000);
    addSearchPath(first);
    addSearchPath(second);
    ASSERT_TRUE(runSearch());
    const Strings five = groupOf(oldest);
    const Strings pair = groupOf(pairOld);
    ASSERT_EQ(five.size(), 5u);
    ASSERT_EQ(pair.size(), 2u);
    EXPECT_FALSE(probe().deleteCheckedButton()->isEnabled());

    const auto allBut = [](const Strings& group, const std::string& kept) {
        std::set<std::string> ticked(group.begin(), group.end());
        EXPECT_EQ(ticked.erase(kept), 1u) << kept;
        return ticked;
    };
    const std::map<engine::KeepRule, std::pair<std::string, std::string>> kept{
        {engine::KeepRule::Original, {five.front(), pair.front()}},
        {engine::KeepRule::Oldest, {oldest, pairOld}},
        {engine::KeepRule::Newest, {newest, pairNew}},
        {engine::KeepRule::FirstFolder, {inFirst, pairNew}},
        {engine::KeepRule::ShortestPath, {shortest, pairOld.size() < pairNew.size() ? pairOld : pairNew}},
        {engine::KeepRule::LongestPath, {longest, pairOld.size() < pairNew.size() ? pairNew : pairOld}},
    };
    ASSERT_EQ(probe().keepRuleActions().size(), kept.size());
    for (const auto& [rule, keepers] : kept) {
        probe().keepRuleActions()[static_cast<size_t>(rule)]->trigger();
        const auto ticked = tickedByGroup();
        EXPECT_EQ(ticked.at(five.front()), allBut(five, keepers.first)) << engine::keepRuleName(rule);
        EXPECT_EQ(ticked.at(pair.front()), allBut(pair, keepers.second)) << engine::keepRuleName(rule);
    }
    // The ticks are something to delete; nothing was acted on.
    EXPECT_TRUE(probe().deleteCheckedButton()->isEnabled());
    EXPECT_TRUE(probe().deleteDuplicatesButton()->isEnabled());
    for (const std::string& path : five) {
        EXPECT_TRUE(std::filesystem::exists(path)) << path;
    }
}

TEST_F(SelectAndExport, InvertTurnsTheCurrentGroupAroundAndUntickAllClearsEveryGroup) {
    tree_.writeFile("a1.txt", "group a");
    const std::string a2 = tree_.writeFile("a2.txt", "group a");
    tree_.writeFile("a3.txt", "group a");
    const std::string b1 = tree_.writeFile("b1.txt", "group b");
    tree_.writeFile("b2.txt", "group b");
    addSearchPath(tree_.root());
    ASSERT_TRUE(runSearch());
    ASSERT_EQ(treeGroups().size(), 2u);
    // Without a current node there is no group to invert.
    probe().duplicateTree()->setCurrentIndex({});
    EXPECT_FALSE(probe().invertGroupAction()->isEnabled());

    probe().keepRuleActions()[static_cast<size_t>(engine::KeepRule::Original)]->trigger();
    const auto ruled = tickedByGroup();
    probe().duplicateTree()->setCurrentIndex(indexOf(a2));
    ASSERT_TRUE(probe().invertGroupAction()->isEnabled());
    probe().invertGroupAction()->trigger();
    auto inverted = tickedByGroup();
    const Strings groupA = groupOf(a2);
    const std::string originalA = groupA.front();
    const std::string originalB = groupOf(b1).front();
    EXPECT_EQ(inverted.at(originalA), (std::set<std::string>{originalA}));
    EXPECT_EQ(inverted.at(originalB), ruled.at(originalB));
    // Twice is as before.
    probe().invertGroupAction()->trigger();
    EXPECT_EQ(tickedByGroup(), ruled);

    // From the keyboard, wherever the focus is in the window.
    QTest::keyClick(&main(), Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    for (const auto& [original, ticked] : tickedByGroup()) {
        EXPECT_TRUE(ticked.empty()) << original;
    }
    // Inverting a group without ticks ticks all of it.
    QTest::keyClick(&main(), Qt::Key_I, Qt::ControlModifier);
    inverted = tickedByGroup();
    EXPECT_EQ(inverted.at(originalA), std::set<std::string>(groupA.begin(), groupA.end()));
    EXPECT_TRUE(inverted.at(originalB).empty());
}

TEST_F(SelectAndExport, EntriesWaitForATreeWithGroupsAndForTheSearchToEnd) {
    const auto enabled = [this] {
        std::vector<bool> states;
        for (QAction* action : selectEntries()) {
            states.push_back(action->isEnabled());
        }
        states.push_back(probe().exportAction()->isEnabled());
        return states;
    };
    const std::vector<bool> none(selectEntries().size() + 1, false);
    EXPECT_EQ(enabled(), none);
    tree_.writeFile("lonely.txt", "no other");
    addSearchPath(tree_.root());
    ASSERT_TRUE(runSearch());
    EXPECT_EQ(enabled(), none) << "a search without groups";

    tree_.writeFile("x.txt", "same");
    tree_.writeFile("y.txt", "same");
    ASSERT_TRUE(runSearch());
    ASSERT_EQ(treeGroups().size(), 1u);
    probe().duplicateTree()->setCurrentIndex(tree().index(0, 0));
    EXPECT_EQ(enabled(), std::vector<bool>(none.size(), true));

    probe().searchButton()->click();
    EXPECT_EQ(enabled(), none) << "while a search runs";
    ASSERT_TRUE(waitUntil([this] { return idle(); }));
    probe().duplicateTree()->setCurrentIndex(tree().index(0, 0));
    EXPECT_EQ(enabled(), std::vector<bool>(none.size(), true));

    // The Select menu stands between the Edit and the Search menus, before the description's Help.
    QStringList titles;
    for (const QAction* menu : qobject_cast<QMenuBar*>(main().menuWidget())->actions()) {
        titles << menu->text().remove('&');
    }
    EXPECT_EQ(titles, (QStringList{"File", "Edit", "Select", "Search", "Help"}));
}

// Export writes what `corvane-cli find` prints after the same search, in either form: groups in
// the comparer's order, a name with a comma, a quote or bytes that are not UTF-8, and hard links,
// whose bytes count once.
TEST_F(SelectAndExport, ExportWritesTheBytesTheCommandLinePrintsAfterTheSameSearch) {
    tree_.writeFile("zz.txt", "first pair");
    tree_.writeFile("sub/aa.txt", "first pair");
    tree_.writeFile("with, comma.txt", "three alike");
    tree_.writeFile("with \"quote\".txt", "three alike");
    tree_.writeFile("bad\xff.txt", "three alike");
    const std::string linked = tree_.writeFile("linked.txt", "linked twice and copied");
    ASSERT_EQ(::link(linked.c_str(), tree_.path("link.txt").c_str()), 0);
    tree_.writeFile("copy.txt", "linked twice and copied");
    tree_.writeFile("alone.txt", "nothing like it");
    addSearchPath(tree_.root(), "*.txt");
    ASSERT_TRUE(runSearch());
    ASSERT_EQ(treeGroups().size(), 3u);
    // Ticks are no part of the report.
    probe().keepRuleActions()[static_cast<size_t>(engine::KeepRule::LongestPath)]->trigger();

    TempTree out;
    const std::string older = out.writeFile("groups.csv", "an older export");
    for (const auto& [name, format] : {std::pair{std::string("groups.csv"), std::string("csv")},
                                       std::pair{std::string("groups.json"), std::string("json")}}) {
        const ProgramRun run = runProgram(
            CORVANE_CLI_PATH, {"find", "--quiet", "--format", format, "-t", "*.txt", tree_.root()});
        ASSERT_EQ(run.status, 0) << run.err;
        ASSERT_TRUE(exportAs(out.path(name)).empty());
        EXPECT_EQ(fileText(out.path(name)), run.out) << format;
    }
    EXPECT_NE(fileText(older), "an older export");
    // Only the two files: no temporary name is left beside them.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out.root()), {}), 2);

    // A tree read from a saved set holds nothing the comparer saw: sizes and files are looked at
    // now, and the order of the searched files gives the comparer's order back.
    const std::string exported = fileText(out.path("groups.json"));
    TempTree sets;
    ui::setResultFileChooser([&](QWidget*, ui::ResultFileDialog, const ui::FileDialogSettings&) {
        return QString::fromStdString(sets.path("set.CVN"));
    });
    probe().saveClicked();
    ASSERT_TRUE(std::filesystem::exists(sets.path("set.CVN.~DF~")));
    probe().searchPathList()->listModel()->clear();
    probe().searchedFilesList()->listModel()->clear();
    tree().clear();
    EXPECT_FALSE(probe().exportAction()->isEnabled());
    main().openResultSet(sets.path("set.CVN"));
    ASSERT_EQ(treeGroups().size(), 3u);
    ASSERT_TRUE(exportAs(out.path("opened.json")).empty());
    EXPECT_EQ(fileText(out.path("opened.json")), exported);
}

// With a reference folder, marked after the search, the export marks its copy as the one that
// stays, as the window keeps it: the command line acting on the export keeps it too.
TEST_F(SelectAndExport, TheExportKeepsTheCopyInAReferenceFolder) {
    const std::string inbox = tree_.writeFile("inbox/p.jpg", "photo");
    const std::string archive = tree_.writeFile("archive/p.jpg", "photo");
    const std::string archiveCopy = tree_.writeFile("archive/old/p.jpg", "photo"); // stays as well
    const std::string note = tree_.writeFile("inbox/q1.txt", "note");
    const std::string noteCopy = tree_.writeFile("inbox/q2.txt", "note");
    for (const char* folder : {"inbox", "archive"}) {
        ASSERT_TRUE(withDialog(probe().addPathButton(), [&](ui::PathDialog& dialog) {
            dialog.pathField_->setText(QString::fromStdString(tree_.path(folder)));
            dialog.okButton_->click();
        }));
    }
    ASSERT_TRUE(runSearch());
    ASSERT_EQ(groupOf(archive), (Strings{inbox, archiveCopy, archive}));
    probe().searchPathList()->selectionModel()->select(probe().searchPathList()->listModel()->index(1, 0),
                                                       QItemSelectionModel::ClearAndSelect |
                                                           QItemSelectionModel::Rows);
    ASSERT_TRUE(withDialog(probe().editPathButton(), [](ui::PathDialog& dialog) {
        dialog.referenceBox_->setChecked(true);
        dialog.okButton_->click();
    }));

    TempTree out;
    ASSERT_TRUE(exportAs(out.path("groups.json")).empty());
    ASSERT_TRUE(exportAs(out.path("groups.csv")).empty());
    const std::string json = fileText(out.path("groups.json"));
    for (const auto& [file, kept] :
         {std::pair{archive, true}, {archiveCopy, true}, {inbox, false}, {note, true}, {noteCopy, false}}) {
        EXPECT_NE(json.find("{\"path\": \"" + file + "\", \"keep\": " + (kept ? "true}" : "false}")),
                  std::string::npos)
            << file << " in " << json;
    }
    // The CSV names a copy that stays first, as `find --keep` does, and each copy that stays as such.
    const std::string csv = fileText(out.path("groups.csv"));
    const size_t duplicateRow = csv.find(",5,duplicate," + inbox + "\n");
    EXPECT_NE(duplicateRow, std::string::npos) << csv;
    EXPECT_LT(csv.find(",5,keep,"), duplicateRow) << csv;
    EXPECT_NE(csv.find(",5,keep," + archive + "\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find(",5,keep," + archiveCopy + "\n"), std::string::npos) << csv;

    TempTree home;
    ScopedEnvironment env;
    env.set("HOME", QByteArray::fromStdString(home.root()));
    env.unset("XDG_DATA_HOME");
    env.unset("XDG_STATE_HOME");
    const ProgramRun run = runProgram(CORVANE_CLI_PATH, {"trash", "--from-json", out.path("groups.json")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(std::filesystem::exists(archive));
    EXPECT_TRUE(std::filesystem::exists(archiveCopy));
    EXPECT_TRUE(std::filesystem::exists(note));
    EXPECT_FALSE(std::filesystem::exists(inbox));
    EXPECT_FALSE(std::filesystem::exists(noteCopy));
}

// The filter chosen decides the format, whatever the name typed ends with.
TEST_F(SelectAndExport, TheFilterChosenDecidesTheFormat) {
    tree_.writeFile("x.txt", "same");
    tree_.writeFile("y.txt", "same");
    addSearchPath(tree_.root(), "*.txt");
    ASSERT_TRUE(runSearch());
    TempTree out;
    for (const auto& [name, filter, format] :
         {std::tuple{"report.txt", kJsonFilter, "json"}, std::tuple{"report.json", kCsvFilter, "csv"},
          std::tuple{"report.csv", kJsonFilter, "json"}}) {
        const ProgramRun run = runProgram(
            CORVANE_CLI_PATH, {"find", "--quiet", "--format", format, "-t", "*.txt", tree_.root()});
        ASSERT_EQ(run.status, 0) << run.err;
        ASSERT_TRUE(exportAs(out.path(name), filter).empty());
        EXPECT_EQ(fileText(out.path(name)), run.out) << name << " as " << format;
    }
}

// After runs on the files the tree's groups no longer hold what the comparer saw: the export's
// numbers are those a search now finds, and a group with only its original left is none.
TEST_F(SelectAndExport, TheExportCountsTheFilesAsTheyAreNow) {
    const std::string linked = tree_.writeFile("a.bin", "made one file after the search");
    tree_.writeFile("b.bin", "made one file after the search");
    const std::string three = tree_.writeFile("c.bin", "three of these");
    tree_.writeFile("d.bin", "three of these");
    tree_.writeFile("e.bin", "three of these");
    const std::string lone = tree_.writeFile("f.bin", "one left");
    tree_.writeFile("g.bin", "one left");
    addSearchPath(tree_.root(), "*.bin");
    ASSERT_TRUE(runSearch());
    ASSERT_EQ(treeGroups().size(), 3u);
    // A link run makes the pair names of one file.
    const Strings pair = groupOf(linked);
    ASSERT_EQ(::unlink(pair[1].c_str()), 0);
    ASSERT_EQ(::link(pair[0].c_str(), pair[1].c_str()), 0);
    // Delete leaves a group with its original alone.
    const std::string gone = groupOf(lone)[1];
    std::filesystem::remove(gone);
    tree().removeNode(indexOf(gone));
    TempTree out;
    const auto exportNow = [&] {
        EXPECT_TRUE(exportAs(out.path("now.json")).empty());
        const std::string json = fileText(out.path("now.json"));
        const ProgramRun run =
            runProgram(CORVANE_CLI_PATH, {"find", "--quiet", "--json", "-t", "*.bin", tree_.root()});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(jsonNumber(json, "reclaimable"), jsonNumber(run.out, "reclaimable")) << json;
        return json;
    };
    std::string json = exportNow();
    EXPECT_EQ(json.find(groupOf(lone)[0]), std::string::npos) << json;
    EXPECT_EQ(json.find("\"duplicates\": []"), std::string::npos) << json;

    // A set read back holds nothing the comparer saw; the original of the three goes after that.
    TempTree sets;
    ui::setResultFileChooser([&](QWidget*, ui::ResultFileDialog, const ui::FileDialogSettings&) {
        return QString::fromStdString(sets.path("set.CVN"));
    });
    probe().saveClicked();
    probe().searchedFilesList()->listModel()->clear();
    tree().clear();
    main().openResultSet(sets.path("set.CVN"));
    ASSERT_EQ(treeGroups().size(), 3u);
    const Strings threeGroup = groupOf(three);
    std::filesystem::remove(threeGroup[0]);
    json = exportNow();
    EXPECT_NE(json.find("{\"size\": " + std::to_string(std::filesystem::file_size(threeGroup[1])) +
                        ", \"original\": \"" + threeGroup[0] + "\""),
              std::string::npos)
        << json;
}

// Qt's file dialogs keep their folder history in a settings file of the user unless kept from it;
// the program writes no settings. The export dialog gives a name typed without an extension the
// one of the filter chosen, and writes that filter's format.
TEST_F(SelectAndExport, TheFileDialogsLeaveNoSettingsFile) {
    TempTree config;
    ScopedEnvironment env;
    env.set("XDG_CONFIG_HOME", QByteArray::fromStdString(config.root()));
    tree_.writeFile("x.txt", "same");
    tree_.writeFile("y.txt", "same");
    addSearchPath(tree_.root(), "*.txt");
    ASSERT_TRUE(runSearch());

    TempTree out;
    int answered = 0;
    answerNextFileDialog(&main(), [&](QFileDialog& dialog) {
        ++answered;
        dialog.selectNameFilter(dialog.nameFilters().value(kJsonFilter));
        dialog.selectFile(QString::fromStdString(out.path("report")));
        // Save, as the button or Enter would.
        QMetaObject::invokeMethod(&dialog, "accept");
    });
    probe().exportAction()->trigger();
    const ProgramRun run =
        runProgram(CORVANE_CLI_PATH, {"find", "--quiet", "--json", "-t", "*.txt", tree_.root()});
    EXPECT_EQ(fileText(out.path("report.json")), run.out);

    const auto cancel = [&](QFileDialog& dialog) {
        ++answered;
        dialog.reject();
    };
    answerNextFileDialog(&main(), cancel);
    probe().saveClicked();
    answerNextFileDialog(&main(), cancel);
    probe().openClicked();
    ASSERT_TRUE(withDialog(probe().addPathButton(), [&](ui::PathDialog& dialog) {
        answerNextFileDialog(&main(), cancel);
        dialog.browseButton_->click();
    }));
    EXPECT_EQ(answered, 4);
    EXPECT_TRUE(std::filesystem::is_empty(config.root()));
    // Nothing else of Qt can keep settings of the user either.
    EXPECT_FALSE(QSettings(QSettings::UserScope, QStringLiteral("QtProject")).isWritable());
}

TEST_F(SelectAndExport, AnExportThatCannotBeWrittenShowsTheErrorBoxAndLeavesTheOlderFile) {
    tree_.writeFile("x.txt", "same");
    tree_.writeFile("y.txt", "same");
    addSearchPath(tree_.root());
    ASSERT_TRUE(runSearch());
    TempTree out;
    const std::string folder = out.makeDir("a folder.json");
    const auto messages = exportAs(folder);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.startsWith("Cannot create file \"" + QString::fromStdString(folder) + "\"."))
        << messages[0].text.toStdString();
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out.root()), {}), 1);
}

} // namespace
} // namespace corvane::testing
