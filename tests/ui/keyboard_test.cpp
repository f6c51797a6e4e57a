// The windows from the keyboard: Tab through every control in reading order, the shortcuts and
// mnemonics, Enter and Esc in each dialog, where the focus goes, and a double-click on a button.

#include "message_recorder.h"
#include "scoped_environment.h"
#include "window_fixture.h"

#include "support/temp_tree.h"
#include "ui/desktop/desktop_shell.h"
#include "ui/desktop/result_files.h"
#include "ui/forms/list_controls_qt.h"
#include "ui/forms/message_dialog.h"
#include "ui/forms/window_texts.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <functional>

// Failures show texts, not code units.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace corvane::testing {
namespace {

using Strings = std::vector<std::string>;

class Keyboard : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        main().activateWindow();
        QApplication::setActiveWindow(&main());
        previousChooser_ = ui::setResultFileChooser(
            [this](QWidget*, ui::ResultFileDialog dialog, const ui::FileDialogSettings&) {
                ++(dialog == ui::ResultFileDialog::Save ? saveDialogs_ : openDialogs_);
                return QString();
            });
    }
    void TearDown() override {
        ui::setResultFileChooser(previousChooser_);
        WindowFixture::TearDown();
    }

    // The control that has the focus; a tab bar stands for its tab control.
    static QWidget* focused() {
        QWidget* widget = QApplication::focusWidget();
        if (auto* bar = qobject_cast<QTabBar*>(widget)) {
            return bar->parentWidget();
        }
        return widget;
    }

    // The controls Tab visits from `first` until it comes back to it.
    static std::vector<QWidget*> tabCycle(QWidget* first) {
        first->setFocus(Qt::TabFocusReason);
        std::vector<QWidget*> visited{focused()};
        for (int i = 0; i < 40; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            if (focused() == visited.front()) {
                break;
            }
            visited.push_back(focused());
        }
        return visited;
    }

    static std::vector<std::string> namesOf(const std::vector<QWidget*>& widgets) {
        std::vector<std::string> names;
        for (QWidget* widget : widgets) {
            names.push_back(widget ? widget->objectName().toStdString() : "(none)");
        }
        return names;
    }

    // Runs `step` on the modal window that `open` opens, once its event loop runs.
    static void withModal(const std::function<void()>& open, const std::function<void(QWidget&)>& step) {
        QTimer::singleShot(0, [step] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                step(*modal);
            }
        });
        open();
    }

    void enableEveryButton() {
        const ui::MainWindowProbe w = probe();
        for (QPushButton* button : {w.addPathButton(), w.editPathButton(), w.deletePathButton(),
                                    w.searchButton(), w.deleteDuplicatesButton(), w.deleteCheckedButton(),
                                    w.openFileButton(), w.openFolderButton()}) {
            button->setEnabled(true);
        }
    }

    int saveDialogs_ = 0;
    int openDialogs_ = 0;

private:
    ui::ResultFileChooser previousChooser_;
};

// Tab goes through the controls in the order the window description numbers them (TabOrder):
// within each container by number, into a container where it stands.
TEST_F(Keyboard, TabVisitsEveryEnabledControlOnceInTheStoredOrder) {
    addSearchPath("/srv/a");
    enableEveryButton();
    EXPECT_EQ(namesOf(tabCycle(probe().addPathButton())),
              (Strings{"Bit_Add", "ListView1", "Bit_edit", "Bit_Del", "Bit_Search", "PageControl1",
                       "TreeView1", "bit_del_dup", "bit_del_checked", "Edit1", "Edit2", "Edit3", "Edit4",
                       "Bit_open", "bit_explorer"}));

    // Disabled controls are passed over; the second page's list follows its tab.
    probe().editPathButton()->setEnabled(false);
    probe().openFileButton()->setEnabled(false);
    probe().pages()->setCurrentIndex(1);
    EXPECT_EQ(namesOf(tabCycle(probe().addPathButton())),
              (Strings{"Bit_Add", "ListView1", "Bit_Del", "Bit_Search", "PageControl1", "Listview2"}));
    probe().pages()->setCurrentIndex(0);
}

