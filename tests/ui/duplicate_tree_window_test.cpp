// The duplicate tree on the main window: checking nodes by their picture or the space bar, the
// file information box, and opening a file or its folder.

#include "message_recorder.h"
#include "window_fixture.h"

#include "support/temp_tree.h"
#include "ui/desktop/desktop_shell.h"
#include "ui/forms/list_controls_qt.h"

#include <QApplication>
#include <QDate>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <filesystem>

// Failures show texts, not code units.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace corvane::testing {
namespace {

using ui::kStateChecked;
using ui::kStateRadioOff;
using ui::kStateRadioOn;
using ui::kStateUnchecked;

// The main window under a German locale (decimal comma, its own long date format), with the
// desktop replaced: URLs to open are collected, and there is no bus for a file manager.
class DuplicateTreeWindow : public WindowFixture {
protected:
    void SetUp() override {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        WindowFixture::SetUp();
        services_ = ui::desktopServices();
        ui::desktopServices().openUrl = [this](const QUrl& url) {
            opened.push_back(url.toEncoded());
            return true;
        };
        ui::desktopServices().bus = [] { return QDBusConnection(QStringLiteral("corvane-test-no-bus")); };
    }

    void TearDown() override {
        ui::desktopServices() = services_;
        WindowFixture::TearDown();
        QLocale::setDefault(QLocale::system());
    }

    ui::TreeViewWidget& tree() { return *probe().duplicateTree(); }
    ui::DuplicateTreeModel& model() { return *tree().treeModel(); }

    // Appends a group, shows all nodes and returns the top-level node.
    QModelIndex addGroup(const std::string& file, const std::vector<std::string>& duplicates) {
        const QModelIndex group = model().appendGroup(file, duplicates);
        tree().expandAll();
        QApplication::processEvents();
        return group;
    }

    QRect imageRect(const QModelIndex& node) { return tree().stateImageRect(node); }
    void clickAt(const QPoint& pos) { QTest::mouseClick(tree().viewport(), Qt::LeftButton, {}, pos); }
    void clickImage(const QModelIndex& node) { clickAt(imageRect(node).center()); }
    void clickText(const QModelIndex& node) { clickAt(imageRect(node).center() + QPoint(40, 0)); }
    void pressSpace() { QTest::keyClick(&tree(), Qt::Key_Space); }
    void select(const QModelIndex& node) {
        tree().selectionModel()->setCurrentIndex(node, QItemSelectionModel::ClearAndSelect);
    }
    int32_t state(const QModelIndex& node) { return model().node(node)->stateIndex; }

    // The four boxes of "File Information", top to bottom.
    std::vector<QString> box() {
        return {probe().fileTypeField()->text(), probe().locationField()->text(), probe().sizeField()->text(),
                probe().createdField()->text()};
    }

