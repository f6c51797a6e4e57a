#include "ui/Un_Utama.h"

#include "stream/error.h"
#include "stream/list_controls.h"
#include "ui/control_classes.h"
#include "ui/control_support.h"
#include "ui/list_controls_qt.h"
#include "ui/qt_ui_thread.h"
#include "ui/status_texts.h"
#include "ui/vcl_values.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>

namespace corvane::ui {

namespace {

// The status line is repainted at most this often; its text is always the latest.
constexpr std::chrono::milliseconds kStatusInterval{30};
// Pending window events are processed at most this often during a search.
constexpr std::chrono::milliseconds kPumpInterval{10};

template <class T> T* component(Form& form, const char* name) {
    return qobject_cast<T*>(form.findComponent(name));
}

} // namespace

Tfrm_utama::Tfrm_utama(QWidget* parent) : QMainWindow(parent), client_(new QWidget(this)) {
    setCentralWidget(client_);
    const auto on = [this](const char* name, void (Tfrm_utama::*handler)(QObject*)) {
        addHandler(name, [this, handler](const EventArgs& args) { (this->*handler)(args.sender); });
    };
    on("FormShow", &Tfrm_utama::FormShow);
    on("FormClose", &Tfrm_utama::FormClose);
    on("Bit_SearchClick", &Tfrm_utama::Bit_SearchClick);
    on("Exit1Click", &Tfrm_utama::Exit1Click);
    // The list's own re-sorts order its rows; the callback is Listview2Compare.
    addHandler("Listview2Compare", [](const EventArgs&) {});
    addHandler("TreeView1Collapsing", [this](const EventArgs& args) { TreeView1Collapsing(args); });
    addHandler("TreeView1KeyDown", [this](const EventArgs& args) { TreeView1KeyDown(args); });
    on("TreeView1Click", &Tfrm_utama::TreeView1Click);
    on("Bit_openClick", &Tfrm_utama::Bit_openClick);
    on("bit_explorerClick", &Tfrm_utama::bit_explorerClick);
    on("Bit_AddClick", &Tfrm_utama::Bit_AddClick);
    on("Bit_editClick", &Tfrm_utama::Bit_editClick);
    on("Bit_DelClick", &Tfrm_utama::Bit_DelClick);
    on("bit_del_dupClick", &Tfrm_utama::bit_del_dupClick);
    on("bit_del_checkedClick", &Tfrm_utama::bit_del_checkedClick);
    on("Content1Click", &Tfrm_utama::Content1Click);
    on("About1Click", &Tfrm_utama::About1Click);
    on("Save1Click", &Tfrm_utama::Save1Click);
    on("Open1Click", &Tfrm_utama::Open1Click);
    class_ = makeFormClass("Tfrm_utama", handlerNames());
    loadDescription(embeddedDescription("Tfrm_utama"));
}

Tfrm_utama::~Tfrm_utama() {
    if (uiThread_) {
        uiThread_->close();
    }
}

void Tfrm_utama::descriptionLoaded() {
    Bit_Add = component<QPushButton>(*this, "Bit_Add");
    Bit_edit = component<QPushButton>(*this, "Bit_edit");
    Bit_Del = component<QPushButton>(*this, "Bit_Del");
    Bit_Search = component<QPushButton>(*this, "Bit_Search");
    ListView1 = component<ListViewWidget>(*this, "ListView1");
    PageControl1 = component<QTabWidget>(*this, "PageControl1");
    bit_del_dup = component<QPushButton>(*this, "bit_del_dup");
    bit_del_checked = component<QPushButton>(*this, "bit_del_checked");
    TreeView1 = component<TreeViewWidget>(*this, "TreeView1");
    GroupBox1 = component<QGroupBox>(*this, "GroupBox1");
    Edit1 = component<QLineEdit>(*this, "Edit1");
    Edit2 = component<QLineEdit>(*this, "Edit2");
    Edit3 = component<QLineEdit>(*this, "Edit3");
    Edit4 = component<QLineEdit>(*this, "Edit4");
    Bit_open = component<QPushButton>(*this, "Bit_open");
    bit_explorer = component<QPushButton>(*this, "bit_explorer");
    Listview2 = component<ListViewWidget>(*this, "Listview2");
    StatusBar1 = component<QStatusBar>(*this, "StatusBar1");
    Save1 = menuAction(findComponent("Save1"));
    Open1 = menuAction(findComponent("Open1"));
    Exit1 = menuAction(findComponent("Exit1"));
    if (!Bit_Search || !ListView1 || !Listview2 || !TreeView1 || !StatusBar1 || !Save1 || !Open1 ||
        !PageControl1) {
        throw Error("The main window's description lacks a control it needs");
    }
}

void Tfrm_utama::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        placeWindowAtShow(this);
        raiseEvent("OnShow", EventArgs{this});
    }
}

