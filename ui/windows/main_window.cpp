#include "ui/windows/main_window.h"

#include "stream/error.h"
#include "stream/list_controls.h"
#include "stream/result_set.h"
#include "ui/desktop/qt_ui_thread.h"
#include "ui/desktop/status_texts.h"
#include "ui/forms/control_classes.h"
#include "ui/forms/control_support.h"
#include "ui/forms/list_controls_qt.h"
#include "ui/forms/message_dialog.h"
#include "ui/forms/property_values.h"
#include "ui/forms/window_texts.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <system_error>
#include <thread>

namespace corvane::ui {

namespace {

void freeElsewhere(engine::StringList&& list) {
    try {
        std::thread([spent = std::move(list)]() mutable { spent.clear(); }).detach();
    } catch (const std::system_error&) {
        // No thread to be had: the list has been freed here and now.
    }
}

// The status line is repainted at most this often; its text is always the latest.
constexpr std::chrono::milliseconds kStatusInterval{30};
// Pending window events are processed at most this often during a search.
constexpr std::chrono::milliseconds kPumpInterval{10};

template <class T> T* component(Form& form, const char* name) {
    return qobject_cast<T*>(form.findComponent(name));
}

// What assistive technology says of the controls, and the tooltips of the picture buttons.
constexpr ControlDescription kControlDescriptions[] = {
    {"Bit_Add", nullptr,
     QT_TRANSLATE_NOOP("frm_utama", "Add a folder to search, with the file types to look for"), true},
    {"Bit_edit", nullptr, QT_TRANSLATE_NOOP("frm_utama", "Change the selected search path"), true},
    {"Bit_Del", nullptr, QT_TRANSLATE_NOOP("frm_utama", "Remove the selected search path from the list"),
     true},
    {"Bit_Search", nullptr,
     QT_TRANSLATE_NOOP("frm_utama", "Search the listed folders for duplicate files, or stop the search (F5)"),
     true},
    {"ListView1", QT_TRANSLATE_NOOP("frm_utama", "Search paths"),
     QT_TRANSLATE_NOOP("frm_utama", "The folders to search, each with its file types")},
    {"PageControl1", QT_TRANSLATE_NOOP("frm_utama", "Results"),
     QT_TRANSLATE_NOOP("frm_utama", "The duplicate files found, and every file searched")},
    {"bit_del_dup", nullptr,
     QT_TRANSLATE_NOOP("frm_utama", "Move every duplicate file to the trash; the original files stay"), true},
    {"bit_del_checked", nullptr,
     QT_TRANSLATE_NOOP("frm_utama", "Move every ticked file to the trash, original files included"), true},
    {"TreeView1", QT_TRANSLATE_NOOP("frm_utama", "Duplicate files"),
     QT_TRANSLATE_NOOP("frm_utama",
                       "Each original file with its duplicates below it. Space or a click on the "
                       "box ticks or unticks the current file; Delete asks to delete the ticked files.")},
    {"Edit1", nullptr,
     QT_TRANSLATE_NOOP("frm_utama", "Whether the current file is an original or a duplicate")},
    {"Edit2", nullptr, QT_TRANSLATE_NOOP("frm_utama", "The full path of the current file")},
    {"Edit3", nullptr, QT_TRANSLATE_NOOP("frm_utama", "The size of the current file")},
    {"Edit4", nullptr, QT_TRANSLATE_NOOP("frm_utama", "The day the current file was created")},
    {"Bit_open", nullptr, QT_TRANSLATE_NOOP("frm_utama", "Open the current file with its program"), true},
    {"bit_explorer", nullptr, QT_TRANSLATE_NOOP("frm_utama", "Show the current file in the file manager"),
     true},
    {"Listview2", QT_TRANSLATE_NOOP("frm_utama", "Searched files"),
     QT_TRANSLATE_NOOP("frm_utama", "Every file the search found, with its size and creation date")},
    {"StatusBar1", QT_TRANSLATE_NOOP("frm_utama", "Status"), nullptr},
};

} // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), client_(new QWidget(this)) {
    setCentralWidget(client_);
    const auto on = [this](const char* name, void (MainWindow::*handler)(QObject*)) {
        addHandler(name, [this, handler](const EventArgs& args) { (this->*handler)(args.sender); });
    };
    on("FormShow", &MainWindow::formShown);
    on("FormClose", &MainWindow::formClosed);
    on("Bit_SearchClick", &MainWindow::searchClicked);
    on("Exit1Click", &MainWindow::exitClicked);
    addHandler("TreeView1Collapsing", [this](const EventArgs& args) { treeCollapsing(args); });
    addHandler("TreeView1KeyDown", [this](const EventArgs& args) { treeKeyDown(args); });
    on("TreeView1Click", &MainWindow::treeClicked);
    on("Bit_openClick", &MainWindow::openFileClicked);
    on("bit_explorerClick", &MainWindow::openFolderClicked);
    on("Bit_AddClick", &MainWindow::addPathClicked);
    on("Bit_editClick", &MainWindow::editPathClicked);
    on("Bit_DelClick", &MainWindow::deletePathClicked);
    on("bit_del_dupClick", &MainWindow::deleteDuplicatesClicked);
    on("bit_del_checkedClick", &MainWindow::deleteCheckedClicked);
    on("Content1Click", &MainWindow::helpContentClicked);
    on("About1Click", &MainWindow::aboutClicked);
    on("Save1Click", &MainWindow::saveClicked);
    on("Open1Click", &MainWindow::openClicked);
    // The description binds searchedFilesList_'s OnCompare to Listview2Compare. The list puts its
    // rows in order itself (SearchedFilesModel), so nothing handles it; the window publishes the
    // name all the same, as a description may only bind names its window publishes.
    std::vector<std::string> published = handlerNames();
    published.emplace_back("Listview2Compare");
    class_ = makeFormClass("Tfrm_utama", published);
    loadDescription(embeddedDescription("main_window"));
    // Once the description's controls have their mnemonics: the new entries take letters left free.
    addSelectMenuAndExport();
    addEditMenu();
    setUpSearchOptions();
}

