#pragma once

// Undoing what an action run changed, from its record (run_record.h): a trashed file is renamed
// back to its place, a file that became a link gets bytes of its own again, and a file whose
// blocks were shared needs nothing (its bytes always were its own). What cannot be put back is
// reported with its reason and stays in the record for another try when a later try may succeed.
// Both front ends undo through here. Plain C++.

#include "engine/run_record.h"
#include "platform/reason.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace corvane::engine {

enum class UndoStatus : uint8_t {
    PutBack,    // the file is as it was before the run
    Unchanged,  // nothing to put back
    NotPutBack, // see the reason
};

struct UndoOutcome {
    UndoStatus status = UndoStatus::PutBack;
    // Why not (NotPutBack), why nothing was needed (Unchanged), or what is not as it was though
    // the file is back (PutBack), for the user; empty when there is nothing to say.
    platform::Reason reason;
    // NotPutBack: a later try may succeed (the place is taken, the system refused), so the change
    // stays in the record.
    bool worthAnotherTry = false;
};

// Undoes one change.
UndoOutcome undoChange(const RunChange& change);

// What undoLastRun found.
struct UndoRun {
    // Why the record could not be read or replaced, or empty.
    std::string failure;
    // False when no run is recorded (nothing to undo, no failure).
    bool recorded = false;
    // The paths asked for that the record does not name.
    std::vector<std::string> notInRecord;
    size_t putBack = 0;
    size_t unchanged = 0;
    size_t notPutBack = 0;
};

// Called for each change undone (or, in a dry run, that would be undone) with its outcome;
// returns false to stop before the next.
using UndoneHandler = std::function<bool(const RunChange& change, const UndoOutcome& outcome)>;

// Undoes the changes of the run recorded at `recordPath` that `paths` name (every change when
// none are given; a path is taken against the current folder), the last change first, and keeps
// in the record what is left to undo. A dry run undoes nothing and reports each change as it
// stands in the record.
UndoRun undoLastRun(const std::string& recordPath, std::span<const std::string> paths, bool dryRun,
                    const UndoneHandler& undone);

} // namespace corvane::engine