void Tfrm_utama::closeEvent(QCloseEvent* event) {
    raiseEvent("OnClose", EventArgs{this});
    QMainWindow::closeEvent(event);
}

// ---------------------------------------------------------------------------------------------
// Start-up and closing

void Tfrm_utama::FormShow(QObject*) {
    uiThread_ = std::make_shared<QtUiThread>(this);

    FileScan = std::make_unique<engine::TmFileScan>(uiThread_);
    FileScan->Recursive = true;
    FileScan->DateFormat = [texts = texts_](const platform::CivilDate& date) {
        return texts.shortDateText(date);
    };
    FileScan->OnFileFound = [this](engine::TSearchThread* sender, const std::string& fileName,
                                   const std::string& sizeText, const std::string& dateText,
                                   int64_t totalSize, int32_t folderCount, int32_t fileCount) {
        FileFound(sender, fileName, sizeText, dateText, totalSize, folderCount, fileCount);
    };
    FileScan->OnScanFinished = [this](engine::TSearchThread* sender, engine::StringList& foundFiles) {
        ScanFinished(sender, foundFiles);
    };

    FileCompare = std::make_unique<engine::TmFileCompare>(uiThread_);
    FileCompare->OnCompareProgress = [this](engine::TCompareThread* sender, int32_t position,
                                            int32_t listCount, int32_t duplicatesFound) {
        CompareProgress(sender, position, listCount, duplicatesFound);
    };
    FileCompare->OnCompareFinished = [this](engine::TCompareThread* sender, int32_t listCount,
                                            int32_t duplicatesFound) {
        CompareFinished(sender, listCount, duplicatesFound);
    };
    FileCompare->OnDuplicateGroup = [this](engine::TCompareThread* sender, const std::string& groupFile,
                                           const engine::StringList& groupDuplicates) {
        DuplicateGroupFound(sender, groupFile, groupDuplicates);
    };

    PageControl1->setCurrentIndex(0);
}

void Tfrm_utama::FormClose(QObject*) {
    if (closed_) {
        return;
    }
    closed_ = true;
    if (FileScan) {
        FileScan->Stop();
    }
    if (FileCompare) {
        FileCompare->Stop();
    }
    // No worker may wait on a window that has closed: waiting and later reports are turned away.
    if (uiThread_) {
        uiThread_->close();
    }
    QApplication::processEvents();
    // The drivers detach their workers as they go; a worker still running ends on its own.
    FileScan.reset();
    FileCompare.reset();
}

void Tfrm_utama::Exit1Click(QObject*) {
    close();
}

void Tfrm_utama::TreeView1Collapsing(const EventArgs& args) {
    if (args.allow) {
        *args.allow = true;
    }
}

// ---------------------------------------------------------------------------------------------
// The search

void Tfrm_utama::Bit_SearchClick(QObject*) {
    const QString caption = Bit_Search->text();
    if (caption == QLatin1String(kStartSearch)) {
        Save1->setEnabled(false);
        Open1->setEnabled(false);
        bit_del_dup->setEnabled(false);
        bit_del_checked->setEnabled(false);
        for (QLineEdit* edit : {Edit1, Edit2, Edit3, Edit4}) {
            edit->clear();
        }
        Bit_open->setEnabled(false);
        bit_explorer->setEnabled(false);
        setStatus(searchingStatus());
        Bit_Search->setText(QLatin1String(kStopSearch));
        StopRequested = false;
        Listview2->listModel()->clear();
        Listview2->setSortType(stream::stNone);
        TreeView1->treeModel()->clear();
        TreeView1->setSortType(stream::stNone);
        setTreeSearching(true);
        FileScan->SearchPaths.clear();
        FileScan->FileTypes.clear();
        const SearchedFilesModel* paths = ListView1->listModel();
        for (int i = 0; i < paths->count(); ++i) {
            FileScan->SearchPaths.emplace_back(paths->row(i).caption());
            FileScan->FileTypes.emplace_back(paths->row(i).subItemText(0));
        }
        flushStatus();
        FileScan->Start();
    } else if (caption == QLatin1String(kStopSearch)) {
        Bit_Search->setText(QLatin1String(kStopping));
        FileScan->Stop();
        FileCompare->Stop();
        StopRequested = true;
    }
}

void Tfrm_utama::FileFound(engine::TSearchThread*, const std::string& FileName, const std::string& SizeText,
                           const std::string& DateText, int64_t, int32_t FolderCount, int32_t FileCount) {
    processPendingEvents();
    setStatusLater([](int64_t files, int64_t folders, int64_t) { return foundFilesStatus(files, folders); },
                   FileCount, FolderCount);
    Listview2->listModel()->appendFile(FileName, SizeText, DateText);
}

