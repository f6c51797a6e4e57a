// The main window's File > Save and File > Open: result file sets.

#include "qtcore/saved_result_file.h"
#include "stream/error.h"
#include "stream/result_set.h"
#include "ui/desktop/result_files.h"
#include "ui/desktop/status_texts.h"
#include "ui/forms/anchor_layout.h"
#include "ui/forms/control_support.h"
#include "ui/forms/list_controls_qt.h"
#include "ui/forms/window_texts.h"
#include "ui/windows/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QPushButton>
#include <QTabWidget>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace corvane::ui {

namespace {

constexpr const char* kLoadingFiles = QT_TRANSLATE_NOOP("frm_utama", "Loading Files, Please Wait ...");

QString text(const char* english) {
    return QCoreApplication::translate("frm_utama", english);
}

// Repaints and the workers' reports go on between the files; clicks and keys wait until the set is
// complete, so that no search, second Open or deletion starts on a set that is half read or written.
void betweenFiles() {
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

stream::ObjectRef findWindow(std::string_view name) {
    const QString wanted = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (dynamic_cast<Form*>(window) && window->objectName().compare(wanted, Qt::CaseInsensitive) == 0) {
            return refOf(window);
        }
    }
    return {};
}

} // namespace

stream::ResultSet MainWindow::resultSet() const {
    return {*searchPathList_, *searchedFilesList_, *duplicateTree_};
}

// What a result file must not change, whatever it holds, restored when the read ends (also when it
// fails): the controls' names, by which the window finds them; the tree's state images; and the
// window's layout, the tree's indent included: a set saved in a larger window, or a hostile one, would
// otherwise leave the lists beyond the window's edges for good.
class MainWindow::KeepWindowOwnState {
public:
    explicit KeepWindowOwnState(MainWindow& window)
        : window_(window), stateImages_(window.duplicateTree_->stateImages()),
          indent_(window.duplicateTree_->indent()) {
        for (QWidget* control : controls()) {
            names_.push_back(control->objectName());
        }
    }
    ~KeepWindowOwnState() {
        window_.duplicateTree_->setStateImages(stateImages_);
        window_.duplicateTree_->setIndent(indent_);
        const std::array<QWidget*, 3> all = controls();
        for (size_t i = 0; i < all.size(); ++i) {
            all[i]->setObjectName(names_[i]);
            const AnchorRule* rule = anchorRuleOf(all[i]);
            if (rule != nullptr) {
                applyPlacement(all[i], {.left = all[i]->x(),
                                        .top = all[i]->y(),
                                        .width = all[i]->width(),
                                        .height = all[i]->height(),
                                        .align = rule->align,
                                        .anchors = rule->anchors});
            }
            if (all[i]->parentWidget() != nullptr) {
                arrangeChildren(all[i]->parentWidget());
            }
        }
    }
    KeepWindowOwnState(const KeepWindowOwnState&) = delete;
    KeepWindowOwnState& operator=(const KeepWindowOwnState&) = delete;

private:
    std::array<QWidget*, 3> controls() const {
        return {window_.searchPathList_, window_.searchedFilesList_, window_.duplicateTree_};
    }

    MainWindow& window_;
    stream::ObjectRef stateImages_;
    int32_t indent_;
    std::vector<QString> names_;
};

FileDialogSettings MainWindow::dialogSettings(const char* dialog) {
    FileDialogSettings settings = fileDialogSettings(findComponent(dialog));
    settings.filter = windowText(this, settings.filter);
    settings.title = windowText(this, settings.title);
    return settings;
}

void MainWindow::saveClicked(QObject*) {
    const QString name = chooseResultFile(this, ResultFileDialog::Save, dialogSettings("SaveDialog1")).name;
    if (name.isEmpty()) {
        return;
    }
    layOutAllPages(pages_);
    // A file that cannot be written ends Save with its error ("Cannot create file ..."), shown
    // in the error box as it is.
    stream::writeResultSet(fileNameBytes(name), resultSet(), qtcore::createResultFile, betweenFiles);
}

void MainWindow::openClicked(QObject*) {
    const QString name = chooseResultFile(this, ResultFileDialog::Open, dialogSettings("OpenDialog1")).name;
    openResultSet(name.isEmpty() ? std::string() : fileNameBytes(name));
}

void MainWindow::openResultSet(const std::string& file) {
    if (!file.empty()) {
        setStatus(text(kLoadingFiles));
        flushStatus();
        // A file that cannot be read ends Open with its error ("Cannot open file ...", or the
        // stream's): what was read stays, the status keeps "Loading Files, Please Wait ...", and
        // neither the buttons nor the duplicate count follow, as Open ends there.
        {
            const KeepWindowOwnState keep(*this);
            stream::ReadOptions options;
            options.findWindow = findWindow;
            stream::readResultSet(file, resultSet(), options, betweenFiles);
        }
        setStatus(QString());
        flushStatus();
    }
    updateAfterOpen();
    setStatus(summaryStatus(duplicateCount_, searchedFilesList_->listModel()->count()));
    flushStatus();
}

void MainWindow::updateAfterOpen() {
    // The set's reference folders mark its files as the search that made it did.
    duplicateTree_->treeModel()->setReferenceFolders(referenceFolders());
    if (searchPathList_->hasRows()) {
        deletePathButton_->setEnabled(true);
        searchButton_->setEnabled(true);
        editPathButton_->setEnabled(true);
        saveAction_->setEnabled(true);
    }
    if (duplicateTree_->hasNodes()) {
        duplicateCount_ = countDuplicateNodes();
    }
}

bool MainWindow::canOpenResultSet() const {
    return openAction_ != nullptr && openAction_->isEnabled();
}

bool MainWindow::showsResults() const {
    return searchPathList_->hasRows() || searchedFilesList_->hasRows() || duplicateTree_->hasNodes();
}

int32_t MainWindow::countDuplicateNodes() const {
    const DuplicateTreeModel* tree = duplicateTree_->treeModel();
    int64_t count = 0;
    for (int group = 0; group < tree->rowCount(); ++group) {
        count += tree->rowCount(tree->index(group, 0));
    }
    return static_cast<int32_t>(std::min<int64_t>(count, INT32_MAX));
}

} // namespace corvane::ui