    std::vector<QByteArray> opened;

private:
    ui::DesktopServices services_;
};

TEST_F(DuplicateTreeWindow, OnlyAClickOnThePictureOrTheSpaceBarToggles) {
    struct Case {
        int32_t before;
        int32_t after;
    };
    // Unchecked and checked swap; radio off turns on; radio on and no picture stay.
    const Case cases[] = {{kStateUnchecked, kStateChecked},
                          {kStateChecked, kStateUnchecked},
                          {kStateRadioOff, kStateRadioOn},
                          {kStateRadioOn, kStateRadioOn},
                          {-1, -1}};
    const QModelIndex group = addGroup("/srv/original", {"/srv/copy"});
    const QModelIndex copy = model().index(0, 0, group);
    for (const Case& c : cases) {
        model().setStateIndex(copy, c.before);
        clickText(copy);
        EXPECT_EQ(tree().currentIndex(), copy);
        EXPECT_EQ(state(copy), c.before) << "a click on the text only selects";
        if (c.before >= 0) { // a node without a picture has nothing to click on
            clickImage(copy);
            EXPECT_EQ(state(copy), c.after) << "click, from " << c.before;
        }
        model().setStateIndex(copy, c.before);
        pressSpace();
        EXPECT_EQ(state(copy), c.after) << "space bar, from " << c.before;
    }
    EXPECT_EQ(state(group), kStateUnchecked);
}

TEST_F(DuplicateTreeWindow, ARadioNodeTurnsOnAndItsRadioSiblingsOff) {
    const QModelIndex first = addGroup("/srv/a", {"/srv/a1", "/srv/a2", "/srv/a3", "/srv/a4"});
    const QModelIndex second = addGroup("/srv/b", {"/srv/b1"});
    const QModelIndex third = addGroup("/srv/c", {"/srv/c1"});
    const auto child = [&](int row) { return model().index(row, 0, first); };
    model().setStateIndex(child(0), kStateRadioOn);
    model().setStateIndex(child(1), kStateChecked);
    model().setStateIndex(child(2), kStateRadioOff);
    model().setStateIndex(child(3), kStateUnchecked);
    model().setStateIndex(model().index(0, 0, second), kStateRadioOn); // another parent's child
    clickImage(child(2));
    EXPECT_EQ(state(child(0)), kStateRadioOff);
    EXPECT_EQ(state(child(1)), kStateChecked);
    EXPECT_EQ(state(child(2)), kStateRadioOn);
    EXPECT_EQ(state(child(3)), kStateUnchecked);
    EXPECT_EQ(state(model().index(0, 0, second)), kStateRadioOn);

    // Top-level nodes have all top-level nodes as siblings.
    model().setStateIndex(first, kStateRadioOn);
    model().setStateIndex(second, kStateRadioOff);
    model().setStateIndex(third, kStateChecked);
    select(second);
    pressSpace();
    EXPECT_EQ(state(first), kStateRadioOff);
    EXPECT_EQ(state(second), kStateRadioOn);
    EXPECT_EQ(state(third), kStateChecked);
    EXPECT_EQ(state(child(2)), kStateRadioOn);
}

TEST_F(DuplicateTreeWindow, SpaceBarLeavesTheBoxAndOtherKeysGoToTheTree) {
    const QModelIndex group = addGroup("/srv/original", {"/srv/copy"});
    clickText(group);
    probe().fileTypeField()->setText("as before");
    pressSpace();
    EXPECT_EQ(state(group), kStateChecked);
    pressSpace();
    EXPECT_EQ(state(group), kStateUnchecked);
    EXPECT_EQ(probe().fileTypeField()->text(), "as before");
    QTest::keyClick(&tree(), Qt::Key_Down);
    EXPECT_EQ(tree().currentIndex(), model().index(0, 0, group));
    EXPECT_EQ(state(group), kStateUnchecked);
}

TEST_F(DuplicateTreeWindow, TheBoxShowsTypeLocationSizeAndCreationDate) {
    TempTree files;
    const std::string original = files.writeFile("photo.jpg", std::string(1536, 'x'));
    const std::string big = files.path("big.iso");
    {
        // Sparse: 5 GiB that take no room.
        std::FILE* f = std::fopen(big.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fclose(f);
        std::filesystem::resize_file(big, 5LL * 1024 * 1024 * 1024);
    }
    const QDate today = QDate::currentDate();
    const QModelIndex group = addGroup(original, {big});
    EXPECT_FALSE(probe().openFileButton()->isEnabled());
    EXPECT_FALSE(probe().deleteDuplicatesButton()->isEnabled());

    clickText(group);
    const QLocale german(QLocale::German, QLocale::Germany);
    // Made just now: today, unless the day ended in between.
    const QString date = probe().createdField()->text();
    EXPECT_TRUE(date == german.toString(today, QLocale::LongFormat) ||
                date == german.toString(QDate::currentDate(), QLocale::LongFormat))
        << date.toStdString();
    EXPECT_EQ(box(),
              (std::vector<QString>{"Original file", QString::fromStdString(original), "1,50 KB", date}));
    for (QPushButton* b : {probe().openFileButton(), probe().openFolderButton(),
                           probe().deleteDuplicatesButton(), probe().deleteCheckedButton()}) {
        EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();
    }

    clickImage(model().index(0, 0, group));
    EXPECT_EQ(box(),
              (std::vector<QString>{"Duplicate file", QString::fromStdString(big), "5120,00 MB", date}));
}

TEST_F(DuplicateTreeWindow, AMissingFileShowsUnknownAndCanStillBeOpened) {
    TempTree files;
    const std::string gone = files.path("gone.txt");
    const QModelIndex group = addGroup(files.writeFile("here.txt", "x"), {gone});
    clickImage(model().index(0, 0, group));
    EXPECT_EQ(box(),
              (std::vector<QString>{"Duplicate file", QString::fromStdString(gone), "Unknown", "Unknown"}));
    EXPECT_TRUE(probe().openFileButton()->isEnabled());
    EXPECT_TRUE(probe().openFolderButton()->isEnabled());
    EXPECT_TRUE(probe().deleteDuplicatesButton()->isEnabled());
    EXPECT_TRUE(probe().deleteCheckedButton()->isEnabled());
}

TEST_F(DuplicateTreeWindow, AClickOnEmptySpaceRefreshesTheBoxOfTheSelectedNodeOnly) {
    const QModelIndex group = addGroup("/srv/original", {"/srv/copy"});
    // Nothing selected: nothing to show, nothing enabled.
    clickAt(QPoint(5, tree().viewport()->height() - 3));
    EXPECT_EQ(box(), (std::vector<QString>{"", "", "", ""}));
    EXPECT_FALSE(probe().deleteDuplicatesButton()->isEnabled());

    const QModelIndex copy = model().index(0, 0, group);
    select(copy);
    clickAt(QPoint(5, tree().viewport()->height() - 3));
    EXPECT_EQ(tree().currentIndex(), copy);
    EXPECT_EQ(box(), (std::vector<QString>{"Duplicate file", "/srv/copy", "Unknown", "Unknown"}));
    EXPECT_EQ(state(copy), kStateUnchecked);
    EXPECT_TRUE(probe().deleteDuplicatesButton()->isEnabled());
}

TEST_F(DuplicateTreeWindow, OpenFileAndOpenFolderUseTheExactBytesOfTheSelectedPath) {
    TempTree files;
    const std::string name =
        files.writeFile("caf\xe9 #1.txt", "x"); // not UTF-8, and characters a URL escapes
    const QModelIndex group = addGroup("/srv/original", {name});
    probe().openFileClicked();
    probe().openFolderClicked();
    EXPECT_TRUE(opened.empty()) << "nothing selected, nothing opened";

    clickText(model().index(0, 0, group));
    probe().openFileButton()->click();
    // Without a file manager on the bus the folder is opened.
    probe().openFolderButton()->click();
    const QByteArray root = QByteArray::fromStdString(files.root());
    EXPECT_EQ(opened, (std::vector<QByteArray>{"file://" + root + "/caf%E9%20%231.txt", "file://" + root}));
}

TEST_F(DuplicateTreeWindow, WhatTheDesktopCannotOpenIsSaidInAMessage) {
    TempTree files;
    const std::string file = files.writeFile("a.txt", "x");
    const QModelIndex group = addGroup(file, {files.path("gone.txt")});
    MessageRecorder recorder;

    clickText(model().index(0, 0, group)); // a file that is no longer there
    probe().openFileButton()->click();
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].title, "Warning");
    EXPECT_EQ(recorder.messages[0].text.toStdString(),
              "The file \"" + files.path("gone.txt") + "\" cannot be opened: it is not there any more.");
    EXPECT_TRUE(opened.empty());

