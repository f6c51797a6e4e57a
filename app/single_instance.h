#pragma once

// The marker of the running instance: one Corvane per user session. The marker is a lock on a
// file that the process holds for its whole life; the system lets go of it when the process
// ends, also after a crash, so a stale marker can never block a later start.

#include <string>

namespace corvane::app {

enum class InstanceMarker {
    Acquired,      // this process is the running instance: run
    HeldByAnother, // another instance runs: end at once with status 0, showing nothing
    Unavailable,   // the lock could not be created or taken: run as if alone
};

// The lock file of the instance `name` for the current user: "<name>.lock" in
// $XDG_RUNTIME_DIR when that names an absolute folder, else in the folder "<name>-<uid>" under
// $TMPDIR (or /tmp). Works out the path only.
std::string instanceLockPath(const std::string& name);

// Takes the marker of the instance `name` at instanceLockPath(name). The fallback folder under
// the temp folder is created private to the user; one that belongs to someone else, or that
// others may write to, makes the marker Unavailable.
InstanceMarker takeInstanceMarker(const std::string& name = "corvane");

// Takes the lock on the file `lockPath` (created if missing; its folder must exist). On
// Acquired the lock stays taken until the process ends, and programs this process starts do
// not inherit it.
InstanceMarker takeLockFile(const std::string& lockPath);

} // namespace corvane::app
