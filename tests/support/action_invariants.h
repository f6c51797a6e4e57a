#pragma once

// What must hold after any trash, link or dedupe, whatever went wrong during it: a crash, a second
// path to a file, a trash folder inside the searched tree. Each check returns its faults as lines
// for the test's failure message, naming the path and the contents concerned; no fault, no line.

#include <map>
#include <string>
#include <vector>

namespace corvane::testing {

// Where a test looks: the searched trees (a path may lie inside another) and the home trash
// ($XDG_DATA_HOME/Trash, wherever it is).
struct ActionScene {
    std::vector<std::string> roots;
    std::string homeTrash;
};

// Every content held by a regular file under the roots outside every trash folder, with one path
// that holds it. Trash folders are the home trash and, anywhere, .Trash-UID and .Trash/UID.
std::map<std::string, std::string> contentsOutsideTrash(const ActionScene& scene);

// The contents of `before` that no regular file outside the trash holds any more, each with the
// path it had and where it is now (in a trash, or nowhere).
std::vector<std::string> lostContents(const std::map<std::string, std::string>& before,
                                      const ActionScene& scene);

// The trash folders in the scene: the home trash when it exists, and those under the roots.
std::vector<std::string> trashFoldersOf(const ActionScene& scene);

// Entries in a trash's files/ without a complete info file (one that starts with "[Trash Info]"
// and has a Path= and a DeletionDate= line), info files that are not complete, and files in info/
// that are no info file (but temporary names: temporaryNames() finds those).
std::vector<std::string> incompleteTrashEntries(const ActionScene& scene);

// Info files whose file is not in files/: the trash lists something it cannot restore. A kill
// between writing the info file and moving the file leaves one, complete, naming a file that is
// still in its place; the next move into that trash removes it.
std::vector<std::string> orphanInfoFiles(const ActionScene& scene);

// Every entry under the roots and in the trash folders whose name starts with ".corvane-": the
// names the actions use for a moment.
std::vector<std::string> temporaryNames(const ActionScene& scene);

// Every entry under `folder` (not following links): a folder as "folder", a link as its target, a
// regular file as its contents, inode and modification time. Two snapshots differ when anything in
// the folder was changed, replaced, added or taken away.
std::map<std::string, std::string> folderSnapshot(const std::string& folder);

// The differences between two snapshots of one folder, one line each.
std::vector<std::string> snapshotChanges(const std::map<std::string, std::string>& before,
                                         const std::map<std::string, std::string>& after);

// `contents` for a message: quoted, bytes that are not printable as \xNN, long ones cut.
std::string describeContents(const std::string& contents);

} // namespace corvane::testing
