#pragma once

// The delete progress dialog: moves the chosen files of the duplicate tree to the trash, with its
// progress bar, its count and the list of files that could not be moved. A file goes only while a
// file that stays holds its bytes (engine/action_plan.h): the files are checked first (prepare,
// or at the showing), then each is looked at once more and moved on a worker thread, while the
// dialog shows the progress. It is given the tree at its creation and which files to choose
// before each run.

#include "engine/action_runner.h"
#include "ui/forms/dialog_form.h"

#include <QCoreApplication>
#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace corvane::ui {

struct DuplicateNode;
class DuplicateTreeModel;
class QtUiThread;

class DeleteDialog final : public DialogForm {
    Q_OBJECT
public:
    // `tree` is the duplicate tree whose files the dialog moves to the trash; it must outlive the
    // dialog.
    explicit DeleteDialog(DuplicateTreeModel& tree, QWidget* parent = nullptr);
    ~DeleteDialog() override;

    // Which files a run moves to the trash.
    enum class FilesToDelete {
        None,          // none: a run only shows the dialog
        AllDuplicates, // every child of a top-level node; the top-level nodes stay
        CheckedFiles,  // every checked node, at both levels
    };
    // What the runs from the next showing on move to the trash; forgets a prepared check.
    void setFilesToDelete(FilesToDelete files);
    FilesToDelete filesToDelete() const { return filesToDelete_; }

    // What a run does to each file: moves it to the trash (the file leaves the tree), replaces it
    // with a hard link to the copy that stays, or has the file system share its blocks with that
    // copy (the file stays in the tree, unticked). Set before setFilesToDelete; the trash unless set.
    enum class Action { Trash, Link, ShareBlocks };
    void setAction(Action action);
    Action action() const { return action_; }

    // Checks the chosen files now, on a worker thread, with a progress window the user may cancel
    // (over `parent`); the next showing moves what the check allows. False when the check was
    // cancelled or failed (the error box has then said why); the next showing checks again.
    bool prepare(QWidget* parent);
    // What the prepared check found: how many files may be moved, how many of them are the last
    // copies of their contents, how many asked for must stay. For the confirmation.
    engine::PlanCounts preparedCounts() const { return counts_; }
    // Whether the next run also moves files that are the last copies of their contents (the user
    // agreed); reset by setFilesToDelete.
    void setMoveLastCopies(bool move) { moveLastCopies_ = move; }

    QPlainTextEdit* failureList_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QLabel* countLabel_ = nullptr;
    QPushButton* okButton_ = nullptr;

    // The heading of the failure list.
    static constexpr const char* kFailedHeading =
        QT_TRANSLATE_NOOP("frm_delete", "Failed to delete the following files...");
    static constexpr const char* kNotLinkedHeading =
        QT_TRANSLATE_NOOP("frm_delete", "Failed to replace the following files with hard links...");
    static constexpr const char* kNotSharedHeading =
        QT_TRANSLATE_NOOP("frm_delete", "Failed to share the blocks of the following files...");

    // Whether a run is under way (from the showing until the last file has been handled).
    bool running() const { return running_; }

    void formShown(QObject* sender);
    void okClicked(QObject* sender);

public slots:
    // Until the run is over only okButton_ closes the dialog, and it is disabled.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void descriptionLoaded() override;
    // Which files of the groups planning takes as asked for.
    engine::Choice choiceOfFiles() const;
    // The groups of the tree as they are now, with the files asked for marked.
    void collect();
    void run();
    void startActing();
    void fileActed(const engine::FilePlace& place, bool done, const platform::Reason& reason);
    // Lists the files asked for before `place` (all that are left, for none) that the check kept
    // back, each as it takes its turn.
    void listEntriesBefore(const engine::FilePlace* place);
    void finishRun();
    // The tree's index of a file of the run, as the tree is now; invalid when its node is gone.
    QModelIndex indexOf(const engine::FilePlace& place) const;
    void listFailure(const QString& line);
    void showCount();

    DuplicateTreeModel& tree_;
    std::shared_ptr<QtUiThread> uiThread_;
    std::unique_ptr<engine::ActionRunner> runner_;
    FilesToDelete filesToDelete_ = FilesToDelete::None;
    Action action_ = Action::Trash;
    QString trashCaption_;          // the description's caption, for the trash
    QString nothingDeletedCaption_; // the count's caption in the description, for a run of no file
    bool moveLastCopies_ = false;

    // One run: the groups as collected, the node of each file, the plans.
    std::vector<engine::FileGroup> groups_;
    std::vector<std::vector<const DuplicateNode*>> nodes_;
    std::vector<engine::GroupPlan> plans_;
    bool prepared_ = false;
    engine::PlanCounts counts_;
    std::vector<engine::FilePlace> entries_; // the files asked for, in the order they are handled
    size_t nextEntry_ = 0;                   // of those, the next to be handled
    int32_t total_ = 0;                      // files asked for, those of reference folders aside
    int32_t handled_ = 0;                    // of those, handled so far
    int32_t succeeded_ = 0;                  // moved
    std::vector<int> removedChildren_;       // per top-level row, its children removed in this run
    int removedTops_ = 0;
    bool running_ = false;
    std::string recordFailure_; // why the run's record for Undo could not be kept
};

} // namespace corvane::ui
