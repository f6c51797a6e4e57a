#pragma once

// The checks before acting on duplicates (moving them to the trash, linking them, sharing their
// blocks). The one rule: a file is acted on only if, at that moment, a file that stays holds the
// same bytes. Two steps keep it:
// - planning looks at every file of the groups as they are now and sorts each group into files of
//   identical contents (byte for byte), deciding for each file whether it may be acted on and
//   which file of its group stays with its bytes;
// - just before each action, checkStillCopy makes sure the file and the one that stays still hold
//   the same bytes, so that what changed since planning is caught too.
// Plain C++; runs on whatever thread calls it.

#include "platform/file_info.h"
#include "platform/reason.h"
#include "platform/reason_texts.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace corvane::engine {

// A file of a duplicate group, as a front end knows it.
struct GroupFile {
    std::string path; // its exact bytes
    // What the comparer saw when it read the file, in this session; none for a result set opened
    // from disk. Only with it may a file skip being read again.
    std::optional<platform::FileInfo> compared;
    // The user asked for this file to be acted on (with Choice::ChosenFiles).
    bool chosen = false;
    // Never acted on, and the copy that stays for the files identical to it, before the original
    // (a file in one of the command line's --keep-in folders).
    bool isProtected = false;
};

// A group: files[0] is its original, the others its duplicates in tree order.
struct FileGroup {
    std::vector<GroupFile> files;
};

// Which files of the groups are to be acted on.
// Files marked `isProtected` are never acted on: where one holds the same bytes as others, the
// first of them in group order stays for them all.
enum class Choice {
    // Every duplicate; the original stays, unless a protected file holds its bytes: then it goes
    // too, so that only the protected copies are left (the command line's --keep-in).
    AllDuplicates,
    // Every duplicate that is not protected; the original always stays (the window's Delete All
    // Duplicates, which never deletes an original).
    DuplicatesOnly,
    ChosenFiles, // the files marked `chosen`, originals included
};

enum class Verdict : uint8_t {
    Act,        // may be acted on: `keeper` holds the same bytes and stays
    Stays,      // not asked for; may be the copy that stays for others
    KeptCopy,   // a duplicate that stays for the others because its original changed or is gone
    LastCopy,   // asked for, but every copy of its contents is asked for: only if the user agrees
    Changed,    // asked for, but no other file of its group holds its bytes any more
    Gone,       // no longer there
    NotAFile,   // no longer a regular file
    Unreadable, // could not be read
    SameEntry,  // the same directory entry as another file of its group, reached by another path,
                // or one file under two paths (a file mounted over another name)
    InTrash,    // lies in a trash folder: thrown away already, never a copy that stays
};

struct FilePlan {
    Verdict verdict = Verdict::Stays;
    // Act: the file of the group that holds the same bytes and stays. SameEntry: the file it is.
    int32_t keeper = -1;
    // The file when its bytes were last compared (by the comparer, or by the planning); for
    // checkStillCopy.
    platform::FileInfo seen;
    // Gone, Changed, KeptCopy, SameEntry...: for the user.
    platform::Reason reason;
};

struct GroupPlan {
    std::vector<FilePlan> files; // parallel to FileGroup::files
};

struct PlanCounts {
    size_t toAct = 0;      // Act
    size_t lastCopies = 0; // LastCopy
    size_t refused = 0;    // asked for, but neither Act nor LastCopy
    size_t keptCopies = 0; // KeptCopy
};
PlanCounts countPlans(const std::vector<GroupPlan>& plans);

// Looks at every file of `groups` and decides what may be done with each. Files read only when
// they must: a file unchanged since the comparer read it (with its group's other unchanged files)
// is known to hold the group's bytes. `progress(done, total)` follows the files; `stopRequested`
// is polled between files and chunks, and a stop leaves the remaining groups planned as
// "Stays" for every file (nothing acted on).
std::vector<GroupPlan> planGroups(const std::vector<FileGroup>& groups, Choice choice,
                                  const std::function<bool()>& stopRequested = {},
                                  const std::function<void(size_t, size_t)>& progress = {});

// The result of the last look before acting.
struct StillCopy {
    bool same = false;
    platform::Reason reason;   // why not, for the user
    platform::FileInfo file;   // the file as just checked: the identity the action must find
    platform::FileInfo keeper; // the copy that stays, as just checked
};

// True when `file` and `keeper` hold the same bytes now: both unchanged since they were last
// compared (`fileSeen`, `keeperSeen`), else compared byte for byte now. Two paths of one
// directory entry, or of one file where either path is a mount of it, are never a copy of each
// other.
StillCopy checkStillCopy(const std::string& file, const platform::FileInfo& fileSeen,
                         const std::string& keeper, const platform::FileInfo& keeperSeen);

} // namespace corvane::engine