TEST_F(Keyboard, TabLeavesAListWithRowsInsteadOfWalkingItsCells) {
    addSearchPath("/srv/a", "*.jpg");
    addSearchPath("/srv/b", "*.png");
    probe().searchPathList()->setFocus(Qt::TabFocusReason);
    probe().searchPathList()->setCurrentIndex(probe().searchPathList()->listModel()->index(0, 0));
    QTest::keyClick(probe().searchPathList(), Qt::Key_Tab);
    EXPECT_EQ(focused(), probe().searchButton()) << "Edit Path and Delete Path are disabled";
}

TEST_F(Keyboard, PathDialogTabsThroughItsControlsInTheStoredOrder) {
    bool opened = false;
    withModal([&] { probe().addPathButton()->click(); },
              [&](QWidget& modal) {
                  auto& dialog = static_cast<ui::PathDialog&>(modal);
                  opened = true;
                  EXPECT_EQ(dialog.focusWidget(), dialog.pathField_) << "typing goes to the path";
                  QApplication::setActiveWindow(&dialog);
                  EXPECT_EQ(namesOf(tabCycle(dialog.pathField_)),
                            (Strings{"Edit1", "Edit2", "ReferenceBox", "Button1", "btn_ok", "btn_cancel"}));
                  dialog.reject();
              });
    EXPECT_TRUE(opened);
}

TEST_F(Keyboard, ShortcutsTriggerTheirActions) {
    ui::MainWindow& w = main();
    probe().saveAction()->setEnabled(true);
    QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(saveDialogs_, 1);
    QTest::keyClick(&w, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(openDialogs_, 1);

    {
        MessageRecorder recorder; // a build has no help page beside the test: its warning
        QSignalSpy help(probe().helpContentAction(), &QAction::triggered);
        QTest::keyClick(&w, Qt::Key_F1);
        EXPECT_EQ(help.count(), 1);
    }
    QApplication::setActiveWindow(&w); // the warning took the focus

    TempTree tree;
    tree.writeFile("a", "same");
    tree.writeFile("b", "same");
    addSearchPath(tree.root());
    QTest::keyClick(&w, Qt::Key_F5);
    EXPECT_NE(ui::captionOf(probe().searchButton()), QLatin1String(ui::MainWindow::kStartSearch))
        << "F5 starts";
    ASSERT_TRUE(waitUntil([this] { return idle(); }));
    EXPECT_EQ(treeGroups().size(), 1u);

    // F10 opens the first menu; Esc closes it.
    QTest::keyClick(&w, Qt::Key_F10);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(ui::withoutMnemonic(menu->title()), "File");
    QTest::keyClick(menu, Qt::Key_Escape);

    QTest::keyClick(&w, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(w.isVisible()) << "Ctrl+Q ends the program";
}

TEST_F(Keyboard, F5StopsARunningSearch) {
    ui::setCaption(probe().searchButton(), ui::MainWindow::kStopSearch);
    probe().searchButton()->setEnabled(true);
    QTest::keyClick(&main(), Qt::Key_F5);
    EXPECT_EQ(ui::captionOf(probe().searchButton()), ui::MainWindow::kStopping);
    ui::setCaption(probe().searchButton(), ui::MainWindow::kStartSearch);
}

TEST_F(Keyboard, MenusAndButtonsHaveMnemonicsThatKeepTheirWords) {
    ui::MainWindow& w = main();
    EXPECT_EQ(probe().addPathButton()->text(), "&Add Path");
    EXPECT_EQ(probe().searchButton()->text(), "&Start Search");
    auto* bar = qobject_cast<QMenuBar*>(w.menuWidget());
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->actions().at(0)->text(), "&File");
    EXPECT_EQ(ui::withoutMnemonic(bar->actions().at(1)->text()), "Edit");
    EXPECT_EQ(ui::withoutMnemonic(bar->actions().at(2)->text()), "Select");
    EXPECT_EQ(ui::withoutMnemonic(bar->actions().at(3)->text()), "Search");
    EXPECT_EQ(bar->actions().at(4)->text(), "&Help");

    // The window's buttons and menu titles share no letter; each menu's items share none.
    QString taken;
    QStringList texts;
    for (QPushButton* button : w.findChildren<QPushButton*>()) {
        if (button->window() == &w) {
            texts << button->text();
            EXPECT_EQ(ui::withoutMnemonic(button->text()), ui::captionOf(button)) << "the words stay";
        }
    }
    for (QAction* action : bar->actions()) {
        texts << action->text();
    }
    for (const QString& text : texts) {
        const QChar letter = ui::mnemonicOf(text);
        ASSERT_FALSE(letter.isNull()) << text.toStdString();
        EXPECT_FALSE(taken.contains(letter)) << text.toStdString() << " shares its letter";
        taken += letter;
    }
    for (QAction* title : bar->actions()) {
        QString inMenu;
        for (QAction* item : title->menu()->actions()) {
            if (!item->isSeparator()) {
                const QChar letter = ui::mnemonicOf(item->text());
                ASSERT_FALSE(letter.isNull());
                EXPECT_FALSE(inMenu.contains(letter));
                inMenu += letter;
            }
        }
    }

    // A caption that changes keeps its letter.
    ui::setCaption(probe().searchButton(), ui::MainWindow::kStopSearch);
    EXPECT_EQ(probe().searchButton()->text(), "&Stop Search");
    ui::setCaption(probe().searchButton(), ui::MainWindow::kStartSearch);

    // Alt and the letter press the button.
    MessageRecorder recorder;
    QSignalSpy edit(probe().editPathButton(), &QPushButton::clicked);
    probe().editPathButton()->setEnabled(true);
    QTest::keyClick(&w, Qt::Key_E, Qt::AltModifier);
    EXPECT_TRUE(waitUntil([&] { return edit.count() == 1; }))
        << "a button's mnemonic clicks it a moment later";
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, "Select a Search Path to Edit.");
}

