// The main window's Edit menu. Undo puts back what the last run changed (engine/run_undo.h), on a
// worker thread, with a progress window and a report of what could not be put back; the other two
// act on the ticked files as Delete All Checked Files does, with hard links or shared blocks in
// place of the trash (main_window_delete.cpp).

#include "ui/windows/main_window.h"

#include "engine/undo_runner.h"
#include "platform/block_sharing.h"
#include "ui/desktop/qt_ui_thread.h"
#include "ui/forms/control_classes.h"
#include "ui/forms/list_controls_qt.h"
#include "ui/forms/message_dialog.h"
#include "ui/forms/window_texts.h"
#include "ui/views/searched_files_model.h"
#include "ui/views/shown_name.h"
#include "ui/views/shown_reason.h"

#include <QAction>
#include <QCoreApplication>
#include <QEventLoop>
#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QStringList>
#include <algorithm>
#include <sys/stat.h>

namespace corvane::ui {

namespace {

// At most this many files are named in the report of what stayed.
constexpr int kNamedInReport = 15;

bool runRecorded() {
    const std::string record = engine::lastRunRecordPath();
    struct stat st {};
    return !record.empty() && ::stat(record.c_str(), &st) == 0;
}

// The question before an undo: what will go back, counted from the record.
QString undoQuestion(const std::vector<engine::RunChange>& changes) {
    size_t trashed = 0;
    size_t linked = 0;
    size_t shared = 0;
    for (const engine::RunChange& change : changes) {
        trashed += change.kind == engine::RunChange::Kind::Trashed ? 1 : 0;
        linked += change.kind == engine::RunChange::Kind::Linked ? 1 : 0;
        shared += change.kind == engine::RunChange::Kind::Shared ? 1 : 0;
    }
    QString question = QCoreApplication::translate("frm_utama", "Put back what the last run changed?");
    if (trashed > 0) {
        question += QCoreApplication::translate(
                        "frm_utama", "\n\n%1 file(s) will go back from the trash to their folders.")
                        .arg(trashed);
    }
    if (linked > 0) {
        question +=
            QCoreApplication::translate("frm_utama", "\n\n%1 linked file(s) will get their own bytes again.")
                .arg(linked);
    }
    if (shared > 0) {
        question += QCoreApplication::translate("frm_utama",
                                                "\n\n%1 file(s) that share blocks need nothing: their bytes "
                                                "always were their own.")
                        .arg(shared);
    }
    return question;
}

} // namespace

void MainWindow::addEditMenu() {
    auto* bar = qobject_cast<QMenuBar*>(menuWidget());
    if (!bar) {
        return;
    }
    const auto entry = [](QMenu* menu, const QString& text, QChar preferred) {
        return menu->addAction(withMnemonic(text, lettersOf(menu->actions()), preferred));
    };
    auto* editMenu = new QMenu(
        withMnemonic(QCoreApplication::translate("frm_utama", "Edit"), lettersTakenIn(this), u'e'), this);
    editMenu->setAccessibleName(withoutMnemonic(editMenu->title()));
    undoAction_ = entry(editMenu, QCoreApplication::translate("frm_utama", "Undo"), u'u');
    undoAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    undoAction_->setStatusTip(QCoreApplication::translate("frm_utama", "Put back what the last run changed"));
    connect(undoAction_, &QAction::triggered, this, [this] { undoClicked(this); });
    editMenu->addSeparator();
    linkCheckedAction_ =
        entry(editMenu, QCoreApplication::translate("frm_utama", "Replace Checked with Hard Links"), u'h');
    linkCheckedAction_->setStatusTip(QCoreApplication::translate(
        "frm_utama", "Replace every ticked file with a hard link to the copy that stays"));
    connect(linkCheckedAction_, &QAction::triggered, this, [this] { linkCheckedClicked(this); });
    shareCheckedAction_ =
        entry(editMenu, QCoreApplication::translate("frm_utama", "Share Checked Blocks"), u's');
    shareCheckedAction_->setStatusTip(QCoreApplication::translate(
        "frm_utama",
        "Have the file system keep one copy of the blocks of every ticked file and the copy that stays"));
    connect(shareCheckedAction_, &QAction::triggered, this, [this] { shareCheckedClicked(this); });
    // The ticked files can be acted on when they can be deleted; sharing blocks only where a
    // search path lies on a file system that can.
    connect(editMenu, &QMenu::aboutToShow, this, [this] {
        const bool ticked = deleteCheckedButton_->isEnabled() && duplicateTree_->isEnabled();
        linkCheckedAction_->setEnabled(ticked);
        bool sharing = false;
        const SearchedFilesModel* paths = searchPathList_->listModel();
        for (int i = 0; ticked && !sharing && i < paths->count(); ++i) {
            sharing = platform::fileSystemMayShareBlocks(std::string(paths->row(i).caption()));
        }
        shareCheckedAction_->setEnabled(sharing);
        updateUndo();
    });
    // Between File and Select, as on other desktops.
    QAction* before = selectMenu_ ? selectMenu_->menuAction() : menuAction(findComponent("Help1"));
    if (before && bar->actions().contains(before)) {
        bar->insertMenu(before, editMenu);
    } else {
        bar->addMenu(editMenu);
    }
    updateUndo();
}

void MainWindow::updateUndo() {
    if (undoAction_) {
        undoAction_->setEnabled(!undoing_ && !(scanner_ && scanner_->busy) &&
                                !(comparer_ && comparer_->busy) && runRecorded());
    }
}

void MainWindow::undoClicked(QObject*) {
    updateUndo();
    if (!undoAction_ || !undoAction_->isEnabled() || !uiThread_) {
        return;
    }
    const std::string record = engine::lastRunRecordPath();
    std::string failure;
    const std::optional<std::vector<engine::RunChange>> changes = engine::readRunRecord(record, &failure);
    if (!changes) {
        showErrorBox(QString::fromStdString(failure), this);
        return;
    }
    if (MessageDialog(MessageKind::Confirmation, undoQuestion(*changes), this) != MessageResult::Ok) {
        return;
    }

    undoing_ = true;
    updateUndo();
    engine::UndoRunner runner(uiThread_);
    runner.recordPath = record;
    QProgressDialog progress(QCoreApplication::translate("frm_utama", "Putting the files back ..."),
                             QCoreApplication::translate("frm_utama", "Cancel"), 0,
                             static_cast<int>(std::min<size_t>(changes->size(), INT32_MAX)), this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(400);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    QEventLoop loop;
    int handled = 0;
    QStringList stayed;
    runner.onChangeUndone = [&](const engine::RunChange& change, const engine::UndoOutcome& outcome) {
        progress.setValue(++handled);
        if (outcome.status == engine::UndoStatus::NotPutBack) {
            stayed << shownName(change.path) + QStringLiteral(" \u2014 ") + shownReason(outcome.reason);
        }
    };
    engine::UndoRun result;
    std::exception_ptr workerFailure;
    runner.onFinished = [&](const engine::UndoEnd& end) {
        result = end.result;
        workerFailure = end.failure;
        loop.quit();
    };
    connect(&progress, &QProgressDialog::canceled, &loop, [&runner] { runner.stop(); });
    runner.start();
    loop.exec();
    if (runner.busy) {
        // The loop was ended from outside (the program is closing): the worker is let go with the
        // runner, and what it did not reach stays in the record.
        return;
    }
    progress.close();
    undoing_ = false;
    updateUndo();

    // Files back from the trash are not in the tree; linked files never left it.
    const bool fromTrash = std::any_of(changes->begin(), changes->end(), [](const engine::RunChange& change) {
        return change.kind == engine::RunChange::Kind::Trashed;
    });
    setStatus(fromTrash
                  ? QCoreApplication::translate(
                        "frm_utama", "%1 file(s) put back. Search again to see them among the duplicates.")
                        .arg(result.putBack)
                  : QCoreApplication::translate("frm_utama", "%1 file(s) put back.").arg(result.putBack));
    flushStatus();
    if (workerFailure || !result.failure.empty()) {
        showErrorBox(
            QString::fromStdString(workerFailure ? engine::failureMessage(workerFailure) : result.failure),
            this);
    }
    if (!stayed.isEmpty()) {
        QString report =
            QCoreApplication::translate("frm_utama", "%1 file(s) were put back; %2 could not be:\n")
                .arg(result.putBack)
                .arg(static_cast<qsizetype>(stayed.size()));
        for (qsizetype i = 0; i < stayed.size() && i < kNamedInReport; ++i) {
            report += QLatin1Char('\n') + stayed[i];
        }
        if (stayed.size() > kNamedInReport) {
            report += QLatin1Char('\n') + QCoreApplication::translate("frm_utama", "... and %1 more")
                                              .arg(stayed.size() - kNamedInReport);
        }
        MessageDialog(MessageKind::Warning, report, this);
    }
}

} // namespace corvane::ui
