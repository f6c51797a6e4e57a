#include "window_fixture.h"

#include "engine/worker_thread.h"
#include "event_wait.h"
#include "ui/forms/list_controls_qt.h"
#include "ui/forms/window_texts.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>

namespace corvane::testing {

void WindowFixture::SetUp() {
    windows_ = std::make_unique<ui::ProgramWindows>();
    main().show();
    QApplication::processEvents();
}

void WindowFixture::TearDown() {
    main().close();
    windows_.reset();
    EXPECT_TRUE(engine::WorkerThread::waitUntilNoneRuns(kGenerousTimeout));
}

void WindowFixture::addSearchPath(const std::string& folder, const std::string& patterns) {
    probe().searchPathList()->listModel()->appendRow(ui::ListRow(folder, {patterns}));
    probe().searchPathList()->listModel()->flushAppendedRows();
    probe().searchButton()->setEnabled(true);
}

bool WindowFixture::withDialog(QPushButton* button, const std::function<void(ui::PathDialog&)>& step) {
    bool opened = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<ui::PathDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            return;
        }
        opened = true;
        step(*dialog);
        if (dialog->isVisible()) {
            dialog->cancelButton_->click();
        }
    });
    button->click();
    return opened;
}

bool WindowFixture::idle() {
    return ui::captionOf(probe().searchButton()) == QLatin1String(ui::MainWindow::kStartSearch) &&
           probe().scanner() && !probe().scanner()->busy && !probe().comparer()->busy;
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
    probe().searchButton()->click();
    return waitUntil([this] { return idle(); });
}

std::vector<std::string> WindowFixture::searchedFiles() {
    std::vector<std::string> rows;
    const ui::SearchedFilesModel* model = probe().searchedFilesList()->listModel();
    for (int i = 0; i < model->count(); ++i) {
        rows.emplace_back(model->row(i).caption());
    }
    return rows;
}

std::vector<std::string> WindowFixture::treeGroups() {
    std::vector<std::string> groups;
    const ui::DuplicateTreeModel* tree = probe().duplicateTree()->treeModel();
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