TEST(Mnemonics, TheFirstFreeLetterOfAWordThenAnyFreeLetter) {
    EXPECT_EQ(ui::withMnemonic("Delete All Duplicates", ""), "&Delete All Duplicates");
    EXPECT_EQ(ui::withMnemonic("Delete All Duplicates", "d"), "Delete &All Duplicates");
    EXPECT_EQ(ui::withMnemonic("Delete All Duplicates", "dae"), "De&lete All Duplicates");
    EXPECT_EQ(ui::withMnemonic("Stop Search", "st", QChar('s')), "St&op Search")
        << "a taken letter is not kept";
    EXPECT_EQ(ui::withMnemonic("Stop Search", "t", QChar('s')), "&Stop Search");
    EXPECT_EQ(ui::withMnemonic("Save & Quit", "s"), "Save && &Quit");
    EXPECT_EQ(ui::withMnemonic("OK", "ok"), "OK");
    EXPECT_EQ(ui::withoutMnemonic("Save && &Quit"), "Save & Quit");
    EXPECT_EQ(ui::mnemonicOf("Save && &Quit"), QChar('q'));
    EXPECT_TRUE(ui::mnemonicOf("Save && Quit").isNull());
}

// ------------------------------------------------------------------------------------------------
// Enter and Esc

// Neither Add nor Cancel is the dialog's default or cancel button: Enter and Esc press nothing,
// wherever the focus is. Space presses the focused button, as do Alt and its letter.
TEST_F(Keyboard, EnterAndEscPressNoButtonOfThePathDialog) {
    QSignalSpy browsed(pathDialog().browseButton_, &QPushButton::clicked);
    withModal([&] { probe().addPathButton()->click(); },
              [](QWidget& modal) {
                  auto& dialog = static_cast<ui::PathDialog&>(modal);
                  QApplication::setActiveWindow(&dialog);
                  QTest::keyClicks(dialog.pathField_, "/srv/entered");
                  for (QWidget* at : std::initializer_list<QWidget*>{
                           dialog.pathField_, dialog.patternField_, dialog.okButton_, dialog.cancelButton_}) {
                      at->setFocus(Qt::TabFocusReason);
                      QTest::keyClick(at, Qt::Key_Return);
                      QTest::keyClick(at, Qt::Key_Enter, Qt::KeypadModifier);
                      QTest::keyClick(at, Qt::Key_Escape);
                      EXPECT_TRUE(dialog.isVisible()) << at->objectName().toStdString();
                  }
                  for (QPushButton* button : {dialog.browseButton_, dialog.okButton_, dialog.cancelButton_}) {
                      EXPECT_FALSE(button->isDefault()) << button->objectName().toStdString();
                  }
                  dialog.okButton_->setFocus(Qt::TabFocusReason);
                  QTest::keyClick(dialog.okButton_, Qt::Key_Space);
                  EXPECT_FALSE(dialog.isVisible()) << "Space on Add adds";
              });
    EXPECT_EQ(browsed.count(), 0);
    ASSERT_EQ(probe().searchPathList()->listModel()->count(), 1);
    EXPECT_EQ(probe().searchPathList()->listModel()->row(0).caption(), "/srv/entered");

    // Alt and the letter of Cancel, and the close box, close it without a change.
    withModal([&] { probe().addPathButton()->click(); },
              [](QWidget& modal) {
                  auto& dialog = static_cast<ui::PathDialog&>(modal);
                  QApplication::setActiveWindow(&dialog);
                  QTest::keyClicks(dialog.pathField_, "/srv/cancelled");
                  QTest::keyClick(&dialog, ui::mnemonicOf(dialog.cancelButton_->text()).toLatin1(),
                                  Qt::AltModifier);
              });
    ASSERT_TRUE(waitUntil([this] { return !pathDialog().isVisible(); }));
    EXPECT_EQ(probe().searchPathList()->listModel()->count(), 1);
}

