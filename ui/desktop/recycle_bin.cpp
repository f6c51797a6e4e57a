#include "ui/desktop/recycle_bin.h"

#include "platform/trash.h"

namespace corvane::ui {

namespace {

bool sameFile(const platform::FileInfo& a, const platform::FileInfo& b) {
    return a.kind == b.kind && a.device == b.device && a.inode == b.inode && a.size == b.size &&
           a.modificationTimeNs == b.modificationTimeNs;
}

} // namespace

bool DeleteToRecycleBin(const std::string& path, const std::optional<platform::FileInfo>& expected,
                        QString* reason) {
    const auto refuse = [reason](const QString& why) {
        if (reason) {
            *reason = why;
        }
        return false;
    };
    if (reason) {
        reason->clear();
    }
    const auto now = platform::lookupFile(path);
    if (!now) {
        return refuse(QStringLiteral("no longer there"));
    }
    if (now->kind != platform::EntryKind::RegularFile) {
        return refuse(QStringLiteral("not a regular file"));
    }
    if (expected && !sameFile(*expected, *now)) {
        return refuse(QStringLiteral("changed since it was compared"));
    }
    // The entry just looked at is the one to move; the trash refuses another in its place.
    const platform::TrashResult result = platform::moveToTrash(path, {now->device, now->inode});
    switch (result.failure) {
    case platform::TrashFailure::None:
        return true;
    case platform::TrashFailure::Missing:
        return refuse(QStringLiteral("no longer there"));
    case platform::TrashFailure::NotAFile:
        return refuse(QStringLiteral("not a regular file"));
    case platform::TrashFailure::Replaced:
        if (!result.fileInTrash.empty()) {
            // Another file went in its place; the user must know where it is.
            return refuse(QStringLiteral("changed since it was compared; ") +
                          QString::fromUtf8(result.reason));
        }
        return refuse(QStringLiteral("changed since it was compared"));
    case platform::TrashFailure::NoTrash:
    case platform::TrashFailure::MoveFailed:
        break;
    }
    return refuse(QString::fromUtf8(result.reason));
}

} // namespace corvane::ui
