#pragma once

// The reasons a file is not acted on, or an action on it failed, as the command line prints them
// and the window shows them (translated). This is the one place these texts are written: the
// engine and the platform layer use the constants, the command line prints them as they are, and
// the build lists them for the translation tool (cmake/reason_texts.cmake reads this file), so the
// window translates exactly these. A text may hold facts, filled in where the reason is shown
// (platform/reason.h): %1 and %2 the paths (or a count) the reason names, %3 the system's own
// words on the error.
//
// Each constant is `kReason... = "plain text"` (a text too long for one line goes on in adjacent
// literals), which is what the listing reads.

namespace corvane {

// The plan before acting, and the last look just before each action.
inline constexpr const char* kReasonChanged = "changed since it was compared";
inline constexpr const char* kReasonGone = "no longer there";
inline constexpr const char* kReasonNotAFile = "not a regular file";
inline constexpr const char* kReasonUnreadable = "cannot be read";
inline constexpr const char* kReasonKeeperGone = "the copy that stays is gone";
inline constexpr const char* kReasonKeeperChanged = "the copy that stays changed";
inline constexpr const char* kReasonOriginalChanged = "kept: its original changed since the search";
inline constexpr const char* kReasonOriginalGone = "kept: its original is gone";
inline constexpr const char* kReasonOnlyCopyLeft = "the original is gone: this file is now the only copy";
inline constexpr const char* kReasonOneFile =
    "it and the copy that stays are one file, seen through two paths";
inline constexpr const char* kReasonInTrash = "in the trash already";
inline constexpr const char* kReasonLastCopy = "the last copy of its contents";
inline constexpr const char* kReasonReplaced = "replaced since it was checked";

// Moving into the trash.
inline constexpr const char* kReasonNotAFileOrLink = "not a regular file or a symbolic link";
inline constexpr const char* kReasonTakenPlace = "another file has taken its place";

// Putting back from the trash.
inline constexpr const char* kReasonNoLongerInTrash = "it is no longer in the trash";
inline constexpr const char* kReasonOtherInTrash = "the file of that name in the trash is another one";
inline constexpr const char* kReasonPlaceTaken = "another file is at its place";

// Giving a file that was linked its own bytes again, and the blocks that stay shared.
inline constexpr const char* kReasonNoLongerLinked = "it is no longer a name of the file it was linked to";
inline constexpr const char* kReasonOwnerNotBack = "its bytes are its own again, but not its owner";
inline constexpr const char* kReasonStillShared =
    "its bytes were always its own: it only shares blocks with a copy of them";

// Reasons with facts of the plan before acting.
inline constexpr const char* kReasonSameFileAs = "the same file as %1, reached by another path";
inline constexpr const char* kReasonNoKeeper = "no copy stays for it";
inline constexpr const char* kReasonEmpty = "an empty file: nothing to reclaim";

// Replacing a file by a hard link to the copy that stays.
inline constexpr const char* kReasonFolderNotOpened = "its folder cannot be opened: %3";
inline constexpr const char* kReasonReplacedOrChanged = "replaced or changed since it was checked";
inline constexpr const char* kReasonKeeperGoneOrReplaced = "the copy that stays is gone or was replaced";
inline constexpr const char* kReasonKeeperReplaced = "the copy that stays was replaced";
inline constexpr const char* kReasonAlreadyLinkedTo = "already a link to %1";
inline constexpr const char* kReasonOtherFileSystemThan = "on another file system than %1";
inline constexpr const char* kReasonOtherMountThan = "on another mount than %1";
inline constexpr const char* kReasonCannotLinkTo = "cannot link it to %1: %3";
inline constexpr const char* kReasonNoExchange =
    "the file system cannot exchange two names in one step, which replacing a file without a moment "
    "where its name is empty needs";
inline constexpr const char* kReasonLinkNotPlaced = "cannot put the link in its place: %3";
inline constexpr const char* kReasonOneFileNotPutBack =
    "it and the copy that stays look like one file seen through two paths, and it cannot be put back: "
    "it is now %1: %3";
inline constexpr const char* kReasonReplacedNotPutBack =
    "replaced since it was checked, and what took its place is now %1, since it cannot be put back: %3";
inline constexpr const char* kReasonReplacedFileStays = "linked, but the file it replaced stays as %1: %3";
inline constexpr const char* kReasonKeeperWrittenWhileLinked =
    "the copy that stays was written to while it was linked; the file was put back";
inline constexpr const char* kReasonKeeperWrittenNotPutBack =
    "the copy that stays was written to while it was linked, and the file cannot be put back: it is now "
    "%1: %3";

// Giving a linked file its own bytes again.
inline constexpr const char* kReasonCannotRead = "it cannot be read: %3";
inline constexpr const char* kReasonNoCopyBeside = "no copy of its bytes can be made beside it: %3";
inline constexpr const char* kReasonCopyNotPlaced = "the copy cannot be put in its place: %3";
inline constexpr const char* kReasonNoLongerLinkedNotPutBack =
    "it is no longer a name of the file it was linked to, and what took its place is now %1, since it "
    "cannot be put back: %3";
inline constexpr const char* kReasonLinkedNameStays =
    "its bytes are its own again, but one more name of the file it was linked to stays as %1: %3";

// Sharing blocks with the copy that stays.
inline constexpr const char* kReasonNoBlockSharing =
    "the file system does not share blocks between files (%3)";
inline constexpr const char* kReasonOtherMountThanKeeper = "on another mount than the copy that stays";
inline constexpr const char* kReasonCannotShare = "cannot share its blocks: %3";
inline constexpr const char* kReasonCannotOpen = "cannot be opened: %3";
inline constexpr const char* kReasonKeeperMissing = "the copy that stays: no longer there";
inline constexpr const char* kReasonKeeperNotAFile = "the copy that stays: not a regular file";
inline constexpr const char* kReasonKeeperReplacedSince =
    "the copy that stays: replaced since it was checked";
inline constexpr const char* kReasonKeeperCannotOpen = "the copy that stays: cannot be opened: %3";
inline constexpr const char* kReasonAlreadySameFileAs = "already the same file as %1";
inline constexpr const char* kReasonSizeDiffersFrom = "its size differs from that of %1";
inline constexpr const char* kReasonAlreadySharedWith = "its blocks are already shared with %1";
inline constexpr const char* kReasonKernelFoundDifference =
    "the kernel found bytes that differ from %1 after %2 bytes";

// Moving into the trash.
inline constexpr const char* kReasonNulInName = "no file has a name with a zero byte";
inline constexpr const char* kReasonCannotLookAt = "it cannot be looked at: %3";
inline constexpr const char* kReasonFolderMoved =
    "its folder cannot be resolved: it moved while it was looked at";
inline constexpr const char* kReasonOtherFileSystemThanTrash =
    "it lies on another file system than the trash %1: %3";
inline constexpr const char* kReasonCannotMoveIntoTrash = "it cannot be moved into the trash %1: %3";
inline constexpr const char* kReasonNoLocalTime = "the local time for the deletion date is not known";
inline constexpr const char* kReasonInfoNotWritten = "the trash info cannot be written: %1: %3";
inline constexpr const char* kReasonPutBack = "put back where it was";
inline constexpr const char* kReasonStaysInTrash =
    "it cannot be put back where it was, and stays in the trash as %1, from where its info file "
    "restores it";
inline constexpr const char* kReasonOtherPutBack =
    "another file took its place just before the move; that file was put back";
inline constexpr const char* kReasonOtherWentToTrash =
    "another file took its place just before the move and went to the trash as %1, from where its info "
    "file restores it";
inline constexpr const char* kReasonTooManyInTrash = "the trash holds too many files of this name";
// The two above, after what the last look made of the file.
inline constexpr const char* kReasonReplacedOtherWentToTrash =
    "replaced since it was checked; another file took its place just before the move and went to the "
    "trash as %1, from where its info file restores it";
inline constexpr const char* kReasonOneFileStaysInTrash =
    "it and the copy that stays are one file, seen through two paths; it cannot be put back where it "
    "was, and stays in the trash as %1, from where its info file restores it";
inline constexpr const char* kReasonWrittenWhileMoved =
    "written to while it was moved to the trash; put back where it was";
inline constexpr const char* kReasonWrittenStaysInTrash =
    "written to while it was moved to the trash; it cannot be put back where it was, and stays in the "
    "trash as %1, from where its info file restores it";

// Finding the trash.
inline constexpr const char* kReasonTrashNotMade = "the trash folder cannot be made: %1: %3";
inline constexpr const char* kReasonTrashOfOtherUser = "the trash folder %1 belongs to another user";
inline constexpr const char* kReasonTrashNotOpened = "the trash folder cannot be opened: %1: %3";
inline constexpr const char* kReasonFolderNotLookedAt = "its folder cannot be looked at: %3";

// Putting back from the trash.
inline constexpr const char* kReasonRecordUnreadable = "the trash's record of it cannot be read: %1: %3";
inline constexpr const char* kReasonRecordTooLarge =
    "the trash's record of it cannot be read: %1: too large for a trash info file";
inline constexpr const char* kReasonRecordNotInfo =
    "the trash's record of it cannot be read: %1: not a trash info file";
inline constexpr const char* kReasonRecordRelative =
    "the trash's record of it cannot be read: %1: a relative "
    "path in a trash that is not at the top of a mount";
inline constexpr const char* kReasonFolderOfNotOpened = "its folder %1 cannot be opened (%3)";
inline constexpr const char* kReasonCannotMoveBack = "it cannot be moved back (%3)";

} // namespace corvane