TEST_F(Keyboard, AfterBrowseTheFocusIsBackInThePathField) {
    TempTree tree;
    const QString folder = QString::fromStdString(tree.root());
    QString answer;
    ui::PathDialog::chooseFolder = [&](QWidget*, const QString&, const QString&) { return answer; };
    const QString before = QDir::currentPath();
    withModal([&] { probe().addPathButton()->click(); },
              [&](QWidget& modal) {
                  auto& dialog = static_cast<ui::PathDialog&>(modal);
                  QApplication::setActiveWindow(&dialog);
                  for (const QString& chosen : {folder, QString()}) {
                      answer = chosen;
                      dialog.browseButton_->setFocus(Qt::TabFocusReason);
                      QTest::keyClick(dialog.browseButton_, Qt::Key_Space);
                      EXPECT_EQ(QApplication::focusWidget(), dialog.pathField_) << chosen.toStdString();
                      EXPECT_EQ(dialog.pathField_->text(), folder);
                  }
                  dialog.reject();
              });
    ui::PathDialog::chooseFolder = &ui::PathDialog::chooseFolderWithDialog;
    QDir::setCurrent(before);
}

TEST_F(Keyboard, TypingIntoAnEmptiedPatternReplacesTheDefault) {
    withModal([&] { probe().addPathButton()->click(); },
              [](QWidget& modal) {
                  auto& dialog = static_cast<ui::PathDialog&>(modal);
                  dialog.patternField_->setFocus();
                  dialog.patternField_->selectAll();
                  QTest::keyClick(dialog.patternField_, Qt::Key_Backspace);
                  EXPECT_EQ(dialog.patternField_->text(), "*.*");
                  QTest::keyClicks(dialog.patternField_, "*.jpg");
                  EXPECT_EQ(dialog.patternField_->text(), "*.jpg");
                  dialog.reject();
              });
}

TEST_F(Keyboard, EnterAndEscAnswerTheMessageBoxes) {
    const auto answer = [](ui::MessageKind kind, Qt::Key key) {
        QTimer::singleShot(0, [key] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                QTest::keyClick(box, key);
            }
        });
        return ui::MessageDialog(kind, "Go on?", nullptr);
    };
    EXPECT_EQ(answer(ui::MessageKind::Confirmation, Qt::Key_Return), ui::MessageResult::Ok);
    EXPECT_EQ(answer(ui::MessageKind::Confirmation, Qt::Key_Escape), ui::MessageResult::Cancel);
    EXPECT_EQ(answer(ui::MessageKind::Warning, Qt::Key_Escape), ui::MessageResult::Ok);
    EXPECT_EQ(answer(ui::MessageKind::Warning, Qt::Key_Return), ui::MessageResult::Ok);
}

