#pragma once

// The delete progress dialog: moves the chosen files of the duplicate tree to the trash when it is
// shown, with its progress bar, its count and the list of files that could not be moved. It is
// given the tree at its creation and which files to choose before each showing.

#include "ui/forms/dialog_form.h"

#include <QString>
#include <cstdint>
#include <string>
#include <vector>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace corvane::ui {

struct DuplicateNode;
class DuplicateTreeModel;

class DeleteDialog final : public DialogForm {
    Q_OBJECT
public:
    // `tree` is the duplicate tree whose files the dialog moves to the trash; it must outlive the
    // dialog.
    explicit DeleteDialog(DuplicateTreeModel& tree, QWidget* parent = nullptr);

    // Which files a run moves to the trash.
    enum class FilesToDelete {
        None,          // none: a run only shows the dialog
        AllDuplicates, // every child of a top-level node; the top-level nodes stay
        CheckedFiles,  // every checked node, at both levels
    };
    // What the runs from the next showing on move to the trash.
    void setFilesToDelete(FilesToDelete files) { filesToDelete_ = files; }
    FilesToDelete filesToDelete() const { return filesToDelete_; }

    QPlainTextEdit* failureList_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QLabel* countLabel_ = nullptr;
    QPushButton* okButton_ = nullptr;

    // The heading of the failure list.
    static constexpr const char* kFailedHeading = "Failed to delete the following files...";

    // A node chosen for deletion, by its place in the tree when the run began. Nodes only go
    // away during a run, children before their parents, so the place it has now follows from
    // how many nodes before it have gone.
    struct NodeToDelete {
        int topRow = 0;
        int childRow = -1;                   // -1: the top-level node itself
        const DuplicateNode* node = nullptr; // compared, never followed once the run has begun
        std::string text;
    };
    // Valid during one run.
    std::vector<NodeToDelete> childNodesToDelete_;
    std::vector<NodeToDelete> topNodesToDelete_;

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
    void run();
    void collect();
    // Moves one entry's file to the trash; on success counts it, shows the progress and
    // removes its node, else lists it. `k` counts the entries handled, this one included.
    void deleteEntry(const NodeToDelete& entry, int k);
    void listFailure(const QString& line);

    DuplicateTreeModel& tree_;
    FilesToDelete filesToDelete_ = FilesToDelete::None;
    int32_t total_ = 0;
    int32_t successCount_ = 0;
    std::vector<int> removedChildren_; // per top-level row, its children removed in this run
    int removedTops_ = 0;
    bool running_ = false;
};

} // namespace corvane::ui