void MainWindow::setWindowsToOpen(PathDialog& pathDialog, DeleteDialog& deleteDialog,
                                  AboutWindow& aboutWindow) {
    pathDialog_ = &pathDialog;
    deleteDialog_ = &deleteDialog;
    aboutWindow_ = &aboutWindow;
}

MainWindow::~MainWindow() {
    if (uiThread_) {
        uiThread_->close();
    }
}

void MainWindow::descriptionLoaded() {
    addPathButton_ = component<QPushButton>(*this, "Bit_Add");
    editPathButton_ = component<QPushButton>(*this, "Bit_edit");
    deletePathButton_ = component<QPushButton>(*this, "Bit_Del");
    searchButton_ = component<QPushButton>(*this, "Bit_Search");
    searchPathList_ = component<ListViewWidget>(*this, "ListView1");
    pages_ = component<QTabWidget>(*this, "PageControl1");
    deleteDuplicatesButton_ = component<QPushButton>(*this, "bit_del_dup");
    deleteCheckedButton_ = component<QPushButton>(*this, "bit_del_checked");
    duplicateTree_ = component<TreeViewWidget>(*this, "TreeView1");
    fileInfoBox_ = component<QGroupBox>(*this, "GroupBox1");
    fileTypeField_ = component<QLineEdit>(*this, "Edit1");
    locationField_ = component<QLineEdit>(*this, "Edit2");
    sizeField_ = component<QLineEdit>(*this, "Edit3");
    createdField_ = component<QLineEdit>(*this, "Edit4");
    openFileButton_ = component<QPushButton>(*this, "Bit_open");
    openFolderButton_ = component<QPushButton>(*this, "bit_explorer");
    searchedFilesList_ = component<ListViewWidget>(*this, "Listview2");
    statusBar_ = component<QStatusBar>(*this, "StatusBar1");
    saveAction_ = menuAction(findComponent("Save1"));
    openAction_ = menuAction(findComponent("Open1"));
    exitAction_ = menuAction(findComponent("Exit1"));
    helpContentAction_ = menuAction(findComponent("Content1"));
    if (!searchButton_ || !searchPathList_ || !searchedFilesList_ || !duplicateTree_ || !statusBar_ ||
        !saveAction_ || !openAction_ || !pages_) {
        throw Error("The main window's description lacks a control it needs");
    }
    // A search orders its tree by text at its end: the groups' places are noted as they come.
    duplicateTree_->treeModel()->setOrderingAhead(true);
    followTree();
    followReferenceFolders();
    setUpKeyboard();
    describeControls(*this, kControlDescriptions);
}