TEST_F(Keyboard, EnterAndEscCloseTheDeleteDialogOnlyOnceItsRunIsOver) {
    ui::DeleteDialog& dialog = deleteDialog();
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        dialog.setFilesToDelete(ui::DeleteDialog::FilesToDelete::None);
        bool closedWhileRunning = false;
        QTimer keys;
        QObject::connect(&keys, &QTimer::timeout, [&] {
            if (dialog.isVisible()) {
                const bool running = dialog.running();
                QTest::keyClick(&dialog, key);
                closedWhileRunning = closedWhileRunning || (running && !dialog.isVisible());
            }
        });
        keys.start(1);
        dialog.exec();
        EXPECT_FALSE(closedWhileRunning) << "key " << key;
        EXPECT_FALSE(dialog.isVisible()) << "key " << key;
    }
}

TEST_F(Keyboard, EnterAndEscCloseTheAboutWindow) {
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        probe().aboutClicked();
        ASSERT_TRUE(aboutWindow().isVisible());
        QTest::keyClick(&aboutWindow(), key);
        EXPECT_FALSE(aboutWindow().isVisible()) << "key " << key;
    }
}

// ------------------------------------------------------------------------------------------------
// Where the focus goes, and clicks

TEST_F(Keyboard, AfterADeleteRunSpaceTicksInTheTreeAndPressesNothingAgain) {
    TempTree files;
    const std::string original = files.writeFile("a", "same");
    const std::string copy = files.writeFile("b", "same");
    ui::DuplicateTreeModel* tree = probe().duplicateTree()->treeModel();
    const QModelIndex group = tree->appendGroup(original, {copy}, platform::lookupFile(original),
                                                std::vector<platform::FileInfo>{*platform::lookupFile(copy)});
    probe().duplicateTree()->setCurrentIndex(group);
    probe().deleteDuplicatesButton()->setEnabled(true);
    // Nothing is checked: the run moves nothing, and the files stay.
    QSignalSpy pressed(probe().deleteCheckedButton(), &QPushButton::clicked);
    probe().deleteCheckedButton()->setEnabled(true);
    probe().deleteCheckedButton()->setFocus(Qt::TabFocusReason);

    MessageRecorder recorder; // the confirmation: OK
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (deleteDialog().isVisible() && !deleteDialog().running()) {
            QTest::keyClick(&deleteDialog(), Qt::Key_Return);
        }
    });
    closer.start(10);
    QTest::keyClick(probe().deleteCheckedButton(), Qt::Key_Space);
    closer.stop();
    EXPECT_EQ(pressed.count(), 1);
    EXPECT_EQ(recorder.messages.size(), 1u);
    // The focus the window gives back when it is active again.
    EXPECT_EQ(main().focusWidget(), probe().duplicateTree());

    QTest::keyClick(main().focusWidget(), Qt::Key_Space);
    EXPECT_EQ(pressed.count(), 1) << "Space pressed the delete button again";
    EXPECT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(tree->node(tree->index(0, 0))->stateIndex, ui::kStateChecked) << "Space ticks the node";
}

