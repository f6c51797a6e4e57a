#include "ui/windows/delete_dialog.h"

#include "ui/desktop/qt_ui_thread.h"
#include "ui/forms/message_dialog.h"
#include "ui/forms/window_texts.h"
#include "ui/views/duplicate_tree_model.h"
#include "ui/views/shown_name.h"
#include "ui/views/shown_reason.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace corvane::ui {

namespace {

using engine::Verdict;

constexpr const char* kCheckingText =
    QT_TRANSLATE_NOOP("frm_delete", "Checking the files before they are moved ...");
// The reasons the checks before acting give are those of platform/reason_texts.h, which the build
// lists for the translation tool; they show translated, with their facts filled in (shown_reason.h).

constexpr ControlDescription kControlDescriptions[] = {
    {"Memo1", QT_TRANSLATE_NOOP("frm_delete", "Files not moved"),
     QT_TRANSLATE_NOOP("frm_delete", "The files that stay where they are, each with the reason")},
    {"ProgressBar1", QT_TRANSLATE_NOOP("frm_delete", "Progress"),
     QT_TRANSLATE_NOOP("frm_delete", "How many of the files have been handled")},
    {"btn_ok", nullptr, QT_TRANSLATE_NOOP("frm_delete", "Close the dialog once every file has been handled")},
};

QString text(const char* english) {
    return QCoreApplication::translate("frm_delete", english);
}

QString pathText(const std::string& path) {
    return shownName(path);
}

QString lineFor(const std::string& path, const platform::Reason& reason) {
    return reason.empty() ? pathText(path)
                          : pathText(path) + QStringLiteral(" \u2014 ") + shownReason(reason);
}

} // namespace

DeleteDialog::DeleteDialog(DuplicateTreeModel& tree, QWidget* parent)
    : DialogForm(parent), tree_(tree), uiThread_(std::make_shared<QtUiThread>(this)),
      runner_(std::make_unique<engine::ActionRunner>(uiThread_)) {
    addHandler("FormShow", [this](const EventArgs& args) { formShown(args.sender); });
    addHandler("btn_okClick", [this](const EventArgs& args) { okClicked(args.sender); });
    load("Tfrm_delete", "delete_dialog");
}

DeleteDialog::~DeleteDialog() {
    // A worker still running reports nothing more: the hand-over closes before the runner goes.
    uiThread_->close();
}

void DeleteDialog::descriptionLoaded() {
    failureList_ = control<QPlainTextEdit>("Memo1");
    progressBar_ = control<QProgressBar>("ProgressBar1");
    countLabel_ = control<QLabel>("Label1");
    okButton_ = control<QPushButton>("btn_ok");
    // Enter and Esc close the dialog once the run is over.
    okButton_->setDefault(true);
    describeControls(*this, kControlDescriptions);
    trashCaption_ = windowTitle();
    nothingDeletedCaption_ = captionOf(countLabel_);
}

void DeleteDialog::setAction(Action action) {
    action_ = action;
    prepared_ = false;
    switch (action) {
    case Action::Trash:
        setWindowTitle(trashCaption_);
        break;
    case Action::Link:
        setWindowTitle(text(QT_TRANSLATE_NOOP("frm_delete", "Hard Links Complete")));
        break;
    case Action::ShareBlocks:
        setWindowTitle(text(QT_TRANSLATE_NOOP("frm_delete", "Sharing Blocks Complete")));
        break;
    }
}

void DeleteDialog::setFilesToDelete(FilesToDelete files) {
    filesToDelete_ = files;
    moveLastCopies_ = false;
    prepared_ = false;
}

engine::Choice DeleteDialog::choiceOfFiles() const {
    // Delete All Duplicates never takes an original, whatever stays for its bytes.
    return filesToDelete_ == FilesToDelete::CheckedFiles ? engine::Choice::ChosenFiles
                                                         : engine::Choice::DuplicatesOnly;
}

void DeleteDialog::collect() {
    groups_.clear();
    nodes_.clear();
    plans_.clear();
    const bool allDuplicates = filesToDelete_ == FilesToDelete::AllDuplicates;
    const bool checkedFiles = filesToDelete_ == FilesToDelete::CheckedFiles;
    if (!allDuplicates && !checkedFiles) {
        return;
    }
    for (int top = 0; top < tree_.rowCount(); ++top) {
        const QModelIndex groupIndex = tree_.index(top, 0);
        engine::FileGroup group;
        std::vector<const DuplicateNode*> nodes;
        const auto add = [&](const DuplicateNode* node, bool isOriginal) {
            const bool asked = allDuplicates ? !isOriginal : node->stateIndex == kStateChecked;
            // The files of reference folders are marked by planning (ActionRunner::ReferenceFolders).
            group.files.push_back({node->text, node->fileInfo, checkedFiles && asked});
            nodes.push_back(node);
        };
        add(tree_.node(groupIndex), true);
        for (int child = 0; child < tree_.rowCount(groupIndex); ++child) {
            add(tree_.node(tree_.index(child, 0, groupIndex)), false);
        }
        groups_.push_back(std::move(group));
        nodes_.push_back(std::move(nodes));
    }
}

