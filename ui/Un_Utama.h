#pragma once

// The main window: the search path list, the searched files, the duplicate tree with its file
// information, the menu and the status line, and the search that runs the scanner and then the
// comparer on their worker threads. The button Bit_Search starts and stops a search; its caption
// is the search state.

#include "engine/Un_My_Compare.h"
#include "engine/Un_My_FindFile.h"
#include "ui/form.h"
#include "ui/locale_texts.h"

#include <QMainWindow>
#include <chrono>
#include <memory>

class QAction;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QGroupBox;

namespace corvane::ui {

class ListViewWidget;
class QtUiThread;
class TreeViewWidget;

class Tfrm_utama final : public QMainWindow, public Form {
    Q_OBJECT
public:
    explicit Tfrm_utama(QWidget* parent = nullptr);
    ~Tfrm_utama() override;

    QWidget* formWidget() override { return this; }
    QWidget* clientArea() override { return client_; }
    const stream::ClassInfo& formClass() const override { return *class_; }

    // The search state, as the caption of Bit_Search tells it.
    static constexpr const char* kStartSearch = "Start Search";
    static constexpr const char* kStopSearch = "Stop Search";
    static constexpr const char* kStopping = "Stoping ...";

    // The text the status line shows (or is about to show: repaints are spaced out).
    QString statusLine() const;

    // Controls of the window description.
    QPushButton* Bit_Add = nullptr;
    QPushButton* Bit_edit = nullptr;
    QPushButton* Bit_Del = nullptr;
    QPushButton* Bit_Search = nullptr;
    ListViewWidget* ListView1 = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QPushButton* bit_del_dup = nullptr;
    QPushButton* bit_del_checked = nullptr;
    TreeViewWidget* TreeView1 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLineEdit* Edit3 = nullptr;
    QLineEdit* Edit4 = nullptr;
    QPushButton* Bit_open = nullptr;
    QPushButton* bit_explorer = nullptr;
    ListViewWidget* Listview2 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QAction* Save1 = nullptr;
    QAction* Open1 = nullptr;
    QAction* Exit1 = nullptr;

    // Fields besides the controls.
    std::unique_ptr<engine::TmFileScan> FileScan;
    std::unique_ptr<engine::TmFileCompare> FileCompare;
    bool StopRequested = false;
    bool DeleteAllDuplicates = false;
    bool DeleteCheckedFiles = false;
    int32_t DuplicateCount = 0;

    // Handlers bound by the window description.
    void FormShow(QObject* sender);
    void FormClose(QObject* sender);
    void Bit_SearchClick(QObject* sender);
    void Exit1Click(QObject* sender);
    // Listview2's compare callback: the order of two rows under the list's sort mode.
    int Listview2Compare(int row1, int row2) const;
    void TreeView1Collapsing(const EventArgs& args);
    // The duplicate tree and the file information box.
    void TreeView1Click(QObject* sender);
    void TreeView1KeyDown(const EventArgs& args);
    void Bit_openClick(QObject* sender);
    void bit_explorerClick(QObject* sender);
    // The search path list.
    void Bit_AddClick(QObject* sender);
    void Bit_editClick(QObject* sender);
    void Bit_DelClick(QObject* sender);
    // Deleting duplicates.
    void bit_del_dupClick(QObject* sender);
    void bit_del_checkedClick(QObject* sender);
    // Help.
    void Content1Click(QObject* sender);
    void About1Click(QObject* sender);
    // Result file sets.
    void Save1Click(QObject* sender);
    void Open1Click(QObject* sender);
    // The number of duplicate nodes in TreeView1: the children of its top-level nodes.
    int32_t CountDuplicateNodes() const;

    // Reports of the engine.
    void FileFound(engine::TSearchThread* Sender, const std::string& FileName, const std::string& SizeText,
                   const std::string& DateText, int64_t TotalSize, int32_t FolderCount, int32_t FileCount);
    void ScanFinished(engine::TSearchThread* Sender, engine::StringList& FoundFiles);
    void CompareProgress(engine::TCompareThread* Sender, int32_t Position, int32_t ListCount,
                         int32_t DuplicatesFound);
    void DuplicateGroupFound(engine::TCompareThread* Sender, const std::string& GroupFile,
                             const engine::StringList& GroupDuplicates);
    void CompareFinished(engine::TCompareThread* Sender, int32_t ListCount, int32_t DuplicatesFound);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void descriptionLoaded() override;
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

    QWidget* client_;
    std::unique_ptr<stream::ClassInfo> class_;
    std::shared_ptr<QtUiThread> uiThread_;
    LocaleTexts texts_;
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
};

} // namespace corvane::ui
