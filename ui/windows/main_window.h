#pragma once

// The main window: the search path list, the searched files, the duplicate tree with its file
// information, the menu and the status line, and the search that runs the scanner and then the
// comparer on their worker threads. The button searchButton_ starts and stops a search; its caption
// is the search state.

#include "engine/duplicate_comparer.h"
#include "engine/file_scanner.h"
#include "engine/group_report.h"
#include "engine/keep_rules.h"
#include "engine/search_filters.h"
#include "qtcore/locale_texts.h"
#include "ui/forms/control_classes.h"
#include "ui/forms/form.h"
#include "ui/windows/delete_dialog.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <chrono>
#include <exception>
#include <memory>
#include <vector>

class QAction;
class QLineEdit;
class QMenu;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QGroupBox;

namespace corvane::stream {
struct ResultSet;
}

namespace corvane::ui {

class AboutWindow;
class DuplicateTreeModel;
class HelpWindow;
class ListViewWidget;
class PathDialog;
class QtUiThread;
class SearchOptionsDialog;
class TreeViewWidget;

class MainWindow final : public QMainWindow, public Form {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    QWidget* formWidget() override { return this; }
    QWidget* clientArea() override { return client_; }
    const stream::ClassInfo& formClass() const override { return *class_; }

    // The windows this one opens: the path dialog from the path buttons, the delete dialog from
    // the delete buttons, the about window from Help > About. ProgramWindows gives them once all
    // four exist; they must outlive this window's use of them.
    void setWindowsToOpen(PathDialog& pathDialog, DeleteDialog& deleteDialog, AboutWindow& aboutWindow);

    // The search state, as the caption of searchButton_ tells it (captionOf, window_texts.h: the
    // English caption, whatever the button shows). "Stoping ..." is the program's own wording, as
    // is "Duplicat Files", the caption the window description gives the first page of pages_:
    // users know both so, and they stay as they are.
    static constexpr const char* kStartSearch = QT_TRANSLATE_NOOP("frm_utama", "Start Search");
    static constexpr const char* kStopSearch = QT_TRANSLATE_NOOP("frm_utama", "Stop Search");
    static constexpr const char* kStopping = QT_TRANSLATE_NOOP("frm_utama", "Stoping ...");

    // Brings the window to the front, restored if it was minimised, and gives it the focus, for a
    // second start of the program. `activationToken` is the desktop's token of that start, which
    // some desktops want before they let a window take the focus. Returns whether the window is
    // now shown (not minimised).
    bool bringToFront(const QByteArray& activationToken = {});

    // What Open does once the dialog has given a name, the .CVN file's (bytes; empty when the
    // dialog was cancelled). The program's command line opens a set through here too. Throws
    // corvane::Error with the text of the error box when a file of the set cannot be read; the
    // status line then keeps "Loading Files, Please Wait ...".
    void openResultSet(const std::string& file);
    // Whether File > Open is offered now: not while a search runs.
    bool canOpenResultSet() const;
    // Whether the window shows something a set would replace: search paths, searched files or
    // groups.
    bool showsResults() const;
    // The groups of the duplicate tree with their ticks, which the delete dialog works on.
    DuplicateTreeModel& duplicateModel() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Tests reach the controls, the engine's drivers and the handlers through it.
    friend class MainWindowProbe;

    // The text the status line shows (or is about to show: repaints are spaced out).
    QString statusLine() const;

    // Controls of the window description.
    QPushButton* addPathButton_ = nullptr;
    QPushButton* editPathButton_ = nullptr;
    QPushButton* deletePathButton_ = nullptr;
    QPushButton* searchButton_ = nullptr;
    ListViewWidget* searchPathList_ = nullptr;
    QTabWidget* pages_ = nullptr;
    QPushButton* deleteDuplicatesButton_ = nullptr;
    QPushButton* deleteCheckedButton_ = nullptr;
    TreeViewWidget* duplicateTree_ = nullptr;
    QGroupBox* fileInfoBox_ = nullptr;
    QLineEdit* fileTypeField_ = nullptr;
    QLineEdit* locationField_ = nullptr;
    QLineEdit* sizeField_ = nullptr;
    QLineEdit* createdField_ = nullptr;
    QPushButton* openFileButton_ = nullptr;
    QPushButton* openFolderButton_ = nullptr;
    ListViewWidget* searchedFilesList_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    QAction* saveAction_ = nullptr;
    QAction* openAction_ = nullptr;
    QAction* exitAction_ = nullptr;
    QAction* helpContentAction_ = nullptr;
    // Starts or stops a search from the keyboard (F5), as a click on searchButton_ would.
    QAction* searchAction_ = nullptr;
    // Edit > Undo (Ctrl+Z): enabled while a run is recorded and nothing else runs.
    QAction* undoAction_ = nullptr;
    // Edit > Replace Checked with Hard Links, Edit > Share Checked Blocks: enabled with the delete
    // buttons; sharing only where a search path lies on a file system that can share blocks.
    QAction* linkCheckedAction_ = nullptr;
    QAction* shareCheckedAction_ = nullptr;