void MainWindow::setUpKeyboard() {
    saveAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    openAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    if (exitAction_) {
        exitAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    }
    if (helpContentAction_) {
        helpContentAction_->setShortcut(QKeySequence(Qt::Key_F1));
    }
    searchAction_ = new QAction(this);
    searchAction_->setShortcut(QKeySequence(Qt::Key_F5));
    connect(searchAction_, &QAction::triggered, this, [this] {
        if (searchButton_->isEnabled()) {
            searchButton_->click();
        }
    });
    addAction(searchAction_);
    // F10 opens the menu bar's first menu, as on other desktops.
    auto* menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menuKey, &QShortcut::activated, this, [this] {
        if (QMenuBar* bar = qobject_cast<QMenuBar*>(menuWidget()); bar && !bar->actions().isEmpty()) {
            bar->setActiveAction(bar->actions().constFirst());
        }
    });
    // The labels of the file information name their fields, for assistive technology.
    const std::pair<const char*, QLineEdit*> labels[] = {{"Label1", fileTypeField_},
                                                         {"Label2", locationField_},
                                                         {"Label3", sizeField_},
                                                         {"Label4", createdField_}};
    for (const auto& [label, field] : labels) {
        if (auto* shown = component<QLabel>(*this, label); shown && field) {
            shown->setBuddy(field);
        }
    }
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    showFocusAlways(this);
    if (!shown_) {
        shown_ = true;
        placeWindowAtShow(this);
        raiseEvent("OnShow", EventArgs{this});
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    raiseEvent("OnClose", EventArgs{this});
    QMainWindow::closeEvent(event);
}

// ---------------------------------------------------------------------------------------------
// Start-up and closing

void MainWindow::formShown(QObject*) {
    uiThread_ = std::make_shared<QtUiThread>(this);

    scanner_ = std::make_unique<engine::FileScanner>(uiThread_);
    scanner_->recursive = true;
    scanner_->onFileFound = [this](const engine::FoundFile& file) { fileFound(file); };
    // An end report is the last word of a run: a failure of its handler is shown here, or nowhere.
    scanner_->onScanFinished = [this](engine::ScanEnd& end) {
        try {
            scanFinished(end);
        } catch (...) {
            searchFailed(std::current_exception());
        }
    };

    comparer_ = std::make_unique<engine::DuplicateComparer>(uiThread_);
    comparer_->onCompareProgress = [this](int32_t position, int32_t listCount, int32_t duplicatesFound) {
        compareProgress(position, listCount, duplicatesFound);
    };
    comparer_->onCompareFinished = [this](const engine::CompareEnd& end) {
        try {
            compareFinished(end);
        } catch (...) {
            searchFailed(std::current_exception());
        }
    };
    comparer_->onRunProgress = [this](int32_t fileCount, int64_t fileSize, int64_t bytesRead) {
        // A long run: what it has read, rather than a count of files that stands still.
        setStatus(runProgressStatus(fileCount, fileSize, bytesRead));
        processPendingEvents();
    };
    comparer_->onFirstLookProgress = [this](int32_t filesRead, int32_t fileCount) {
        setStatus(firstLookStatus(filesRead, fileCount));
        processPendingEvents();
    };
    comparer_->onDuplicateGroup = [this](const engine::FoundGroup& group) { duplicateGroupFound(group); };

    pages_->setCurrentIndex(0);
}

