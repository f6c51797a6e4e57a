#include "engine/run_undo.h"

#include "platform/file_links.h"
#include "platform/path_parts.h"
#include "platform/reason_texts.h"
#include "platform/trash_restore.h"

#include <cerrno>
#include <sys/stat.h>

namespace corvane::engine {

namespace {

// An undo that was cut short (killed) may have put a file back before its record was rewritten:
// a file at its place as the undo leaves it counts as put back, so that undoing again finishes.
bool trashedFileIsBack(const RunChange& change) {
    const std::optional<platform::FileInfo> now = platform::lookupFile(change.path);
    return now && now->kind == platform::EntryKind::RegularFile && identityOf(*now) == change.identity;
}

bool linkedFileHasItsOwnBytesBack(const RunChange& change) {
    const std::optional<platform::FileInfo> now = platform::lookupFile(change.path);
    struct stat st {};
    return now && now->kind == platform::EntryKind::RegularFile && identityOf(*now) != change.identity &&
           now->modificationTimeNs == change.modifiedNs && ::lstat(change.path.c_str(), &st) == 0 &&
           (st.st_mode & 07777) == (change.mode & 07777);
}

UndoOutcome fromTrash(const RunChange& change) {
    using platform::RestoreFailure;
    const platform::RestoreResult result = platform::restoreFromTrash(change.other, change.identity);
    switch (result.failure) {
    case RestoreFailure::None:
        return {};
    case RestoreFailure::PlaceTaken:
    case RestoreFailure::NoFolder:
    case RestoreFailure::MoveFailed:
        return {UndoStatus::NotPutBack, result.reason, true};
    case RestoreFailure::NoInfo:
    case RestoreFailure::GoneFromTrash:
        if (trashedFileIsBack(change)) {
            return {};
        }
        break;
    case RestoreFailure::Changed:
        break;
    }
    return {UndoStatus::NotPutBack, result.reason, false};
}

UndoOutcome fromLink(const RunChange& change) {
    using platform::LinkFailure;
    const platform::LinkResult result = platform::replaceLinkWithOwnCopy(
        change.path, change.identity, {change.mode, change.owner, change.group, change.modifiedNs});
    switch (result.failure) {
    case LinkFailure::None:
        return {UndoStatus::PutBack, result.reason, false};
    case LinkFailure::SystemError:
        return {UndoStatus::NotPutBack, result.reason, true};
    case LinkFailure::Replaced:
        if (linkedFileHasItsOwnBytesBack(change)) {
            return {};
        }
        break;
    default:
        break;
    }
    return {UndoStatus::NotPutBack, result.reason, false};
}

// What a dry run says of a change: what an undo would try.
UndoOutcome wouldUndo(const RunChange& change) {
    if (change.kind == RunChange::Kind::Shared) {
        return {UndoStatus::Unchanged, kReasonStillShared, false};
    }
    return {};
}

} // namespace

UndoOutcome undoChange(const RunChange& change) {
    switch (change.kind) {
    case RunChange::Kind::Trashed:
        return fromTrash(change);
    case RunChange::Kind::Linked:
        return fromLink(change);
    case RunChange::Kind::Shared:
        break;
    }
    return {UndoStatus::Unchanged, kReasonStillShared, false};
}

UndoRun undoLastRun(const std::string& recordPath, std::span<const std::string> paths, bool dryRun,
                    const UndoneHandler& undone) {
    UndoRun run;
    struct stat st {};
    if (recordPath.empty() || (::stat(recordPath.c_str(), &st) != 0 && errno == ENOENT)) {
        run.notInRecord.assign(paths.begin(), paths.end());
        return run;
    }
    std::optional<std::vector<RunChange>> changes = readRunRecord(recordPath, &run.failure);
    if (!changes) {
        return run;
    }
    run.recorded = true;

    // The record's paths are absolute; those asked for are taken as the user means them.
    const std::string here = platform::currentFolder();
    std::vector<bool> asked(changes->size(), paths.empty());
    for (const std::string& path : paths) {
        const std::string wanted = platform::absolutePath(path, here);
        bool found = false;
        for (size_t i = 0; i < changes->size(); ++i) {
            if (platform::absolutePath((*changes)[i].path, "/") == wanted) {
                asked[i] = true;
                found = true;
            }
        }
        if (!found) {
            run.notInRecord.push_back(path);
        }
    }

    std::vector<bool> left(changes->size(), true);
    for (size_t i = changes->size(); i-- > 0;) {
        if (!asked[i]) {
            continue;
        }
        const RunChange& change = (*changes)[i];
        const UndoOutcome outcome = dryRun ? wouldUndo(change) : undoChange(change);
        switch (outcome.status) {
        case UndoStatus::PutBack:
            ++run.putBack;
            break;
        case UndoStatus::Unchanged:
            ++run.unchanged;
            break;
        case UndoStatus::NotPutBack:
            ++run.notPutBack;
            break;
        }
        left[i] = dryRun || (outcome.status == UndoStatus::NotPutBack && outcome.worthAnotherTry);
        if (undone && !undone(change, outcome)) {
            break;
        }
    }
    if (dryRun) {
        return run;
    }
    std::vector<RunChange> remaining;
    for (size_t i = 0; i < changes->size(); ++i) {
        if (left[i]) {
            remaining.push_back(std::move((*changes)[i]));
        }
    }
    if (remaining.size() != changes->size()) {
        replaceRunRecord(recordPath, remaining, &run.failure);
    }
    return run;
}

} // namespace corvane::engine
