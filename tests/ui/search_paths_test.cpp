// The search path list and the path dialog: adding, editing and deleting rows, the overlap
// rule, the pattern field, the folder browser and the messages.

#include "message_recorder.h"
#include "window_fixture.h"

#include "support/temp_tree.h"
#include "ui/forms/list_controls_qt.h"
#include "ui/forms/window_texts.h"
#include "ui/windows/search_path_list.h"

#include <QDir>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

// Failures show texts, not code units.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace corvane::testing {
namespace {

using Strings = std::vector<std::string>;

// The overlap messages as a box shows them: each stored line break, a line feed then a carriage
// return, is one break on the screen.
const QString kAddOverlap = "Cannot Add Search Path Because It Overlaps With Another Added Path"
                            "\n\nAlready Added Path Is...\n";
const QString kSaveOverlap = "Cannot Save Search Path Because It Overlaps With Another Added Path"
                             "\n\nAlready Added Path Is...\n";

// ------------------------------------------------------------------------------------------------
// The overlap rule

TEST(PathsOverlap, TheSameFolderOrOneInsideTheOtherByWholeComponents) {
    struct Case {
        const char* typed;
        const char* listed;
        bool overlap;
    };
    const Case cases[] = {
        {"/a/b", "/a/b", true},
        {"/a/b/c", "/a/b", true}, // a subfolder
        {"/a/b", "/a/b/c", true}, // a parent
        {"/a/bc", "/a/b", false}, // a longer name is another folder
        {"/a/b", "/a/bc", false},
        {"/x/a/b", "/a/b", false}, // the same names elsewhere
        {"/mnt/backup/home/ann/Photos", "/home/ann/Photos", false},
        {"/srv/database", "/srv/data", false},
        {"/a/b/", "/a/b", true}, // a trailing separator names the same folder
        {"/a//b", "/a/b/c", true},
        {"/", "/a/b", true},     // the root holds every folder
        {"/A/b", "/a/b", false}, // letter case counts
        {"a/b", "/a/b", false},  // a relative path is not the absolute one
        {"a/b/c", "a/b", true},
        {"/a/./b", "/a/b", false}, // taken as written
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ui::PathsOverlap(c.typed, c.listed), c.overlap) << c.typed << " / " << c.listed;
    }
    // Bytes, not characters: a name that is not UTF-8 is compared as it is.
    EXPECT_TRUE(ui::PathsOverlap("/srv/\xff", "/srv/\xff/x"));
    EXPECT_FALSE(ui::PathsOverlap("/srv/\xfe", "/srv/\xff/x"));
}

// ------------------------------------------------------------------------------------------------
// The windows

class SearchPaths : public WindowFixture {
protected:
    void TearDown() override {
        ui::PathDialog::chooseFolder = &ui::PathDialog::chooseFolderWithDialog;
        WindowFixture::TearDown();
    }

    // Adds a row through the dialog; the messages shown stay in `messages`.
    bool addThroughDialog(const QString& path, const QString& patterns = QString()) {
        return withDialog(probe().addPathButton(), [&](ui::PathDialog& dialog) {
            dialog.pathField_->setText(path);
            if (!patterns.isEmpty()) {
                dialog.patternField_->setText(patterns);
            }
            dialog.okButton_->click();
        });
    }

    // Lists a path as an added one would be, with the path buttons enabled.
    void listPath(const std::string& folder, const std::string& patterns = "*.*") {
        addSearchPath(folder, patterns);
        probe().editPathButton()->setEnabled(true);
        probe().deletePathButton()->setEnabled(true);
    }