bool DeleteDialog::prepare(QWidget* parent) {
    collect();
    runner_->nextPhase = engine::ActionRunner::Phase::Plan;
    runner_->referenceFolders = tree_.referenceFolders();
    runner_->groups = groups_;
    runner_->choiceOfFiles = choiceOfFiles();
    QProgressDialog progress(text(kCheckingText), text(QT_TRANSLATE_NOOP("frm_delete", "Cancel")), 0, 0,
                             parent);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(400);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    QEventLoop loop;
    bool planned = false;
    std::exception_ptr failure;
    runner_->onPlanProgress = [&](size_t done, size_t total) {
        progress.setMaximum(static_cast<int>(std::min<size_t>(total, INT32_MAX)));
        progress.setValue(static_cast<int>(std::min<size_t>(done, INT32_MAX)));
    };
    runner_->onFinished = [&](engine::ActionEnd& end) {
        failure = end.failure;
        planned = !failure && !end.stopped;
        plans_ = std::move(end.plans);
        loop.quit();
    };
    connect(&progress, &QProgressDialog::canceled, &loop, [this] { runner_->stop(); });
    runner_->start();
    loop.exec();
    if (runner_->busy) {
        // The loop was ended from outside (the program is closing): let the worker go.
        runner_ = std::make_unique<engine::ActionRunner>(uiThread_);
        return false;
    }
    runner_->onPlanProgress = nullptr;
    runner_->onFinished = nullptr;
    progress.close();
    if (failure) {
        showErrorBox(QString::fromStdString(engine::failureMessage(failure)), parent);
    }
    prepared_ = planned;
    counts_ = planned ? engine::countPlans(plans_) : engine::PlanCounts{};
    return planned;
}

void DeleteDialog::formShown(QObject*) {
    if (running_) {
        return;
    }
    running_ = true;
    failureList_->clear();
    okButton_->setEnabled(false);
    // The show handler runs before the dialog is on the screen. The run starts from the event
    // loop that the showing enters, so that the dialog is there to paint its progress.
    QTimer::singleShot(0, this, &DeleteDialog::run);
}

void DeleteDialog::okClicked(QObject*) {
    accept();
}

void DeleteDialog::reject() {
    if (!running_) {
        DialogForm::reject();
    }
}

void DeleteDialog::closeEvent(QCloseEvent* event) {
    if (running_) {
        event->ignore();
        return;
    }
    DialogForm::closeEvent(event);
}

void DeleteDialog::showCount() {
    if (total_ == 0 && action_ == Action::Trash) {
        // Nothing to move: the label as the dialog shows it before any run, "Deleted 0 of 0".
        countLabel_->setText(windowText(this, nothingDeletedCaption_));
        countLabel_->adjustSize();
        return;
    }
    const char* count = action_ == Action::Link ? QT_TRANSLATE_NOOP("frm_delete", "linked %1 of %2")
                        : action_ == Action::ShareBlocks
                            ? QT_TRANSLATE_NOOP("frm_delete", "shared %1 of %2")
                            : QT_TRANSLATE_NOOP("frm_delete", "deleted %1 of %2");
    countLabel_->setText(text(count).arg(succeeded_).arg(total_));
    countLabel_->adjustSize();
}

void DeleteDialog::run() {
    if (!prepared_) {
        // Shown without a check beforehand: the check is part of the run.
        collect();
        runner_->nextPhase = engine::ActionRunner::Phase::Plan;
        runner_->referenceFolders = tree_.referenceFolders();
        runner_->groups = groups_;
        runner_->choiceOfFiles = choiceOfFiles();
        runner_->onPlanProgress = nullptr;
        runner_->onFinished = [this](engine::ActionEnd& end) {
            plans_ = std::move(end.plans);
            if (end.failure) {
                listFailure(QString::fromStdString(engine::failureMessage(end.failure)));
                plans_.clear();
            }
            // Deferred: the worker is still inside its end report.
            QTimer::singleShot(0, this, &DeleteDialog::startActing);
        };
        runner_->start();
        return;
    }
    startActing();
}

