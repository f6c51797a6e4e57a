#pragma once

// The reasons a file is not acted on, or an action on it failed, as the command line prints them
// and the window shows them (translated). This is the one place these texts are written: the
// engine and the platform layer use the constants, the command line prints them as they are, and
// the build lists them for the translation tool (cmake/reason_texts.cmake reads this file), so the
// window translates exactly these. A reason that names a path is built from one of them and shows
// untranslated.
//
// Each constant is `kReason... = "plain text"`, which is what the listing reads.

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

} // namespace corvane