    void selectRow(int row) {
        probe().searchPathList()->selectionModel()->select(
            probe().searchPathList()->listModel()->index(row, 0),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }

    // The rows of searchPathList_ as "path|patterns".
    Strings rows() {
        Strings result;
        const ui::ListViewModel* model = probe().searchPathList()->listModel();
        for (int i = 0; i < model->count(); ++i) {
            result.push_back(std::string(model->row(i).caption()) + "|" +
                             std::string(model->row(i).subItemText(0)));
        }
        return result;
    }

    // Whether Start Search, Edit Path and Delete Path are all enabled (true), all disabled
    // (false); fails the test when they disagree.
    bool pathButtonsEnabled() {
        const bool search = probe().searchButton()->isEnabled();
        EXPECT_EQ(probe().editPathButton()->isEnabled(), search);
        EXPECT_EQ(probe().deletePathButton()->isEnabled(), search);
        EXPECT_TRUE(probe().addPathButton()->isEnabled());
        return search;
    }
};

TEST_F(SearchPaths, AddingOpensTheDialogInAddModeAndAppendsTheRow) {
    ASSERT_FALSE(pathButtonsEnabled());
    MessageRecorder recorder;
    bool checked = false;
    ASSERT_TRUE(withDialog(probe().addPathButton(), [&](ui::PathDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Add Search Path...");
        EXPECT_EQ(ui::captionOf(dialog.okButton_), "Add");
        EXPECT_EQ(dialog.pathField_->text(), "");
        EXPECT_EQ(dialog.patternField_->text(), "*.*");
        dialog.pathField_->setText("/srv/photos");
        dialog.patternField_->setText("*.jpg;*.png");
        dialog.okButton_->click();
        EXPECT_FALSE(dialog.isVisible());
        checked = true;
    }));
    EXPECT_TRUE(checked);
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_TRUE(pathButtonsEnabled());

    // The next add starts afresh and the row goes last.
    ASSERT_TRUE(withDialog(probe().addPathButton(), [&](ui::PathDialog& dialog) {
        EXPECT_EQ(dialog.pathField_->text(), "");
        EXPECT_EQ(dialog.patternField_->text(), "*.*");
        dialog.pathField_->setText("/home/music");
        dialog.okButton_->click();
    }));
    EXPECT_EQ(rows(), (Strings{"/srv/photos|*.jpg;*.png", "/home/music|*.*"}));
    // The view shows the new rows at once.
    EXPECT_EQ(probe().searchPathList()->model()->rowCount(), 2);
}

TEST_F(SearchPaths, EmptyPathIsRefusedAndBlanksAreAPath) {
    MessageRecorder recorder;
    ASSERT_TRUE(withDialog(probe().addPathButton(), [&](ui::PathDialog& dialog) {
        dialog.patternField_->setText("*.txt");
        dialog.okButton_->click();
        EXPECT_TRUE(dialog.isVisible()) << "the dialog stays open";
        EXPECT_EQ(dialog.patternField_->text(), "*.txt");
    }));
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].title, "Warning");
    EXPECT_EQ(recorder.messages[0].text, "You must enter a path");
    EXPECT_TRUE(rows().empty());
    EXPECT_FALSE(pathButtonsEnabled());

    ASSERT_TRUE(addThroughDialog(" "));
    EXPECT_EQ(rows(), (Strings{" |*.*"}));
    EXPECT_EQ(recorder.messages.size(), 1u);
}

TEST_F(SearchPaths, OverlappingAddIsRefusedNamingTheFirstOverlappingRow) {
    listPath("/srv/media/photos");
    listPath("/srv/data");
    listPath("/srv/data/old");
    selectRow(2); // add mode tests every row, the selected one too
    MessageRecorder recorder;
    ASSERT_TRUE(withDialog(probe().addPathButton(), [&](ui::PathDialog& dialog) {
        dialog.pathField_->setText("/srv/data/db");
        dialog.patternField_->setText("*.db");
        dialog.okButton_->click();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.pathField_->text(), "/srv/data/db") << "the input stays for correcting";
        EXPECT_EQ(dialog.patternField_->text(), "*.db");
    }));
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].title, "Warning");
    EXPECT_EQ(recorder.messages[0].text, kAddOverlap + "/srv/data");

    // The same path twice, a parent, a child: each refused; other letter case goes in.
    for (const char* path : {"/srv/data/old", "/srv", "/srv/media/photos/2024"}) {
        ASSERT_TRUE(addThroughDialog(path));
    }
    ASSERT_EQ(recorder.messages.size(), 4u);
    EXPECT_EQ(recorder.messages[1].text, kAddOverlap + "/srv/data");
    EXPECT_EQ(recorder.messages[2].text, kAddOverlap + "/srv/media/photos");
    EXPECT_EQ(recorder.messages[3].text, kAddOverlap + "/srv/media/photos");
    // Other letter case, and a folder whose name only begins like a listed one, go in.
    ASSERT_TRUE(addThroughDialog("/SRV/DATA/photos"));
    ASSERT_TRUE(addThroughDialog("/srv/database"));
    EXPECT_EQ(recorder.messages.size(), 4u);
    EXPECT_EQ(rows(), (Strings{"/srv/media/photos|*.*", "/srv/data|*.*", "/srv/data/old|*.*",
                               "/SRV/DATA/photos|*.*", "/srv/database|*.*"}));
}