void MainWindow::formClosed(QObject*) {
    if (closed_) {
        return;
    }
    closed_ = true;
    if (scanner_) {
        scanner_->stop();
    }
    if (comparer_) {
        comparer_->stop();
    }
    // No worker may wait on a window that has closed: waiting and later reports are turned away.
    if (uiThread_) {
        uiThread_->close();
    }
    QApplication::processEvents();
    // The drivers detach their workers as they go; a worker still running ends on its own.
    scanner_.reset();
    comparer_.reset();
}

bool MainWindow::bringToFront(const QByteArray& activationToken) {
    if (!activationToken.isEmpty()) {
        // Where the desktop hands out activation tokens (Wayland), Qt passes this one on when the
        // window asks for the focus.
        qputenv("XDG_ACTIVATION_TOKEN", activationToken);
    }
    if (isMinimized()) {
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    }
    show();
    raise();
    activateWindow();
    // A modal dialog over the window comes to the front with it.
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != this) {
        modal->raise();
        modal->activateWindow();
    }
    return isVisible() && !isMinimized();
}

void MainWindow::exitClicked(QObject*) {
    close();
}

void MainWindow::treeCollapsing(const EventArgs& args) {
    if (args.allow) {
        *args.allow = true;
    }
}

// ---------------------------------------------------------------------------------------------
// The search

void MainWindow::searchClicked(QObject*) {
    const QString caption = captionOf(searchButton_);
    if (caption == QLatin1String(kStartSearch)) {
        saveAction_->setEnabled(false);
        openAction_->setEnabled(false);
        deleteDuplicatesButton_->setEnabled(false);
        deleteCheckedButton_->setEnabled(false);
        for (QLineEdit* edit : {fileTypeField_, locationField_, sizeField_, createdField_}) {
            edit->clear();
        }
        openFileButton_->setEnabled(false);
        openFolderButton_->setEnabled(false);
        setStatus(searchingStatus());
        setCaption(searchButton_, QLatin1String(kStopSearch));
        stopRequested_ = false;
        searchedFilesList_->listModel()->clear();
        searchedFilesList_->setSortType(stream::stNone);
        duplicateTree_->treeModel()->clear();
        duplicateTree_->setSortType(stream::stNone);
        setTreeSearching(true);
        scanner_->searchPaths.clear();
        scanner_->fileTypes.clear();
        const SearchedFilesModel* paths = searchPathList_->listModel();
        for (int i = 0; i < paths->count(); ++i) {
            scanner_->searchPaths.emplace_back(paths->row(i).caption());
            scanner_->fileTypes.emplace_back(paths->row(i).subItemText(0));
        }
        duplicateTree_->treeModel()->setReferenceFolders(referenceFolders());
        takeSearchOptions();
        flushStatus();
        scanner_->start();
    } else if (caption == QLatin1String(kStopSearch)) {
        setCaption(searchButton_, QLatin1String(kStopping));
        scanner_->stop();
        comparer_->stop();
        stopRequested_ = true;
    }
}

void MainWindow::fileFound(const engine::FoundFile& file) {
    processPendingEvents();
    // A further name of a file met before is neither listed nor compared.
    const bool furtherName = searchFilters_.skipHardLinks && furtherNames_.isFurtherName(file.info);
    furtherNamesPassedOver_ += furtherName ? 1 : 0;
    setStatusLater([](int64_t files, int64_t folders, int64_t) { return foundFilesStatus(files, folders); },
                   file.fileCount - furtherNamesPassedOver_, file.folderCount);
    if (!furtherName) {
        searchedFilesList_->listModel()->appendFile(file.path, file.info.size, file.createdOn);
    }
}

