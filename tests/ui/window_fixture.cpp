#include "window_fixture.h"

#include "engine/worker_thread.h"
#include "event_wait.h"
#include "ui/list_controls_qt.h"
#include "ui/windows.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>

namespace corvane::testing {

void WindowFixture::SetUp() {
    main_ = std::make_unique<ui::Tfrm_utama>();
    ui::frm_utama = main_.get();
    add_ = std::make_unique<ui::Tfrm_add>(main_.get());
    ui::frm_add = add_.get();
    delete_ = std::make_unique<ui::Tfrm_delete>(main_.get());
    ui::frm_delete = delete_.get();
    about_ = std::make_unique<ui::Tfrm_about>(main_.get());
    ui::frm_about = about_.get();
    main_->show();
    QApplication::processEvents();
}

void WindowFixture::TearDown() {
    main_->close();
    about_.reset();
    delete_.reset();
    add_.reset();
    main_.reset();
    ui::frm_utama = nullptr;
    ui::frm_add = nullptr;
    ui::frm_delete = nullptr;
    ui::frm_about = nullptr;
    EXPECT_TRUE(engine::WorkerThread::waitUntilNoneRuns(kGenerousTimeout));
}

void WindowFixture::addSearchPath(const std::string& folder, const std::string& patterns) {
    main_->ListView1->listModel()->appendRow(ui::ListRow(folder, {patterns}));
    main_->ListView1->listModel()->flushAppendedRows();
    main_->Bit_Search->setEnabled(true);
}

bool WindowFixture::idle() {
    return main_->Bit_Search->text() == QLatin1String(ui::Tfrm_utama::kStartSearch) && main_->FileScan &&
           !main_->FileScan->Busy && !main_->FileCompare->Busy;
}

bool WindowFixture::waitUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + kGenerousTimeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

bool WindowFixture::runSearch() {
    main_->Bit_Search->click();
    return waitUntil([this] { return idle(); });
}

std::vector<std::string> WindowFixture::searchedFiles() {
    std::vector<std::string> rows;
    const ui::SearchedFilesModel* model = main_->Listview2->listModel();
    for (int i = 0; i < model->count(); ++i) {
        rows.emplace_back(model->row(i).caption());
    }
    return rows;
}

std::vector<std::string> WindowFixture::treeGroups() {
    std::vector<std::string> groups;
    const ui::DuplicateTreeModel* tree = main_->TreeView1->treeModel();
    for (int top = 0; top < tree->rowCount(); ++top) {
        const QModelIndex group = tree->index(top, 0);
        std::string line = tree->node(group)->text;
        for (int child = 0; child < tree->rowCount(group); ++child) {
            line += "|" + tree->node(tree->index(child, 0, group))->text;
        }
        groups.push_back(line);
    }
    return groups;
}

} // namespace corvane::testing