    // A desktop with no program for the file, and no file manager nor program for its folder.
    ui::desktopServices().openUrl = [](const QUrl&) { return false; };
    clickText(group);
    probe().openFileButton()->click();
    probe().openFolderButton()->click();
    ASSERT_EQ(recorder.messages.size(), 3u);
    EXPECT_EQ(recorder.messages[1].text.toStdString(),
              "The file \"" + file + "\" cannot be opened: the desktop has no program to open it with.");
    EXPECT_EQ(recorder.messages[2].text.toStdString(),
              "The folder of \"" + file +
                  "\" cannot be shown: the desktop has no file manager to "
                  "show it in.");
}

// Two names that differ never look alike: control characters and bytes that are not UTF-8 show as
// escapes in the tree, the lists, the box and the messages, as the command line writes them.
TEST_F(DuplicateTreeWindow, NamesShowWithVisibleEscapesEverywhere) {
    const std::string newline = "/srv/q\n-line.dat";
    const std::string latin1 = "/srv/caf\xe9";
    const std::string utf8 = "/srv/caf\xc3\xa9";
    const std::string lookalike = "/srv/caf\\xE9";
    const QModelIndex group = addGroup(newline, {latin1, utf8, lookalike});
    // What the tree shows for the node of each name (the children are in the tree's order).
    const auto shown = [&](const std::string& bytes) {
        for (const QModelIndex& node :
             {group, model().index(0, 0, group), model().index(1, 0, group), model().index(2, 0, group)}) {
            if (model().node(node)->text == bytes) {
                return node.data(Qt::DisplayRole).toString();
            }
        }
        return QString("(no node)");
    };
    EXPECT_EQ(shown(newline), "/srv/q\\x0A-line.dat");
    EXPECT_EQ(shown(latin1), "/srv/caf\\xE9");
    EXPECT_EQ(shown(utf8), QString::fromUtf8("/srv/caf\xc3\xa9"));
    EXPECT_EQ(shown(lookalike), "/srv/caf\\x5CxE9");

    ui::SearchedFilesModel* files = probe().searchedFilesList()->listModel();
    files->appendFile(newline, "1", "1.1.2026");
    files->appendFile(latin1, "1", "1.1.2026");
    files->flushAppendedRows();
    EXPECT_EQ(files->index(0, 0).data(Qt::DisplayRole).toString(), "/srv/q\\x0A-line.dat");
    EXPECT_EQ(files->index(1, 0).data(Qt::DisplayRole).toString(), "/srv/caf\\xE9");

    select(group);
    EXPECT_EQ(probe().locationField()->text(), "/srv/q\\x0A-line.dat");
    MessageRecorder recorder;
    probe().openFileButton()->click();
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text,
              "The file \"/srv/q\\x0A-line.dat\" cannot be opened: it is not there any more.");
}

} // namespace
} // namespace corvane::testing