TEST_F(SearchPaths, CancelAndTheCloseBoxChangeNothingButTheButtonsAreSetAgain) {
    addSearchPath("/srv/data", "*.txt");
    // As if the row had come without the buttons noticing: cancelling sets them again.
    probe().searchButton()->setEnabled(false);
    ASSERT_TRUE(withDialog(probe().addPathButton(), [&](ui::PathDialog& dialog) {
        dialog.pathField_->setText("/home");
        dialog.cancelButton_->click();
    }));
    EXPECT_TRUE(pathButtonsEnabled());

    // The close box cancels (Esc presses no button: Keyboard.EnterAndEscPressNoButtonOfThePathDialog).
    ASSERT_TRUE(withDialog(probe().addPathButton(), [&](ui::PathDialog& dialog) {
        dialog.pathField_->setText("/home");
        dialog.close();
        EXPECT_FALSE(dialog.isVisible());
    }));
    EXPECT_EQ(rows(), (Strings{"/srv/data|*.txt"}));
}

TEST_F(SearchPaths, EditingSavesTheSelectedRowInPlace) {
    listPath("/srv/a", "*.a");
    listPath("/srv/b", "*.b");
    listPath("/srv/c", "*.c");
    MessageRecorder recorder;
    ASSERT_FALSE(withDialog(probe().editPathButton(), [](ui::PathDialog&) {}));
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].title, "Warning");
    EXPECT_EQ(recorder.messages[0].text, "Select a Search Path to Edit.");

    selectRow(1);
    ASSERT_TRUE(withDialog(probe().editPathButton(), [&](ui::PathDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Edit Search Path...");
        EXPECT_EQ(ui::captionOf(dialog.okButton_), "Save");
        EXPECT_EQ(dialog.pathField_->text(), "/srv/b");
        EXPECT_EQ(dialog.patternField_->text(), "*.b");
        // The row is not tested against itself: only the patterns change.
        dialog.patternField_->setText("*.b;*.bb");
        dialog.okButton_->click();
        EXPECT_FALSE(dialog.isVisible());
    }));
    EXPECT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(rows(), (Strings{"/srv/a|*.a", "/srv/b|*.b;*.bb", "/srv/c|*.c"}));

    // Every other row, before and after the edited one, is still tested.
    for (const char* path : {"/srv/a/x", "/srv/c/x"}) {
        ASSERT_TRUE(withDialog(probe().editPathButton(), [&](ui::PathDialog& dialog) {
            dialog.pathField_->setText(path);
            dialog.okButton_->click();
            EXPECT_TRUE(dialog.isVisible());
        }));
    }
    ASSERT_EQ(recorder.messages.size(), 3u);
    EXPECT_EQ(recorder.messages[1].text, kSaveOverlap + "/srv/a");
    EXPECT_EQ(recorder.messages[2].text, kSaveOverlap + "/srv/c");

    ASSERT_TRUE(withDialog(probe().editPathButton(), [&](ui::PathDialog& dialog) {
        dialog.pathField_->setText("/home/b");
        dialog.okButton_->click();
    }));
    EXPECT_EQ(rows(), (Strings{"/srv/a|*.a", "/home/b|*.b;*.bb", "/srv/c|*.c"}));
}

TEST_F(SearchPaths, EditingOnlyThePatternsKeepsAPathThatIsNotUtf8) {
    const std::string path = "/srv/caf\xe9";
    listPath(path, "*.a");
    selectRow(0);
    ASSERT_TRUE(withDialog(probe().editPathButton(), [&](ui::PathDialog& dialog) {
        dialog.patternField_->setText("*.b");
        dialog.okButton_->click();
    }));
    EXPECT_EQ(rows(), (Strings{path + "|*.b"}));
    // A path the user retyped is taken as typed.
    ASSERT_TRUE(withDialog(probe().editPathButton(), [&](ui::PathDialog& dialog) {
        dialog.pathField_->setText(QString::fromUtf8("/srv/caf\xc3\xa9"));
        dialog.okButton_->click();
    }));
    EXPECT_EQ(rows(), (Strings{"/srv/caf\xc3\xa9|*.b"}));
}