void MainWindow::scanFinished(engine::ScanEnd& end) {
    engine::StringList& foundFiles = end.foundFiles;
    // The further names of files met before are in foundFiles but have no row.
    int64_t searched = static_cast<int64_t>(foundFiles.size()) - furtherNamesPassedOver_;
    trashFoldersPassedOver_ = end.trashFoldersPassedOver.size();
    if (end.failure) {
        // The rows shown: a file whose row failed is in foundFiles but not in the list.
        setStatus(summaryStatus(0, searchedFilesList_->listModel()->count()));
        searchFailed(end.failure);
        return;
    }
    if (stopRequested_ || foundFiles.empty()) {
        returnToIdle();
    } else {
        SearchedFilesModel* rows = searchedFilesList_->listModel();
        // A million rows take a tenth of a second to sort: the window goes on reacting meanwhile.
        const engine::BetweenPieces pump = [this] {
            processPendingEvents();
            return !closed_;
        };
        for (const stream::SortType sortType : {stream::stText, stream::stData}) {
            if (!rows->sortInPieces(sortType, pump)) {
                if (closed_) {
                    return; // the window closed meanwhile: nothing more to do
                }
                rows->setSortType(sortType); // the rows changed meanwhile: sorted at once
            }
            processPendingEvents(true);
            if (closed_) {
                return;
            }
        }
        const int n = rows->count();
        // The paths go to the comparer in the list's order. Rows are kept in the order their
        // files were found, as the scan's list holds the paths: each path moves over from there
        // rather than being copied again (a million paths are tens of megabytes, and the scan's
        // copies, made on its thread, would stay in the process as free memory). A path that is
        // not its row's is copied from the row.
        const bool rowPerPath = foundFiles.size() == static_cast<size_t>(n);
        engine::StringList ordered;
        ordered.reserve(static_cast<size_t>(n));
        std::vector<int64_t> sizes;
        sizes.reserve(static_cast<size_t>(n));
        // The comparer's first look reads the files in the order the scan found them, folder by
        // folder: where each row is kept is that order.
        std::vector<uint32_t> readingOrder;
        readingOrder.reserve(static_cast<size_t>(n));
        for (int i = 0; i < n && !stopRequested_; ++i) {
            const int64_t size = rows->sizeOf(i);
            // A file outside the size limits stays in the list, searched, but is not compared.
            if (searchFilters_.compares(size)) {
                const std::string_view caption = rows->caption(i);
                const size_t kept = rows->stored(i);
                if (rowPerPath && foundFiles[kept] == caption) {
                    ordered.push_back(std::move(foundFiles[kept]));
                } else {
                    ordered.emplace_back(caption);
                }
                sizes.push_back(size);
                readingOrder.push_back(static_cast<uint32_t>(kept));
            } else {
                ++outsideSizeLimits_;
            }
            setStatusLater(
                [](int64_t done, int64_t total, int64_t) { return sortingStatus(percentOf(done, total)); }, i,
                n);
            processPendingEvents(i == 0);
            if (closed_) {
                return;
            }
        }
        // The scan's list, whose paths were copied over, is freed on a thread of its own: giving
        // back a million paths' storage takes a few dozen milliseconds the window would not
        // react in.
        freeElsewhere(std::move(foundFiles));
        foundFiles.clear();
        searched = static_cast<int64_t>(ordered.size()) + outsideSizeLimits_;
        // The list goes on to the comparer's worker as it is: a second copy of a million paths
        // would only take memory.
        comparer_->setFileList(std::move(ordered), std::move(sizes));
        comparer_->readingOrder = std::move(readingOrder);
        if (!stopRequested_) {
            comparer_->start();
        } else {
            returnToIdle();
        }
    }
    setStatus(withFiltersNote(
        withTrashFoldersNote(summaryStatus(0, searched), static_cast<int64_t>(trashFoldersPassedOver_))));
    flushStatus();
    openAction_->setEnabled(true);
}

