// The main window's File > Save and File > Open: result file sets.

#include "qtcore/saved_result_file.h"
#include "stream/error.h"
#include "stream/messages.h"
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

QString shownName(const std::string& bytes) {
    return QString::fromStdString(stream::printableName(bytes));
}

bool startsWith(const std::string& text, const std::string& start) {
    return text.rfind(start, 0) == 0;
}

// An error about the result set `name` as the user reads it: which file, what is wrong in plain
// words, then the error's own text as the detail.
Error resultFileError(const std::string& name, const std::string& detail, bool saving) {
    QString plain;
    for (const std::string& file : stream::resultSetFiles(name)) {
        const std::string printable = stream::printableName(file);
        if (startsWith(detail, "Cannot open file \"" + printable + "\"")) {
            plain =
                text(QT_TRANSLATE_NOOP("frm_utama", "The result file \"%1\" cannot be opened: it is missing, "
                                                    "or Corvane may not read it."))
                    .arg(shownName(file));
        } else if (startsWith(detail, printable + ": ")) {
            plain =
                text(QT_TRANSLATE_NOOP("frm_utama", "The result file \"%1\" is damaged, or it is not a file "
                                                    "that Corvane saved."))
                    .arg(shownName(file));
        } else if (startsWith(detail, "Cannot create file \"" + printable + "\"")) {
            plain =
                text(QT_TRANSLATE_NOOP("frm_utama", "The result file \"%1\" cannot be written: the disk may "
                                                    "be full, or Corvane may not write there. Result files "
                                                    "saved before are as they were."))
                    .arg(shownName(file));
        }
        if (!plain.isEmpty()) {
            break;
        }
    }
    if (plain.isEmpty()) {
        plain = saving ? text(QT_TRANSLATE_NOOP("frm_utama", "The search cannot be saved as \"%1\"."))
                             .arg(shownName(name))
                       : text(QT_TRANSLATE_NOOP("frm_utama", "The result files \"%1\" cannot be opened."))
                             .arg(shownName(name));
    }
    const QString details = text(QT_TRANSLATE_NOOP("frm_utama", "Details: %1"))
                                .arg(QString::fromUtf8(detail.data(), detail.size()));
    return Error((plain + QLatin1String("\n\r\n\r") + details).toStdString());
}

// Repaints and the workers' reports go on between the files; clicks and keys wait until the set is
// complete, so that no search, second Open or deletion starts on a set that is half read or written.
void betweenFiles() {
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

stream::ResultSet resultSetOf(MainWindow& window) {
    return {*window.searchPathList_, *window.searchedFilesList_, *window.duplicateTree_};
}

// What a result file must not change, whatever it holds, restored when the read ends (also when it
// fails): the controls' names, by which the window finds them; the tree's state images; and the
// window's layout, the tree's indent included: a set saved in a larger window, or a hostile one, would
// otherwise leave the lists beyond the window's edges for good.
class KeepWindowOwnState {
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

FileDialogSettings MainWindow::dialogSettings(const char* dialog) {
    FileDialogSettings settings = fileDialogSettings(findComponent(dialog));
    settings.filter = windowText(this, settings.filter);
    settings.title = windowText(this, settings.title);
    return settings;
}

void MainWindow::saveClicked(QObject*) {
    const QString name = chooseResultFile(this, ResultFileDialog::Save, dialogSettings("SaveDialog1"));
    if (name.isEmpty()) {
        return;
    }
    layOutAllPages(pages_);
    const std::string file = fileNameBytes(name);
    try {
        stream::writeResultSet(file, resultSetOf(*this), qtcore::createResultFile, betweenFiles);
    } catch (const Error& error) {
        throw resultFileError(file, error.what(), true);
    }
}

void MainWindow::openClicked(QObject*) {
    const QString name = chooseResultFile(this, ResultFileDialog::Open, dialogSettings("OpenDialog1"));
    openResultSet(name.isEmpty() ? std::string() : fileNameBytes(name));
}

void MainWindow::openResultSet(const std::string& file) {
    if (!file.empty()) {
        const QString before = statusLine();
        setStatus(text(kLoadingFiles));
        flushStatus();
        try {
            const KeepWindowOwnState keep(*this);
            stream::ReadOptions options;
            options.findWindow = findWindow;
            stream::readResultSet(file, resultSetOf(*this), options, betweenFiles);
        } catch (const Error& error) {
            // The status says what it said before; the buttons follow what the lists now hold.
            setStatus(before);
            flushStatus();
            updateAfterOpen();
            throw resultFileError(file, error.what(), false);
        }
        setStatus(QString());
        flushStatus();
    }
    updateAfterOpen();
    setStatus(summaryStatus(duplicateCount_, searchedFilesList_->listModel()->count()));
    flushStatus();
}

void MainWindow::updateAfterOpen() {
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

int32_t MainWindow::countDuplicateNodes() const {
    const DuplicateTreeModel* tree = duplicateTree_->treeModel();
    int64_t count = 0;
    for (int group = 0; group < tree->rowCount(); ++group) {
        count += tree->rowCount(tree->index(group, 0));
    }
    return static_cast<int32_t>(std::min<int64_t>(count, INT32_MAX));
}

} // namespace corvane::ui
