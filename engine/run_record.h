#pragma once

// What an action run changed, kept so that the run can be undone: one record per file acted on,
// written as the run goes, so that a run that ends early (stopped, failed or killed) leaves the
// record of every change it made. Each run starts a new record; the last run's is kept.
//
// The record is a text file, one change a line, its fields separated by tabs and paths escaped
// as URLs escape them (any byte of a name, a line break or a tab included, comes back whole):
//
//     corvane-run 1
//     trashed  PATH  INFO-FILE  DEVICE  INODE
//     linked   PATH  TARGET     DEVICE  INODE  MODE  OWNER  GROUP  MODIFIED-NS
//     shared   PATH  SOURCE     DEVICE  INODE
//
// trashed: PATH went to the trash; INFO-FILE is its info file there, DEVICE and INODE the entry
// moved. linked: PATH became a name of TARGET (DEVICE and INODE are the target's); the file that
// was at PATH had MODE, OWNER, GROUP and its modification time. shared: PATH's blocks are shared
// with SOURCE's; PATH is still its own file (DEVICE, INODE).

#include "platform/file_info.h"

#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace corvane::engine {

struct RunChange {
    enum class Kind : uint8_t { Trashed, Linked, Shared };
    Kind kind = Kind::Trashed;
    std::string path;  // the file acted on, where it was
    std::string other; // the info file (Trashed), the target (Linked) or the source (Shared)
    platform::FileIdentity identity;
    // Linked only: what the replaced file had of its own.
    uint32_t mode = 0;
    uint32_t owner = 0;
    uint32_t group = 0;
    int64_t modifiedNs = 0;

    friend bool operator==(const RunChange&, const RunChange&) = default;
};

// Where the last run's record is kept: $XDG_STATE_HOME/corvane/last-run when that variable holds
// an absolute path, else ~/.local/state/corvane/last-run; empty when no home folder is known.
std::string lastRunRecordPath();

// Writes a run's record. Each change is in the file before add() returns, so that a change made and
// then cut short by the end of the process (a kill included) is still there to undo; the record is
// flushed to the disk when the writer ends.
class RunRecordWriter {
public:
    RunRecordWriter() = default;
    ~RunRecordWriter();
    RunRecordWriter(const RunRecordWriter&) = delete;
    RunRecordWriter& operator=(const RunRecordWriter&) = delete;

    // Starts a new record at `path` (replacing the last run's), making its folder, readable by
    // its owner only; false with `failure` set when it cannot.
    bool start(const std::string& path, std::string* failure);
    // Adds a change; false with `failure` set when it could not be written.
    bool add(const RunChange& change, std::string* failure);
    bool started() const { return fd_ >= 0; }

private:
    int fd_ = -1;
    off_t size_ = 0; // the bytes of whole lines written
};

// Keeps the record of one run as the run goes. The record starts with the run's first change, so
// a run that changes nothing leaves the last run's record as it was. When it cannot be kept, the
// last run's record is removed as well (an undo must never take an older run for this one), the
// first failure is kept for the user, and the run goes on: what the trash holds, it holds with
// its own record.
class RunRecorder {
public:
    explicit RunRecorder(std::string path) : path_(std::move(path)) {}

    // Records `change`, its paths made absolute against the current folder.
    void add(RunChange change);
    // Why the record could not be kept, or empty.
    const std::string& failure() const { return failure_; }

private:
    std::string path_;
    RunRecordWriter writer_;
    std::string failure_;
};

// Replaces the record at `path` with `changes` (what is still to undo of its run): whole or not
// at all. No changes remove the record. False with `failure` set when it cannot.
bool replaceRunRecord(const std::string& path, const std::vector<RunChange>& changes, std::string* failure);

// The changes of a record, in the order they were made. Nothing, with `failure` set, when the
// record cannot be read, is of a later version, or has a line that is not a change: a record
// that cannot be trusted whole is not acted on in part. A last line cut short (the disk was
// full, or the process ended while writing it) is left out, and the others are read.
std::optional<std::vector<RunChange>> readRunRecord(const std::string& path, std::string* failure);

// One line of a record, without the line break; for the reader's tests and the writer.
std::string runChangeLine(const RunChange& change);

} // namespace corvane::engine