    // Fields besides the controls.
    std::unique_ptr<engine::FileScanner> scanner_;
    std::unique_ptr<engine::DuplicateComparer> comparer_;
    bool stopRequested_ = false;
    int32_t duplicateCount_ = 0;
    // Trash folders the last search passed over, for its closing status.
    size_t trashFoldersPassedOver_ = 0;

    // Handlers bound by the window description.
    void formShown(QObject* sender);
    void formClosed(QObject* sender);
    void searchClicked(QObject* sender);
    void exitClicked(QObject* sender);
    void treeCollapsing(const EventArgs& args);
    // The duplicate tree and the file information box.
    void treeClicked(QObject* sender);
    // Space ticks the current node; Delete asks to delete the ticked files, as their button does.
    void treeKeyDown(const EventArgs& args);
    // Fills the information box for the tree's current node and enables its buttons and the
    // delete buttons; empties it and disables its buttons when no node is current.
    void showFileInformation();
    void openFileClicked(QObject* sender);
    void openFolderClicked(QObject* sender);
    // The search path list.
    void addPathClicked(QObject* sender);
    void editPathClicked(QObject* sender);
    void deletePathClicked(QObject* sender);
    // The path buttons follow the row count. A running search keeps searchButton_, which is then
    // its only way to stop, whatever happens to the list it has already copied.
    void updatePathButtons();
    // Deleting duplicates.
    void deleteDuplicatesClicked(QObject* sender);
    void deleteCheckedClicked(QObject* sender);
    // Edit > Replace Checked with Hard Links, Edit > Share Checked Blocks: as Delete All Checked
    // Files, with another action.
    void linkCheckedClicked(QObject* sender);
    void shareCheckedClicked(QObject* sender);
    // Checks the files, asks `question` with what the check found, then runs the delete dialog
    // with `action`.
    void confirmAndDelete(DeleteDialog::FilesToDelete files, const QString& question,
                          DeleteDialog::Action action = DeleteDialog::Action::Trash);
    // Undo: asks, then puts back what the last delete run changed, with a progress window; what
    // could not be put back is reported with its reasons.
    void undoClicked(QObject* sender);
    // Help. Content shows the help page in the program's help window, in the program's language
    // where a page in it is installed.
    void helpContentClicked(QObject* sender);
    // The help window, once Help > Content has opened it (a child of this window), else nullptr.
    HelpWindow* helpWindow() const { return helpWindow_; }
    void aboutClicked(QObject* sender);
    // Result file sets.
    void saveClicked(QObject* sender);
    void openClicked(QObject* sender);
    // After Open (the dialog given a name, or cancelled): the path buttons, Save and the
    // duplicate count follow what the lists hold now.
    void updateAfterOpen();
    // The three lists a result set holds.
    stream::ResultSet resultSet() const;
    // What a set read by Open must not change in the window (main_window_result_sets.cpp).
    class KeepWindowOwnState;
    // The settings of a file dialog of the description, its texts translated.
    FileDialogSettings dialogSettings(const char* dialog);
    // The number of duplicate nodes in duplicateTree_: the children of its top-level nodes.
    int32_t countDuplicateNodes() const;

    // The Select menu and File > Export (main_window_select.cpp, main_window_export.cpp).
    // Ticks every file of each group but the one `rule` keeps, which it unticks.
    void tickDuplicatesKeeping(engine::KeepRule rule);
    void untickAll();
    // Ticks the unticked files of the current node's group and unticks the ticked ones.
    void invertTicksInGroup();
    void exportClicked();
    // What Export does once the dialog has given a file (bytes) and its format: the groups as the
    // command line's `find` prints them. Throws corvane::Error with the text of the error box; an
    // older file of that name stays whole then.
    void exportGroups(const std::string& file, engine::GroupFormat format);
    QMenu* selectMenu_ = nullptr;
    std::vector<QAction*> keepRuleActions_; // one per rule, in the order of engine::KeepRule
    QAction* untickAllAction_ = nullptr;
    QAction* invertGroupAction_ = nullptr;
    QAction* exportAction_ = nullptr;
    // Search options: Search > Search Options... sets the filters of the next searches
    // (main_window_search_options.cpp); they last for the session.
    void searchOptionsClicked(QObject* sender);
    SearchOptionsDialog* searchOptionsDialog() const { return searchOptionsDialog_; }
    QAction* searchOptionsAction_ = nullptr;

