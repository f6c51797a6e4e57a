#pragma once

// Sending a file to the desktop's trash (on Linux the freedesktop.org trash, with the trash info
// that lets a file manager restore it). A file is never deleted outright: whatever the trash
// cannot take stays where it is and the move counts as failed.

#include "platform/file_info.h"

#include <QString>
#include <functional>
#include <optional>
#include <string>

namespace corvane::ui {

// Moves the file at `path` (its exact bytes) to the trash; true when it is there. With
// `expected`, the file must still be the one it describes (same device, inode, size and
// modification time), else it is left alone. On failure `reason`, when given, receives a short
// explanation where Corvane itself refused or had to undo the move, and is emptied where the
// trash simply failed.
bool DeleteToRecycleBin(const std::string& path,
                        const std::optional<platform::FileInfo>& expected = std::nullopt,
                        QString* reason = nullptr);

// The move itself: the file name, and where the file went. QFile::moveToTrash unless a test
// stands in its own.
using TrashMover = std::function<bool(const QString& fileName, QString* pathInTrash)>;
bool DeleteToRecycleBin(const std::string& path, const std::optional<platform::FileInfo>& expected,
                        QString* reason, const TrashMover& mover);

} // namespace corvane::ui
