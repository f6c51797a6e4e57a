#pragma once

// Acting on duplicate groups on a worker thread: first planning (action_plan.h: which files may
// be acted on, which copy stays for each), then, once the user has agreed, acting on each file
// after a last look that a copy that stays still holds its bytes. Every report goes to the
// owner's thread, as the scanner's and the comparer's do.

#include "engine/action_plan.h"
#include "engine/file_actions.h"
#include "engine/worker_driver.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace corvane::engine {

class ActionWorker;

// Where a file stands in the groups: its group, and its place there (0: the original).
struct FilePlace {
    size_t group = 0;
    size_t file = 0;
};

// Acts on one file that planning (planGroups) gave as Verdict::Act, or as Verdict::LastCopy when
// the user agreed: the last look first (checkStillCopy against the copy that stays; for a last
// copy, that it is still the entry planned), then `action` at once.
ActionOutcome actOnPlannedFile(const std::vector<FileGroup>& groups, const std::vector<GroupPlan>& plans,
                               FilePlace place, const FileAction& action);

using PlanProgressHandler = std::function<void(size_t done, size_t total)>;
// A file that was to be acted on: done, or refused / failed with `reason`.
using FileActedHandler = std::function<void(FilePlace place, bool done, const platform::Reason& reason)>;

// The end report of either phase. Valid during the report only; the handler may take the plans.
struct ActionEnd {
    // After planning: the plans, complete unless the run was stopped or failed.
    std::vector<GroupPlan>& plans;
    std::exception_ptr failure;
    bool stopped = false; // a stop ended the run early
    // After acting: why the run's record could not be kept, or empty.
    const std::string& recordFailure;
};
using ActionFinishedHandler = std::function<void(ActionEnd& end)>;

// The driver: lives on the owner's thread, holds what the next run does.
class ActionRunner final : public WorkerDriver<ActionWorker> {
public:
    explicit ActionRunner(std::shared_ptr<UiThread> uiThread) : WorkerDriver(std::move(uiThread)) {}

    enum class Phase { Plan, Act };

    Phase nextPhase = Phase::Plan;
    std::vector<FileGroup> groups;
    Choice choiceOfFiles = Choice::AllDuplicates;
    // For acting: the plans planning gave for groups, and whether files that are the last copies
    // of their contents go too (the user agreed).
    std::vector<GroupPlan> plans;
    bool actOnLastCopies = false;
    FileAction action = moveToTrashAction;
    // Where acting keeps the run's record for an undo (run_record.h); none when empty.
    std::string recordPath;
    // Planning: folders whose files are never acted on and stay for their copies (keep_in_folders.h),
    // besides files already marked isProtected. A folder that is not there fails the plan: its
    // copies could not be told.
    std::vector<std::string> referenceFolders;

    PlanProgressHandler onPlanProgress;
    FileActedHandler onFileActed;
    ActionFinishedHandler onFinished;

private:
    ActionWorker* makeWorker(std::shared_ptr<WorkerControl> control) override;
};

// The worker of one phase. Acting goes through the files to act on in this order: the duplicates
// of every group, then the originals, each in group order (so that a front end that drops an
// original's node with its children has handled the children first).
class ActionWorker final : public WorkerThread {
public:
    ActionWorker(ActionRunner* driver, std::shared_ptr<UiThread> uiThread,
                 std::shared_ptr<WorkerControl> control);

    ActionRunner* owner;
    const ActionRunner::Phase phase;
    std::vector<FileGroup> groups;
    const Choice choiceOfFiles;
    std::vector<GroupPlan> plans;
    const bool actOnLastCopies;
    // After acting: why the run's record could not be kept, or empty.
    std::string recordFailure;

private:
    void execute() override;
    void reportEnd() override;
    void plan();
    void act();
    // The last look and the action for one file, its change kept in `record`; an empty text when
    // done.
    platform::Reason actOn(const FilePlace& place, RunRecorder& record);

    FileAction action_;
    const std::string recordPath_;
    const std::vector<std::string> referenceFolders_;
    PlanProgressHandler onPlanProgress_;
    FileActedHandler onFileActed_;
    ActionFinishedHandler onFinished_;
};

} // namespace corvane::engine
