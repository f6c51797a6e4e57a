#pragma once

// What may be done to a file once the last look before acting (checkStillCopy, action_plan.h) has
// found that the copy that stays holds its bytes: move it to the trash, replace it with a hard
// link to that copy, or have the file system share its blocks with that copy. Each acts only on
// the entry that was checked, and says why when it cannot.

#include "engine/run_record.h"
#include "platform/file_info.h"
#include "platform/reason.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace corvane::engine {

// The copy that stays for a file, as the last look found it.
struct StayingCopy {
    std::string path;
    platform::FileInfo checked;
};

enum class ActionStatus : uint8_t {
    Done,
    AlreadyDone, // nothing to do: the file already is what the action would make of it
    Refused,     // the file or the copy that stays is not as checked, or the action cannot join them
    Failed,      // the system would not do it
};

struct ActionOutcome {
    ActionStatus status = ActionStatus::Done;
    // Why not (Refused, Failed), or what was found (AlreadyDone), for the user.
    platform::Reason reason;
    // Done: the file's size (trash, link), or the bytes the file system reports as shared (blocks).
    int64_t bytes = 0;
    // Done: what changed, as the run's record keeps it (see engine/run_record.h).
    std::optional<RunChange> change;

    bool succeeded() const { return status == ActionStatus::Done || status == ActionStatus::AlreadyDone; }
};

// Acts on one file that was just checked: `checked` is the file as the check saw it, the entry the
// action must find at `path`; `keeper` the copy that stays, or none when the file goes without a
// copy staying (the user agreed). Runs on whatever thread acts.
using FileAction = std::function<ActionOutcome(const std::string& path, const platform::FileInfo& checked,
                                               const StayingCopy* keeper)>;

// Moves the file to the freedesktop.org trash (platform/trash.h) if it is still the entry checked.
ActionOutcome moveToTrashAction(const std::string& path, const platform::FileInfo& checked,
                                const StayingCopy* keeper = nullptr);

// Replaces the file with a hard link to the copy that stays (platform/file_links.h); refused
// without one, across file systems, or when the file or that copy is not as checked. A file that
// already is a link to it is left as it is.
ActionOutcome linkToKeeperAction(const std::string& path, const platform::FileInfo& checked,
                                 const StayingCopy* keeper);

// Has the file system share the file's blocks with the copy that stays (platform/block_sharing.h).
// Fails on file systems that cannot; the kernel compares the bytes once more itself.
ActionOutcome shareBlocksAction(const std::string& path, const platform::FileInfo& checked,
                                const StayingCopy* keeper);

// What an action would say of a file without acting (a dry run), from what planning saw of it
// and of the copy that stays: the verdict the action itself gives where it can be told without
// acting (nothing to do, another file system, a file system that shares no blocks), or none when
// the action would go ahead.
using ActionPreview = std::function<std::optional<ActionOutcome>(
    const std::string& path, const platform::FileInfo& seen, const StayingCopy& keeper)>;

std::optional<ActionOutcome> previewLinkToKeeper(const std::string& path, const platform::FileInfo& seen,
                                                 const StayingCopy& keeper);
std::optional<ActionOutcome> previewShareBlocks(const std::string& path, const platform::FileInfo& seen,
                                                const StayingCopy& keeper);

} // namespace corvane::engine