void MainWindow::compareProgress(int32_t position, int32_t listCount, int32_t duplicatesFound) {
    processPendingEvents();
    setStatusLater(comparingStatus, position, listCount, duplicatesFound);
}

void MainWindow::duplicateGroupFound(const engine::FoundGroup& group) {
    duplicateTree_->treeModel()->appendGroup(group.file, group.duplicates, group.fileInfo,
                                             group.duplicateInfos);
}

void MainWindow::compareFinished(const engine::CompareEnd& end) {
    duplicateTree_->setSortType(stream::stText);
    setTreeSearching(false);
    setCaption(searchButton_, QLatin1String(kStartSearch));
    enableSelectAndExport();
    openAction_->setEnabled(true);
    saveAction_->setEnabled(duplicateTree_->hasNodes());
    setStatus(withFiltersNote(
        withTrashFoldersNote(summaryStatus(end.duplicatesFound, end.listCount + outsideSizeLimits_),
                             static_cast<int64_t>(trashFoldersPassedOver_))));
    flushStatus();
    duplicateCount_ = end.duplicatesFound;
    if (end.failure) {
        searchFailed(end.failure);
    }
}

void MainWindow::searchFailed(const std::exception_ptr& failure) {
    if (closed_) {
        return;
    }
    comparer_->stop(); // in case it was started before the failure
    returnToIdle();
    openAction_->setEnabled(true);
    saveAction_->setEnabled(duplicateTree_->hasNodes());
    flushStatus();
    const std::string message = engine::failureMessage(failure);
    showErrorBox(QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size())), this);
}

std::vector<std::string> MainWindow::referenceFolders() const {
    std::vector<std::string> folders;
    const SearchedFilesModel* paths = searchPathList_->listModel();
    for (int i = 0; i < paths->count(); ++i) {
        if (const ListRow row = paths->row(i); row.data == stream::kReferenceFolderRowData) {
            folders.emplace_back(row.caption());
        }
    }
    return folders;
}

void MainWindow::returnToIdle() {
    setTreeSearching(false);
    setCaption(searchButton_, QLatin1String(kStartSearch));
    enableSelectAndExport();
}

void MainWindow::setTreeSearching(bool searching) {
    if (undoAction_) {
        undoAction_->setEnabled(false);
        if (!searching) {
            // The workers clear their busy flags in their end reports, after this.
            QTimer::singleShot(0, this, &MainWindow::updateUndo);
        }
    }
    duplicateTree_->setEnabled(!searching);
    setControlColor(duplicateTree_, searching ? kClInactiveCaptionText : kClWindow);
}

void MainWindow::setStatus(const QString& text) {
    pendingStatus_.maker = nullptr;
    status_ = text;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastStatus_ >= kStatusInterval) {
        flushStatus();
    }
}

void MainWindow::setStatusLater(StatusMaker maker, int64_t a, int64_t b, int64_t c) {
    pendingStatus_ = {maker, a, b, c};
    const auto now = std::chrono::steady_clock::now();
    if (now - lastStatus_ >= kStatusInterval) {
        flushStatus();
    }
}

QString MainWindow::statusLine() const {
    if (pendingStatus_.maker) {
        status_ = pendingStatus_.maker(pendingStatus_.a, pendingStatus_.b, pendingStatus_.c);
        pendingStatus_.maker = nullptr;
    }
    return status_;
}

void MainWindow::flushStatus() {
    lastStatus_ = std::chrono::steady_clock::now();
    setStatusText(statusBar_, statusLine());
}

void MainWindow::processPendingEvents(bool always) {
    const auto now = std::chrono::steady_clock::now();
    if (!always && now - lastPump_ < kPumpInterval) {
        return;
    }
    flushStatus();
    searchedFilesList_->listModel()->flushAppendedRows();
    if (scanner_->busy) {
        searchedFilesList_->listModel()->readSortKeys();
    }
    QApplication::processEvents();
    lastPump_ = std::chrono::steady_clock::now();
}

} // namespace corvane::ui
