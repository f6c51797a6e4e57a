#pragma once

// How tests (and the window benchmark) reach into the main window: its controls, the engine's
// drivers, the counts it keeps and the handlers its menus and buttons call. The window keeps all of
// these private; this class is its friend, and gives them out as they are, so that a test sees and
// changes what the window itself sees.

#include "ui/windows/main_window.h"

#include <QString>
#include <string>
#include <vector>

namespace corvane::ui {

class MainWindowProbe {
public:
    explicit MainWindowProbe(MainWindow& window) : window_(window) {}

    // Controls of the window description.
    QPushButton* addPathButton() const { return window_.addPathButton_; }
    QPushButton* editPathButton() const { return window_.editPathButton_; }
    QPushButton* deletePathButton() const { return window_.deletePathButton_; }
    QPushButton* searchButton() const { return window_.searchButton_; }
    ListViewWidget* searchPathList() const { return window_.searchPathList_; }
    QTabWidget* pages() const { return window_.pages_; }
    QPushButton* deleteDuplicatesButton() const { return window_.deleteDuplicatesButton_; }
    QPushButton* deleteCheckedButton() const { return window_.deleteCheckedButton_; }
    TreeViewWidget* duplicateTree() const { return window_.duplicateTree_; }
    QGroupBox* fileInfoBox() const { return window_.fileInfoBox_; }
    QLineEdit* fileTypeField() const { return window_.fileTypeField_; }
    QLineEdit* locationField() const { return window_.locationField_; }
    QLineEdit* sizeField() const { return window_.sizeField_; }
    QLineEdit* createdField() const { return window_.createdField_; }
    QPushButton* openFileButton() const { return window_.openFileButton_; }
    QPushButton* openFolderButton() const { return window_.openFolderButton_; }
    ListViewWidget* searchedFilesList() const { return window_.searchedFilesList_; }
    QStatusBar* statusBar() const { return window_.statusBar_; }

    // Menu entries.
    QAction* saveAction() const { return window_.saveAction_; }
    QAction* openAction() const { return window_.openAction_; }
    QAction* helpContentAction() const { return window_.helpContentAction_; }
    QAction* undoAction() const { return window_.undoAction_; }
    const std::vector<QAction*>& keepRuleActions() const { return window_.keepRuleActions_; }
    QAction* untickAllAction() const { return window_.untickAllAction_; }
    QAction* invertGroupAction() const { return window_.invertGroupAction_; }
    QAction* exportAction() const { return window_.exportAction_; }
    QAction* searchOptionsAction() const { return window_.searchOptionsAction_; }

    // The windows it opened, nullptr before.
    HelpWindow* helpWindow() const { return window_.helpWindow(); }
    SearchOptionsDialog* searchOptionsDialog() const { return window_.searchOptionsDialog(); }

    // The engine's drivers, nullptr before the first search.
    engine::FileScanner* scanner() const { return window_.scanner_.get(); }
    engine::DuplicateComparer* comparer() const { return window_.comparer_.get(); }

    // What the window keeps besides its controls.
    bool stopRequested() const { return window_.stopRequested_; }
    int32_t& duplicateCount() const { return window_.duplicateCount_; }
    int32_t countDuplicateNodes() const { return window_.countDuplicateNodes(); }
    QString statusLine() const { return window_.statusLine(); }

    // The handlers, called as their menu entry or button would call them.
    void saveClicked() const { window_.saveClicked(nullptr); }
    void openClicked() const { window_.openClicked(nullptr); }
    void aboutClicked() const { window_.aboutClicked(nullptr); }
    void helpContentClicked() const { window_.helpContentClicked(nullptr); }
    void openFileClicked() const { window_.openFileClicked(nullptr); }
    void openFolderClicked() const { window_.openFolderClicked(nullptr); }
    void deleteCheckedClicked() const { window_.deleteCheckedClicked(nullptr); }
    void linkCheckedClicked() const { window_.linkCheckedClicked(nullptr); }
    void shareCheckedClicked() const { window_.shareCheckedClicked(nullptr); }
    void exportGroups(const std::string& file, engine::GroupFormat format) const {
        window_.exportGroups(file, format);
    }

private:
    MainWindow& window_;
};

} // namespace corvane::ui
