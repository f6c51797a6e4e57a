#pragma once

// Sending a file from the duplicate tree to the desktop's trash (platform/trash.h: the
// freedesktop.org trash, with the info file that lets a file manager restore it). A file is
// never deleted outright: whatever the trash cannot take stays where it is and the move counts
// as failed.

#include "platform/file_info.h"

#include <QString>
#include <optional>
#include <string>

namespace corvane::ui {

// Moves the regular file at `path` (its exact bytes) to the trash; true when it is there. With
// `expected`, the file must still be the one it describes (same device, inode, size and
// modification time), else it is left alone. On failure `reason`, when given, receives a short
// explanation for the user.
bool DeleteToRecycleBin(const std::string& path,
                        const std::optional<platform::FileInfo>& expected = std::nullopt,
                        QString* reason = nullptr);

} // namespace corvane::ui
