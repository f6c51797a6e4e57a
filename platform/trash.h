#pragma once

// Moving files to the freedesktop.org trash, the way file managers do, so that any of them can
// list and restore what Corvane threw away:
// - a file on the same mount as the home trash ($XDG_DATA_HOME/Trash, by default
//   ~/.local/share/Trash) goes there;
// - a file on another mount goes to that mount's own trash at its top folder: $top/.Trash/$uid
//   when $top/.Trash is a real folder (not a link) with the sticky bit, else $top/.Trash-$uid.
// Trash folders that are missing are made, readable by their owner only. The info file is
// written first, complete before it takes its name (a name no other entry has), then the file is
// renamed next to it: whenever the process ends, every file in the trash has a whole info file. An
// info file that a killed run left without its file (its file still in its place) is removed by the
// first move of a later run into that trash, and only such an info file of this program's. A file
// is only ever renamed: never copied to another file system, never deleted. Whatever no trash
// can take stays where it is, and the result says why.

#include "platform/file_info.h"

#include "platform/reason.h"
#include <cstdint>
#include <functional>
#include <optional>

#include <string>

namespace corvane::platform {

enum class TrashFailure : uint8_t {
    None,
    Missing,    // nothing is at the path (any more)
    NotAFile,   // a folder, device, FIFO or socket: only files and symbolic links are taken
    Replaced,   // the entry at the path is not the expected one
    NoTrash,    // no trash could be found or made for it
    MoveFailed, // the trash is there, but the file could not be put into it
    PutBack,    // moved, then put back where it was, since the caller's look after the move failed
    NotPutBack, // the same, but it could not be put back: it stays in the trash (fileInTrash)
};

struct TrashResult {
    TrashFailure failure = TrashFailure::None;
    // For the user: why the file stayed, with the system's reason where it gave one, e.g.
    // "the trash folder cannot be made: %1: %3" with /media/stick/.Trash-1000 and EROFS.
    Reason reason;
    // The trash used (or the one that failed, where known), e.g. "/home/ana/.local/share/Trash".
    std::string trashFolder;
    // Where the file is now (trashFolder/files/NAME) and its info file. Set when it moved, and
    // in the one failure that still moved an entry: another entry that took the file's place in
    // the moment before the rename and could not be put back (TrashFailure::Replaced).
    std::string fileInTrash;
    std::string infoFile;

    bool moved() const { return failure == TrashFailure::None; }
};

// Moves the regular file or symbolic link (as itself, never what it points to) at `path` to
// the trash. `path` is taken as bytes: any name, also one that is not UTF-8, can be trashed.
// The info file records the path of the folder the file was in as the system names the folder
// it opened (through no links), never a second reading of `path`. Safe to call from
// several threads at once.
TrashResult moveToTrash(const std::string& path);

// The same, but only if the entry at `path` is still `expected` (as the caller saw it when it
// checked the file's contents); refused with TrashFailure::Replaced otherwise.
//
// The entry is looked at just before the rename and the moved entry again right after it. The
// system offers no "rename only if this inode" step, so another entry renamed onto `path` in
// the moment between the look and the rename would be moved instead; the look after the rename
// catches this and puts that entry back where it was (never over a newcomer at `path`). If even
// that is impossible, it stays in the trash with an info file that restores it, and the result
// says so. What no check can catch is a change of the file's contents through its inode by a
// program that has it open: the caller's check of the contents is as old as the caller made it.
//
// `whyNotStay`, when given, is asked right after the move with the file's path in the trash: a
// reason puts the file back where it was (never over a newcomer), removes its info file, and is
// the result's (TrashFailure::PutBack). The caller's last look: whether the file is still what was
// checked (a write in the moment before the move) and whether the copy that stays for it is still
// there, which it is not when the two paths were one file.
using WhyNotStay = std::function<Reason(const std::string& fileInTrash)>;
TrashResult moveToTrash(const std::string& path, const FileIdentity& expected,
                        const WhyNotStay& whyNotStay = {});

// The home trash: $XDG_DATA_HOME/Trash when that variable holds an absolute path, else
// ~/.local/share/Trash (the folder need not exist yet); empty when no home folder is known.
std::string homeTrashFolder();

// A file in a trash, as its info file describes it.
struct TrashedFile {
    std::string originalPath; // absolute, the exact bytes of the path it had
    std::string deletionDate; // as written, "YYYY-MM-DDThh:mm:ss"
    std::string fileInTrash;  // the entry in files/ that the info file belongs to
};

// Reads `infoFile` (TRASH/info/NAME.trashinfo) and tells where its file came from: a relative
// Path is taken from the top folder of the file system whose trash holds it. Nothing, with
// `failure` set when given (said of the trash's record of the file, with the info file's path),
// when the file cannot be read or is not an info file.
std::optional<TrashedFile> readTrashInfo(const std::string& infoFile, Reason* failure = nullptr);

} // namespace corvane::platform
