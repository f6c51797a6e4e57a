#pragma once

// The text of the info file that goes with every file in a freedesktop.org trash: where the file
// came from and when it was thrown away, in the form file managers read to restore it.
//
//     [Trash Info]
//     Path=/home/ana/holiday%201.jpg
//     DeletionDate=2024-05-01T14:03:59

#include "platform/file_info.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvane::platform {

// `path` with every byte other than ASCII letters, digits, "-", ".", "_", "~" and "/" written as
// "%XX" (upper-case hex), as URLs escape: "%", spaces, line breaks and bytes that are not UTF-8
// all come back unchanged from percentDecodePath.
std::string percentEncodePath(std::string_view path);

// The bytes of an escaped path; nothing when a "%" is not followed by two hex digits or the
// result would hold a zero byte, which no file name has.
std::optional<std::string> percentDecodePath(std::string_view encoded);

// "YYYY-MM-DDThh:mm:ss" in local time; nothing when the system cannot convert the moment.
std::optional<std::string> trashDeletionDate(int64_t secondsSinceEpoch);

// The whole text of an info file. `originalPath` is the file's path before the move, as bytes:
// absolute for the home trash, relative to the top folder for a file system's own trash. With
// `movedEntry`, a key of this program's own follows, which other readers pass over:
// "X-Corvane-Entry=DEVICE:INODE", the entry about to be moved. It lets a later run know an info
// file that a killed run of this program left without its file (see trash.cpp).
std::string composeTrashInfo(std::string_view originalPath, std::string_view deletionDate,
                             const std::optional<FileIdentity>& movedEntry = std::nullopt);

// What an info file says, its path decoded (still absolute or relative as stored).
struct TrashInfoText {
    std::string originalPath;
    std::string deletionDate;
    std::optional<FileIdentity> movedEntry; // this program's key, when the text has it whole
};

// Reads the text of an info file: the "[Trash Info]" group must come first and hold a Path
// that decodes; nothing otherwise. Unknown keys and later groups are ignored.
std::optional<TrashInfoText> parseTrashInfo(std::string_view text);

} // namespace corvane::platform
