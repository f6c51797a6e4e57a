#include "engine/action_runner.h"

#include "engine/keep_in_folders.h"
#include "platform/error.h"

#include <chrono>
#include <cstring>
#include <stdexcept>

namespace corvane::engine {

namespace {

// Progress goes to the owner's thread at most this often.
constexpr auto kProgressInterval = std::chrono::milliseconds(20);

} // namespace

ActionOutcome actOnPlannedFile(const std::vector<FileGroup>& groups, const std::vector<GroupPlan>& plans,
                               FilePlace place, const FileAction& action) {
    const GroupFile& file = groups[place.group].files[place.file];
    const FilePlan& plan = plans[place.group].files[place.file];
    if (plan.verdict == Verdict::LastCopy) {
        // No copy stays, by the user's choice; it must still be the entry that was checked.
        const std::optional<platform::FileInfo> now = platform::lookupFile(file.path);
        if (!now) {
            return {ActionStatus::Refused, kReasonGone, 0, {}};
        }
        if (now->device != plan.seen.device || now->inode != plan.seen.inode) {
            return {ActionStatus::Refused, kReasonReplaced, 0, {}};
        }
        return action(file.path, *now, nullptr);
    }
    const size_t keeperIndex = static_cast<size_t>(plan.keeper);
    const std::string& keeperPath = groups[place.group].files[keeperIndex].path;
    const StillCopy still =
        checkStillCopy(file.path, plan.seen, keeperPath, plans[place.group].files[keeperIndex].seen);
    if (!still.same) {
        return {ActionStatus::Refused, still.reason, 0, {}};
    }
    const StayingCopy keeper{keeperPath, still.keeper};
    return action(file.path, still.file, &keeper);
}

ActionWorker* ActionRunner::makeWorker(std::shared_ptr<WorkerControl> control) {
    return new ActionWorker(this, uiThread(), std::move(control));
}

ActionWorker::ActionWorker(ActionRunner* driver, std::shared_ptr<UiThread> uiThread,
                           std::shared_ptr<WorkerControl> control)
    : WorkerThread(std::move(uiThread), std::move(control)), owner(driver), phase(driver->nextPhase),
      groups(driver->groups), choiceOfFiles(driver->choiceOfFiles), plans(driver->plans),
      actOnLastCopies(driver->actOnLastCopies), action_(driver->action), recordPath_(driver->recordPath),
      referenceFolders_(driver->referenceFolders), onPlanProgress_(driver->onPlanProgress),
      onFileActed_(driver->onFileActed), onFinished_(driver->onFinished) {
    startRunning();
}

void ActionWorker::execute() {
    if (phase == ActionRunner::Phase::Plan) {
        plan();
    } else {
        act();
    }
}

void ActionWorker::plan() {
    if (!referenceFolders_.empty()) {
        KeepInFolders reference;
        for (const std::string& folder : referenceFolders_) {
            if (const int error = reference.add(folder)) {
                throw Error("The reference folder " + folder + " cannot be used: " + std::strerror(error) +
                            ". Nothing was changed");
            }
        }
        for (FileGroup& group : groups) {
            for (GroupFile& file : group.files) {
                file.isProtected = file.isProtected || reference.holds(file.path);
            }
        }
    }
    auto lastReport = std::chrono::steady_clock::now();
    plans = planGroups(
        groups, choiceOfFiles, [this] { return terminated(); },
        [&](size_t done, size_t total) {
            const auto now = std::chrono::steady_clock::now();
            if (onPlanProgress_ && (now - lastReport >= kProgressInterval || done == total)) {
                lastReport = now;
                synchronize([&] { onPlanProgress_(done, total); });
            }
        });
}

platform::Reason ActionWorker::actOn(const FilePlace& place, RunRecorder& record) {
    const ActionOutcome outcome = actOnPlannedFile(groups, plans, place, action_);
    if (outcome.change) {
        record.add(*outcome.change);
    }
    return outcome.succeeded() ? platform::Reason() : outcome.reason;
}

void ActionWorker::act() {
    const auto acts = [this](const FilePlan& plan) {
        return plan.verdict == Verdict::Act || (plan.verdict == Verdict::LastCopy && actOnLastCopies);
    };
    std::vector<FilePlace> order;
    for (size_t g = 0; g < plans.size() && g < groups.size(); ++g) {
        for (size_t i = 1; i < plans[g].files.size(); ++i) {
            if (acts(plans[g].files[i])) {
                order.push_back({g, i});
            }
        }
    }
    for (size_t g = 0; g < plans.size() && g < groups.size(); ++g) {
        if (!plans[g].files.empty() && acts(plans[g].files[0])) {
            order.push_back({g, 0});
        }
    }
    RunRecorder record(recordPath_);
    for (const FilePlace& place : order) {
        if (terminated()) {
            break;
        }
        const platform::Reason reason = actOn(place, record);
        recordFailure = record.failure();
        if (onFileActed_) {
            synchronize([&] { onFileActed_(place, reason.empty(), reason); });
        }
    }
}

void ActionWorker::reportEnd() {
    owner->busy = false;
    if (onFinished_) {
        ActionEnd end{plans, failure, terminated(), recordFailure};
        onFinished_(end);
    }
}

} // namespace corvane::engine
