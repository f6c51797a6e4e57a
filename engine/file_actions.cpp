#include "engine/file_actions.h"

#include "engine/action_plan.h"
#include "platform/block_sharing.h"
#include "platform/file_links.h"
#include "platform/file_reader.h"
#include "platform/trash.h"

#include <cerrno>
#include <functional>
#include <sys/stat.h>

namespace corvane::engine {

namespace {

ActionOutcome refused(platform::Reason reason) {
    return {ActionStatus::Refused, std::move(reason), 0, {}};
}

ActionOutcome failed(platform::Reason reason) {
    return {ActionStatus::Failed, std::move(reason), 0, {}};
}

// True when the copy that stays is still there as it was checked. After a file has gone, this
// tells what no identity can: two paths that were one file (a second mount of a folder, names
// that differ only in case on a file system that ignores case) lose the copy with the file. The
// copy is opened rather than looked up: a network or FUSE file system may answer a lookup from
// what it remembers, while an open asks the file system itself.
bool stillThere(const StayingCopy& keeper) {
    platform::FileReader reader;
    if (!reader.open(keeper.path)) {
        return false;
    }
    const platform::FileInfo& now = reader.info();
    return identityOf(now) == identityOf(keeper.checked) && now.size == keeper.checked.size &&
           now.modificationTimeNs == keeper.checked.modificationTimeNs;
}

} // namespace

ActionOutcome moveToTrashAction(const std::string& path, const platform::FileInfo& checked,
                                const StayingCopy* keeper) {
    // The look after the move: the file is what was checked (a write in the moment before the
    // move would otherwise leave bytes no other file holds only in the trash), and the copy that
    // stays is still there.
    bool written = false;
    const auto whyNotStay = [&](const std::string& fileInTrash) -> platform::Reason {
        const std::optional<platform::FileInfo> moved = platform::lookupFile(fileInTrash);
        written =
            !moved || moved->size != checked.size || moved->modificationTimeNs != checked.modificationTimeNs;
        if (written) {
            return kReasonWrittenWhileMoved;
        }
        return stillThere(*keeper) ? platform::Reason() : platform::Reason(kReasonOneFile);
    };
    const platform::TrashResult result =
        platform::moveToTrash(path, identityOf(checked), keeper ? platform::WhyNotStay(whyNotStay) : nullptr);
    switch (result.failure) {
    case platform::TrashFailure::None:
        return {ActionStatus::Done,
                {},
                checked.size,
                RunChange{RunChange::Kind::Trashed, path, result.infoFile, identityOf(checked)}};
    case platform::TrashFailure::Missing:
        return refused(kReasonGone);
    case platform::TrashFailure::NotAFile:
        return refused(kReasonNotAFile);
    case platform::TrashFailure::Replaced:
        // Another file took its place; if that one went to the trash instead, say where it is.
        return refused(result.fileInTrash.empty()
                           ? platform::Reason(kReasonReplaced)
                           : platform::Reason(kReasonReplacedOtherWentToTrash, result.fileInTrash));
    case platform::TrashFailure::PutBack:
        return refused(result.reason);
    case platform::TrashFailure::NotPutBack:
        return failed(platform::Reason(written ? kReasonWrittenStaysInTrash : kReasonOneFileStaysInTrash,
                                       result.fileInTrash));
    case platform::TrashFailure::NoTrash:
    case platform::TrashFailure::MoveFailed:
        break;
    }
    return failed(result.reason);
}

ActionOutcome linkToKeeperAction(const std::string& path, const platform::FileInfo& checked,
                                 const StayingCopy* keeper) {
    if (!keeper) {
        return refused(kReasonNoKeeper);
    }
    if (checked.size == 0) {
        // Empty files joined into one would share their future writes (marker and lock files).
        return {ActionStatus::AlreadyDone, kReasonEmpty, 0, {}};
    }
    // What the file has of its own, which its name loses to the copy that stays: kept in the
    // run's record, so that an undo can give the bytes back with it.
    RunChange change{RunChange::Kind::Linked, path, keeper->path, identityOf(keeper->checked)};
    change.modifiedNs = checked.modificationTimeNs;
    if (struct stat st{}; ::lstat(path.c_str(), &st) == 0) {
        change.mode = st.st_mode;
        change.owner = st.st_uid;
        change.group = st.st_gid;
    }
    const platform::LinkResult result =
        platform::replaceWithHardLink(path, checked, keeper->path, keeper->checked);
    switch (result.failure) {
    case platform::LinkFailure::None:
        return {ActionStatus::Done, {}, checked.size, std::move(change)};
    case platform::LinkFailure::AlreadyLinked:
        return {ActionStatus::AlreadyDone, result.reason, 0, {}};
    case platform::LinkFailure::SystemError:
        return failed(result.reason);
    case platform::LinkFailure::SameFile:
    case platform::LinkFailure::Missing:
    case platform::LinkFailure::NotAFile:
    case platform::LinkFailure::Replaced:
    case platform::LinkFailure::TargetReplaced:
    case platform::LinkFailure::OtherFileSystem:
        break;
    }
    return refused(result.reason);
}

ActionOutcome shareBlocksAction(const std::string& path, const platform::FileInfo& checked,
                                const StayingCopy* keeper) {
    if (!keeper) {
        return refused(kReasonNoKeeper);
    }
    if (checked.size == 0) {
        return {ActionStatus::AlreadyDone, kReasonEmpty, 0, {}};
    }
    const platform::SharingResult result =
        platform::shareBlocks(path, checked, keeper->path, keeper->checked);
    switch (result.failure) {
    case platform::SharingFailure::None:
        return {ActionStatus::Done,
                {},
                result.bytesShared,
                RunChange{RunChange::Kind::Shared, path, keeper->path, identityOf(checked)}};
    case platform::SharingFailure::SameFile:
    case platform::SharingFailure::AlreadyShared:
        return {ActionStatus::AlreadyDone, result.reason, 0, {}};
    case platform::SharingFailure::NotSupported:
    case platform::SharingFailure::SystemError:
        return {ActionStatus::Failed, result.reason, result.bytesShared, {}};
    case platform::SharingFailure::Missing:
    case platform::SharingFailure::NotAFile:
    case platform::SharingFailure::Replaced:
    case platform::SharingFailure::OtherFileSystem:
    case platform::SharingFailure::Differs:
        break;
    }
    return {ActionStatus::Refused, result.reason, result.bytesShared, {}};
}

namespace {

// What linking and sharing blocks both refuse before they act.
std::optional<ActionOutcome> previewJoining(const platform::FileInfo& seen, const StayingCopy& keeper,
                                            const char* alreadyJoined) {
    if (seen.size == 0) {
        return ActionOutcome{ActionStatus::AlreadyDone, kReasonEmpty, 0, {}};
    }
    if (identityOf(seen) == identityOf(keeper.checked)) {
        return ActionOutcome{ActionStatus::AlreadyDone, platform::Reason(alreadyJoined, keeper.path), 0, {}};
    }
    if (seen.device != keeper.checked.device) {
        return refused(platform::Reason(kReasonOtherFileSystemThan, keeper.path));
    }
    return std::nullopt;
}

} // namespace

std::optional<ActionOutcome> previewLinkToKeeper(const std::string&, const platform::FileInfo& seen,
                                                 const StayingCopy& keeper) {
    return previewJoining(seen, keeper, kReasonAlreadyLinkedTo);
}

std::optional<ActionOutcome> previewShareBlocks(const std::string& path, const platform::FileInfo& seen,
                                                const StayingCopy& keeper) {
    if (std::optional<ActionOutcome> outcome = previewJoining(seen, keeper, kReasonAlreadySameFileAs)) {
        return outcome;
    }
    if (!platform::fileSystemMayShareBlocks(path)) {
        // What the system answers each file there.
        return failed(platform::Reason(kReasonNoBlockSharing, {}, {}, EOPNOTSUPP));
    }
    return std::nullopt;
}

} // namespace corvane::engine