    // Reports of the engine.
    void fileFound(const engine::FoundFile& file);
    void scanFinished(engine::ScanEnd& end);
    void compareProgress(int32_t position, int32_t listCount, int32_t duplicatesFound);
    void duplicateGroupFound(const engine::FoundGroup& group);
    void compareFinished(const engine::CompareEnd& end);

    void descriptionLoaded() override;
    // On a screen too low for the description: the file information beside the tree, the
    // window as wide as the screen (main_window_layout.cpp).
    void arrangeForRoom(const QSize& room) override;
    // Shortcuts (Ctrl+S, Ctrl+O, Ctrl+Q, F1, F5 for the search, F10 for the menu) and the labels'
    // fields.
    void setUpKeyboard();
    // The Edit menu (Undo and the actions beside the trash), before the Select menu; and whether
    // Undo is offered now.
    void addEditMenu();
    // The folders of the search path list marked as reference folders, in list order.
    std::vector<std::string> referenceFolders() const;
    // Keeps the tree's reference folders those of the search path list as it is now, however a
    // row is added, marked, unmarked, edited or removed: the padlocks, the ticks and every action
    // follow at once.
    void followReferenceFolders();
    void updateUndo();
    // Keeps the information box and the buttons that depend on the tree with its current node and
    // its ticks, however they change.
    void followTree();
    void setStatus(const QString& text);
    // The same for a text made from counts, made only when it is shown or asked for: reports come
    // far more often than the line is repainted.
    using StatusMaker = QString (*)(int64_t, int64_t, int64_t);
    void setStatusLater(StatusMaker maker, int64_t a, int64_t b = 0, int64_t c = 0);
    void flushStatus();
    // Lets the window repaint and take clicks, at most every few milliseconds: a search hands
    // over a report per file, and pumping for each of a million would cost more than the search.
    void processPendingEvents(bool always = false);
    void setTreeSearching(bool searching);
    void returnToIdle();
    // A run that a failure ended: back to idle with what was found, the failure in the error box.
    void searchFailed(const std::exception_ptr& failure);
    // The Select menu and File > Export, added to the menus the description made.
    void addSelectMenuAndExport();
    // Their entries are there to use when the tree has groups and no search runs.
    void enableSelectAndExport();

    QWidget* client_;
    std::unique_ptr<stream::ClassInfo> class_;
    PathDialog* pathDialog_ = nullptr;
    DeleteDialog* deleteDialog_ = nullptr;
    AboutWindow* aboutWindow_ = nullptr;
    HelpWindow* helpWindow_ = nullptr;
    std::shared_ptr<QtUiThread> uiThread_;
    qtcore::LocaleTexts texts_;
    mutable QString status_;
    struct PendingStatus {
        StatusMaker maker = nullptr;
        int64_t a = 0, b = 0, c = 0;
    };
    mutable PendingStatus pendingStatus_;
    std::chrono::steady_clock::time_point lastPump_{};
    std::chrono::steady_clock::time_point lastStatus_{};
    bool shown_ = false;
    bool closed_ = false;
    bool undoing_ = false;

    // Search options (main_window_search_options.cpp).
    // The Search menu with its options entry, and the dialog it opens.
    void setUpSearchOptions();
    // At the start of a search: the options in force become the search's, and the scanner gets
    // its part of them.
    void takeSearchOptions();
    // `status` with what the search's filters left out, when it had any.
    QString withFiltersNote(const QString& status) const;
    SearchOptionsDialog* searchOptionsDialog_ = nullptr;
    engine::SearchFilters searchFilters_; // of the running or last search
    engine::FurtherNames furtherNames_;   // with skipHardLinks: the files the search met
    int64_t furtherNamesPassedOver_ = 0;  // not listed, not compared
    int64_t outsideSizeLimits_ = 0;       // listed, not compared
};

} // namespace corvane::ui