void DeleteDialog::startActing() {
    succeeded_ = 0;
    handled_ = 0;
    removedChildren_.assign(groups_.size(), 0);
    removedTops_ = 0;

    // The files asked for, in the order the run handles them: the duplicates of every group, then
    // the originals. Those the check let through are acted on by the worker in this order; the
    // others are listed when their turn comes, between them. A file of a reference folder was
    // never asked for (the check left it as it is): it is neither counted nor listed.
    const bool allDuplicates = filesToDelete_ == FilesToDelete::AllDuplicates;
    const auto asked = [&](size_t g, size_t i) {
        return (allDuplicates ? i > 0 : groups_[g].files[i].chosen) &&
               plans_[g].files[i].verdict != Verdict::Stays;
    };
    entries_.clear();
    nextEntry_ = 0;
    for (size_t g = 0; g < plans_.size(); ++g) {
        for (size_t i = 1; i < plans_[g].files.size(); ++i) {
            if (asked(g, i)) {
                entries_.push_back({g, i});
            }
        }
    }
    for (size_t g = 0; g < plans_.size(); ++g) {
        if (!plans_[g].files.empty() && asked(g, 0)) {
            entries_.push_back({g, 0});
        }
    }
    total_ = static_cast<int32_t>(entries_.size());
    // The bar runs from 1 to the total, and stands at the count of files handled when one is
    // moved. A bar from 1 to 1 would draw as empty at 1 whatever its position: the run of one
    // file counts from 0. With nothing to delete it is empty (a range from 1 to 0 is not valid).
    progressBar_->setRange(total_ > 1 ? 1 : 0, std::max(total_, 1));
    progressBar_->reset();
    showCount();

    runner_->nextPhase = engine::ActionRunner::Phase::Act;
    runner_->groups = groups_;
    runner_->plans = plans_;
    // Only the trash takes a last copy: a link or shared blocks need a copy that stays.
    runner_->actOnLastCopies = moveLastCopies_ && action_ == Action::Trash;
    runner_->action = action_ == Action::Link          ? engine::FileAction(engine::linkToKeeperAction)
                      : action_ == Action::ShareBlocks ? engine::FileAction(engine::shareBlocksAction)
                                                       : engine::FileAction(engine::moveToTrashAction);
    runner_->onFileActed = [this](engine::FilePlace place, bool done, const platform::Reason& reason) {
        fileActed(place, done, reason);
    };
    runner_->recordPath = engine::lastRunRecordPath();
    runner_->onFinished = [this](engine::ActionEnd& end) {
        recordFailure_ = end.recordFailure;
        QTimer::singleShot(0, this, &DeleteDialog::finishRun);
    };
    runner_->start();
}

void DeleteDialog::listEntriesBefore(const engine::FilePlace* place) {
    while (nextEntry_ < entries_.size()) {
        const engine::FilePlace& entry = entries_[nextEntry_];
        if (place && entry.group == place->group && entry.file == place->file) {
            return;
        }
        ++nextEntry_;
        ++handled_;
        // A file the check kept back: it fails in its turn, with the check's reason.
        const engine::FilePlan& plan = plans_[entry.group].files[entry.file];
        listFailure(
            lineFor(groups_[entry.group].files[entry.file].path,
                    plan.verdict == Verdict::LastCopy ? platform::Reason(kReasonLastCopy) : plan.reason));
    }
}

QModelIndex DeleteDialog::indexOf(const engine::FilePlace& place) const {
    // Nodes only go away during a run, duplicates before originals and each in tree order, so
    // the place a node has now follows from how many nodes before it have gone.
    QModelIndex index = tree_.index(static_cast<int>(place.group) - removedTops_, 0);
    if (place.file > 0) {
        index = tree_.index(static_cast<int>(place.file) - 1 - removedChildren_[place.group], 0, index);
    }
    if (tree_.node(index) != nodes_[place.group][place.file]) {
        return {};
    }
    return index;
}

void DeleteDialog::fileActed(const engine::FilePlace& place, bool done, const platform::Reason& reason) {
    listEntriesBefore(&place);
    ++nextEntry_;
    ++handled_;
    const std::string& path = groups_[place.group].files[place.file].path;
    if (!done) {
        // A failure leaves the bar and the count as they are.
        listFailure(lineFor(path, reason));
        return;
    }
    ++succeeded_;
    progressBar_->setValue(handled_);
    showCount();
    const QModelIndex index = indexOf(place);
    if (!index.isValid()) {
        // The modal run leaves nobody else to change the tree; should it change all the same,
        // no node is removed on a guess.
        return;
    }
    if (action_ != Action::Trash) {
        // Still there, now sharing its bytes with the copy that stays: nothing more to do to it.
        tree_.setStateIndex(index, kStateUnchecked);
        return;
    }
    tree_.removeNode(index);
    if (place.file > 0) {
        ++removedChildren_[place.group];
    } else {
        ++removedTops_;
    }
}

void DeleteDialog::finishRun() {
    // The files after the last one acted on.
    listEntriesBefore(nullptr);
    // The plans point into nothing but the run's own data; they are not kept past it.
    groups_.clear();
    nodes_.clear();
    plans_.clear();
    entries_.clear();
    prepared_ = false;
    moveLastCopies_ = false;
    running_ = false;
    okButton_->setEnabled(true);
    if (!recordFailure_.empty()) {
        const QString reason = QString::fromStdString(recordFailure_);
        recordFailure_.clear();
        MessageDialog(MessageKind::Warning,
                      text(QT_TRANSLATE_NOOP("frm_delete",
                                             "Undo will not be able to put these files back: %1.\n\nThey can "
                                             "still be restored from the trash."))
                          .arg(reason),
                      this);
    }
}

void DeleteDialog::listFailure(const QString& line) {
    if (failureList_->document()->isEmpty()) {
        failureList_->appendPlainText(text(action_ == Action::Link          ? kNotLinkedHeading
                                           : action_ == Action::ShareBlocks ? kNotSharedHeading
                                                                            : kFailedHeading));
    }
    failureList_->appendPlainText(line);
}

} // namespace corvane::ui