// The tree from the keyboard: Tab brings the focus in and makes the first node current, the
// information box and the buttons follow the current node, the first Space ticks it, Delete asks
// to delete the ticked files.
TEST_F(Keyboard, TheTreeFromTheKeyboardAlone) {
    TempTree files;
    const std::string original = files.writeFile("a", "same");
    const std::string copy = files.writeFile("b", "same");
    ui::DuplicateTreeModel* tree = probe().duplicateTree()->treeModel();
    tree->appendGroup(original, {copy}, platform::lookupFile(original),
                      std::vector<platform::FileInfo>{*platform::lookupFile(copy)});
    probe().duplicateTree()->expandAll();
    const ui::MainWindowProbe w = probe();
    EXPECT_FALSE(w.deleteCheckedButton()->isEnabled());
    EXPECT_FALSE(w.openFileButton()->isEnabled());

    w.pages()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), w.duplicateTree());
    EXPECT_EQ(w.locationField()->text().toStdString(), original);
    EXPECT_EQ(w.fileTypeField()->text(), "Original file");
    for (QPushButton* button :
         {w.deleteDuplicatesButton(), w.deleteCheckedButton(), w.openFileButton(), w.openFolderButton()}) {
        EXPECT_TRUE(button->isEnabled()) << button->objectName().toStdString();
    }

    QTest::keyClick(w.duplicateTree(), Qt::Key_Down);
    EXPECT_EQ(w.locationField()->text().toStdString(), copy);
    EXPECT_EQ(w.fileTypeField()->text(), "Duplicate file");
    const QModelIndex copyNode = tree->index(0, 0, tree->index(0, 0));
    QTest::keyClick(w.duplicateTree(), Qt::Key_Space);
    EXPECT_EQ(tree->node(copyNode)->stateIndex, ui::kStateChecked) << "the first Space ticks";
    QTest::keyClick(w.duplicateTree(), Qt::Key_Space);
    EXPECT_EQ(tree->node(copyNode)->stateIndex, ui::kStateUnchecked);
    QTest::keyClick(w.duplicateTree(), Qt::Key_Space);

    {
        MessageRecorder recorder; // answers Cancel? No: the default, OK; the run moves the copy
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            if (deleteDialog().isVisible() && !deleteDialog().running()) {
                QTest::keyClick(&deleteDialog(), Qt::Key_Return);
            }
        });
        closer.start(10);
        ScopedEnvironment home;
        TempTree homeFolder;
        home.set("HOME", QByteArray::fromStdString(homeFolder.root()));
        home.unset("XDG_DATA_HOME");
        home.unset("XDG_STATE_HOME");
        QTest::keyClick(w.duplicateTree(), Qt::Key_Delete);
        closer.stop();
        ASSERT_EQ(recorder.messages.size(), 1u);
        EXPECT_TRUE(
            recorder.messages[0].text.startsWith("Are you sure you want to delete all checkmarked files ?"));
    }
    // The copy went, with its node: the box no longer shows it.
    EXPECT_FALSE(platform::lookupFile(copy).has_value());
    EXPECT_EQ(treeGroups(), (Strings{original}));
    EXPECT_TRUE(w.locationField()->text().isEmpty());
    EXPECT_FALSE(w.openFileButton()->isEnabled());

    // A tree that is replaced leaves no file in the box either.
    w.duplicateTree()->setCurrentIndex(tree->index(0, 0));
    EXPECT_EQ(w.locationField()->text().toStdString(), original);
    tree->clear();
    EXPECT_TRUE(w.locationField()->text().isEmpty());
    EXPECT_FALSE(w.openFolderButton()->isEnabled());
}