TEST_F(SearchPaths, DeletingRemovesTheSelectedRowAndTheLastOneDisablesTheButtons) {
    MessageRecorder recorder;
    ASSERT_TRUE(addThroughDialog("/srv/a"));
    ASSERT_TRUE(addThroughDialog("/srv/b"));
    ASSERT_TRUE(addThroughDialog("/srv/c"));
    probe().deletePathButton()->click();
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, "Select a Search Path to Delete.");
    EXPECT_EQ(rows().size(), 3u);

    // Selected as a click selects: the row is also the list's current row.
    probe().searchPathList()->selectRow(1);
    ASSERT_EQ(probe().searchPathList()->currentIndex().row(), 1);
    probe().deletePathButton()->click();
    EXPECT_EQ(rows(), (Strings{"/srv/a|*.*", "/srv/c|*.*"}));
    EXPECT_TRUE(pathButtonsEnabled());
    // No other row is selected in its place: a second click asks for one instead of deleting it.
    EXPECT_TRUE(probe().searchPathList()->selectionModel()->selectedRows().isEmpty());
    probe().deletePathButton()->click();
    ASSERT_EQ(recorder.messages.size(), 2u);
    EXPECT_EQ(recorder.messages[1].text, "Select a Search Path to Delete.");
    EXPECT_EQ(rows().size(), 2u);
    for (int left = 1; left >= 0; --left) {
        selectRow(0);
        probe().deletePathButton()->click();
        EXPECT_EQ(static_cast<int>(rows().size()), left);
    }
    EXPECT_FALSE(pathButtonsEnabled());
    EXPECT_EQ(recorder.messages.size(), 2u) << "deleting asks nothing";
}

TEST_F(SearchPaths, DeletingTheLastRowDuringASearchLeavesTheSearchStoppable) {
    listPath("/srv/a");
    ui::setCaption(probe().searchButton(), ui::MainWindow::kStopSearch);
    selectRow(0);
    probe().deletePathButton()->click();
    EXPECT_TRUE(rows().empty());
    EXPECT_TRUE(probe().searchButton()->isEnabled());
    EXPECT_FALSE(probe().editPathButton()->isEnabled());
    EXPECT_FALSE(probe().deletePathButton()->isEnabled());
    ui::setCaption(probe().searchButton(), ui::MainWindow::kStartSearch);
}

TEST_F(SearchPaths, PatternFieldNeverStaysEmpty) {
    ui::PathDialog& dialog = pathDialog();
    dialog.patternField_->setText("*.jpg");
    dialog.patternField_->clear();
    EXPECT_EQ(dialog.patternField_->text(), "*.*");
    dialog.patternField_->setText("x");
    dialog.patternField_->setFocus();
    dialog.patternField_->end(false);
    QTest::keyClick(dialog.patternField_, Qt::Key_Backspace);
    EXPECT_EQ(dialog.patternField_->text(), "*.*");
}

TEST_F(SearchPaths, BrowsingStartsAtThePathOrTheCurrentFolderAndMovesTheCurrentFolder) {
    TempTree tree;
    const QString first = QString::fromStdString(tree.makeDir("first"));
    const QString second = QString::fromStdString(tree.makeDir("second"));
    const QString before = QDir::currentPath();
    struct Call {
        QString title;
        QString start;
    };
    std::vector<Call> calls;
    QString answer;
    ui::PathDialog::chooseFolder = [&](QWidget* parent, const QString& title, const QString& start) {
        EXPECT_EQ(parent, &pathDialog());
        calls.push_back({title, start});
        return answer;
    };
    ui::PathDialog& dialog = pathDialog();
    dialog.pathField_->clear();

    answer = first;
    dialog.browseButton_->click();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].title, "Select a search path.");
    EXPECT_EQ(calls[0].start, before);
    EXPECT_EQ(dialog.pathField_->text(), first);
    EXPECT_EQ(QDir::currentPath(), first);

    // A cancelled browse changes nothing; it started at the field's folder.
    dialog.pathField_->setText(second);
    answer.clear();
    dialog.browseButton_->click();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].start, second);
    EXPECT_EQ(dialog.pathField_->text(), second);
    EXPECT_EQ(QDir::currentPath(), first);

    // From an empty field the next browse starts where the last one ended.
    dialog.pathField_->clear();
    answer = second;
    dialog.browseButton_->click();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[2].start, first);
    EXPECT_EQ(QDir::currentPath(), second);
    QDir::setCurrent(before);
}

} // namespace
} // namespace corvane::testing