void Tfrm_utama::ScanFinished(engine::TSearchThread*, engine::StringList& FoundFiles) {
    int64_t searched = static_cast<int64_t>(FoundFiles.size());
    if (StopRequested || FoundFiles.empty()) {
        returnToIdle();
    } else {
        SearchedFilesModel* rows = Listview2->listModel();
        Listview2->setSortType(stream::stText);
        processPendingEvents(true);
        if (closed_) {
            return; // the window closed meanwhile: nothing more to do
        }
        Listview2->setSortType(stream::stData);
        const int n = rows->count();
        FoundFiles.clear();
        std::vector<int64_t> sizes;
        for (int i = 0; i < n && !StopRequested; ++i) {
            FoundFiles.emplace_back(rows->row(i).caption());
            sizes.push_back(rows->sizeOf(i));
            setStatusLater([](int64_t i, int64_t n, int64_t) { return sortingStatus(percentOf(i, n)); }, i,
                           n);
            processPendingEvents(i == 0);
            if (closed_) {
                return;
            }
        }
        searched = static_cast<int64_t>(FoundFiles.size());
        // The list goes on to the comparer's worker as it is: a second copy of a million paths
        // would only take memory.
        FileCompare->SetFileList(std::move(FoundFiles), std::move(sizes));
        if (!StopRequested) {
            FileCompare->Start();
        } else {
            returnToIdle();
        }
    }
    setStatus(summaryStatus(0, searched));
    flushStatus();
    Open1->setEnabled(true);
}

int Tfrm_utama::Listview2Compare(int row1, int row2) const {
    const SearchedFilesModel* rows = Listview2->listModel();
    if (rows->sortType() == SortType::stData) {
        const int64_t a = rows->sizeOf(row1);
        const int64_t b = rows->sizeOf(row2);
        return a == b ? 0 : (a > b ? 1 : -1);
    }
    const auto a = texts_.readShortDate(rows->row(row1).subItemText(1));
    const auto b = texts_.readShortDate(rows->row(row2).subItemText(1));
    const int64_t dayA = a ? engine::dayNumber(*a) : INT64_MIN;
    const int64_t dayB = b ? engine::dayNumber(*b) : INT64_MIN;
    return dayA == dayB ? 0 : (dayA > dayB ? 1 : -1);
}

void Tfrm_utama::CompareProgress(engine::TCompareThread*, int32_t Position, int32_t ListCount,
                                 int32_t DuplicatesFound) {
    processPendingEvents();
    setStatusLater(comparingStatus, Position, ListCount, DuplicatesFound);
}

void Tfrm_utama::DuplicateGroupFound(engine::TCompareThread* Sender, const std::string& GroupFile,
                                     const engine::StringList& GroupDuplicates) {
    TreeView1->treeModel()->appendGroup(GroupFile, GroupDuplicates, Sender->GroupFileInfo,
                                        Sender->GroupDuplicateInfos);
}

void Tfrm_utama::CompareFinished(engine::TCompareThread*, int32_t ListCount, int32_t DuplicatesFound) {
    TreeView1->setSortType(stream::stText);
    setTreeSearching(false);
    Bit_Search->setText(QLatin1String(kStartSearch));
    Open1->setEnabled(true);
    Save1->setEnabled(TreeView1->hasNodes());
    setStatus(summaryStatus(DuplicatesFound, ListCount));
    flushStatus();
    DuplicateCount = DuplicatesFound;
}

void Tfrm_utama::returnToIdle() {
    setTreeSearching(false);
    Bit_Search->setText(QLatin1String(kStartSearch));
}

void Tfrm_utama::setTreeSearching(bool searching) {
    TreeView1->setEnabled(!searching);
    setControlColor(TreeView1, searching ? kClInactiveCaptionText : kClWindow);
}

void Tfrm_utama::setStatus(const QString& text) {
    pendingStatus_.maker = nullptr;
    status_ = text;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastStatus_ >= kStatusInterval) {
        flushStatus();
    }
}

void Tfrm_utama::setStatusLater(StatusMaker maker, int64_t a, int64_t b, int64_t c) {
    pendingStatus_ = {maker, a, b, c};
    const auto now = std::chrono::steady_clock::now();
    if (now - lastStatus_ >= kStatusInterval) {
        flushStatus();
    }
}

QString Tfrm_utama::statusLine() const {
    if (pendingStatus_.maker) {
        status_ = pendingStatus_.maker(pendingStatus_.a, pendingStatus_.b, pendingStatus_.c);
        pendingStatus_.maker = nullptr;
    }
    return status_;
}

void Tfrm_utama::flushStatus() {
    lastStatus_ = std::chrono::steady_clock::now();
    setStatusText(StatusBar1, statusLine());
}

void Tfrm_utama::processPendingEvents(bool always) {
    const auto now = std::chrono::steady_clock::now();
    if (!always && now - lastPump_ < kPumpInterval) {
        return;
    }
    flushStatus();
    Listview2->listModel()->flushAppendedRows();
    if (FileScan->Busy) {
        Listview2->listModel()->readSortKeys();
    }
    QApplication::processEvents();
    lastPump_ = std::chrono::steady_clock::now();
}

} // namespace corvane::ui