// A whole session without the mouse: a path added, a search, a duplicate ticked and deleted, the
// result saved and opened again, each by the keys a user presses.
TEST_F(Keyboard, ASearchTicksDeletesSavesAndOpensByKeyboardAlone) {
    TempTree files;
    const std::string original = files.writeFile("a.txt", "same");
    const std::string copy = files.writeFile("sub/b.txt", "same");
    files.writeFile("c.txt", "other");
    TempTree homeFolder;
    ScopedEnvironment home;
    home.set("HOME", QByteArray::fromStdString(homeFolder.root()));
    home.unset("XDG_DATA_HOME");
    home.unset("XDG_STATE_HOME");
    const std::string set = homeFolder.path("keys.CVN");
    const ui::ResultFileChooser fixtureChooser =
        ui::setResultFileChooser([&](QWidget*, ui::ResultFileDialog, const ui::FileDialogSettings&) {
            return QString::fromStdString(set);
        });
    ui::MainWindow& w = main();
    const auto press = [](int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key), modifiers);
    };
    // Whatever modal window comes up is answered by keys: the path dialog typed into, message
    // boxes with Enter (their default, OK), the delete dialog with Enter once its run is over.
    QTimer keys;
    QObject::connect(&keys, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<ui::PathDialog*>(modal);
            dialog && dialog->pathField_->text().isEmpty()) {
            QApplication::setActiveWindow(dialog);
            QTest::keyClicks(QApplication::focusWidget(), QString::fromStdString(files.root()));
            for (int i = 0; i < 4; ++i) {
                press(Qt::Key_Tab); // to the patterns, the reference box, Browse..., Add
            }
            press(Qt::Key_Space);
        } else if (qobject_cast<QMessageBox*>(modal)) {
            QTest::keyClick(modal, Qt::Key_Return);
        } else if (modal == &deleteDialog() && !deleteDialog().running()) {
            QTest::keyClick(modal, Qt::Key_Return);
        }
    });
    keys.start(5);

    w.activateWindow();
    QTest::keyClick(&w, ui::mnemonicOf(probe().addPathButton()->text()).toLatin1(), Qt::AltModifier);
    ASSERT_TRUE(waitUntil(
        [&] { return probe().searchPathList()->listModel()->count() == 1 && !pathDialog().isVisible(); }));
    EXPECT_EQ(probe().searchPathList()->listModel()->row(0).caption(), files.root());

    // The dialog closed: the window is active again (on a desktop, its window manager does this).
    QApplication::setActiveWindow(&w);
    QTest::keyClick(&w, Qt::Key_F5);
    ASSERT_TRUE(waitUntil([this] { return idle(); }));
    ASSERT_EQ(treeGroups(), (Strings{original + "|" + copy}));

    for (int i = 0; i < 12 && QApplication::focusWidget() != probe().duplicateTree(); ++i) {
        press(Qt::Key_Tab);
    }
    ASSERT_EQ(QApplication::focusWidget(), probe().duplicateTree());
    press(Qt::Key_Right); // opens the group
    press(Qt::Key_Down);  // to its duplicate
    press(Qt::Key_Space); // ticked
    press(Qt::Key_Delete);
    ASSERT_TRUE(waitUntil([&] { return treeGroups() == Strings{original} && !deleteDialog().isVisible(); }));
    QApplication::setActiveWindow(&w);
    EXPECT_FALSE(platform::lookupFile(copy).has_value());
    EXPECT_TRUE(platform::lookupFile(original).has_value());

    QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(platform::lookupFile(set + ".~DF~").has_value());
    probe().duplicateTree()->treeModel()->clear();
    probe().searchPathList()->listModel()->clear();
    QTest::keyClick(&w, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(treeGroups(), (Strings{original}));
    EXPECT_EQ(probe().searchPathList()->listModel()->count(), 1);
    keys.stop();
    ui::setResultFileChooser(fixtureChooser);
}

// Where the focus is shows, also in a list without rows.
TEST_F(Keyboard, TheFocusShowsInAnEmptyList) {
    ui::ListViewWidget* list = probe().searchedFilesList();
    probe().pages()->setCurrentIndex(1);
    probe().addPathButton()->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    const QImage without = list->grab().toImage();
    list->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    ASSERT_TRUE(list->hasFocus());
    EXPECT_NE(list->grab().toImage(), without);
    probe().pages()->setCurrentIndex(0);
}

TEST_F(Keyboard, ADoubleClickOnAButtonIsOneClick) {
    addSearchPath("/srv/a");
    addSearchPath("/srv/b");
    probe().deletePathButton()->setEnabled(true);
    probe().searchPathList()->selectRow(0);
    QSignalSpy clicked(probe().deletePathButton(), &QPushButton::clicked);
    const QPoint middle = probe().deletePathButton()->rect().center();
    QTest::mouseClick(probe().deletePathButton(), Qt::LeftButton, {}, middle);
    probe().searchPathList()->selectRow(0);
    // The second press of a double-click, as the window system sends it, and its release.
    QTest::mouseDClick(probe().deletePathButton(), Qt::LeftButton, {}, middle);
    QTest::mouseRelease(probe().deletePathButton(), Qt::LeftButton, {}, middle);
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(probe().searchPathList()->listModel()->count(), 1);
}

TEST_F(Keyboard, ASecondStartBringsAMinimisedWindowBack) {
    main().showMinimized();
    QApplication::processEvents();
    ASSERT_TRUE(main().isMinimized());
    EXPECT_TRUE(main().bringToFront());
    EXPECT_FALSE(main().isMinimized());
    EXPECT_TRUE(main().isVisible());
}

} // namespace
} // namespace corvane::testing
