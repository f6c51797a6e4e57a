#include "platform/trash_restore.h"

#include "platform/path_parts.h"
#include "platform/reason_texts.h"
#include "platform/trash.h"
#include "platform/unique_fd.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane::platform {

namespace {

RestoreResult refused(RestoreFailure failure, Reason reason, std::string originalPath = {}) {
    return {failure, std::move(reason), std::move(originalPath)};
}

std::optional<FileIdentity> identityAt(int folderFd, const char* name, int* error) {
    struct stat st {};
    if (::fstatat(folderFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
        *error = errno;
        return std::nullopt;
    }
    return FileIdentity{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
}

// Renames `from` in `fromFolder` to `to` in `toFolder` only if nothing is at `to`: the system's
// flag for it, or where a file system does not know the flag, a second name made with link()
// (which never replaces either) and the first name then removed. 0, or the error number.
int renameWithoutReplacing(int fromFolder, const char* from, int toFolder, const char* to) {
    if (::renameat2(fromFolder, from, toFolder, to, RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return errno;
    }
    if (::linkat(fromFolder, from, toFolder, to, 0) != 0) {
        return errno;
    }
    return ::unlinkat(fromFolder, from, 0) == 0 ? 0 : errno;
}

} // namespace

RestoreResult restoreFromTrash(const std::string& infoFile, const std::optional<FileIdentity>& moved) {
    Reason failure;
    const std::optional<TrashedFile> trashed = readTrashInfo(infoFile, &failure);
    if (!trashed) {
        return refused(RestoreFailure::NoInfo, std::move(failure));
    }
    const std::string& original = trashed->originalPath;
    const UniqueFd trashFolder(
        ::open(parentFolderOf(trashed->fileInTrash).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const std::string trashName = lastNameOf(trashed->fileInTrash);
    int error = 0;
    const std::optional<FileIdentity> inTrash =
        trashFolder.isOpen() ? identityAt(trashFolder.get(), trashName.c_str(), &error) : std::nullopt;
    const UniqueFd placeFolder(::open(parentFolderOf(original).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const int placeFolderError = placeFolder.isOpen() ? 0 : errno;
    const std::string placeName = lastNameOf(original);
    // A restore that ended (killed) between its steps: the file is at its place already, and
    // what is left in the trash of it (its record, a second name of it) goes.
    int placeError = 0;
    if (moved && placeFolder.isOpen() &&
        identityAt(placeFolder.get(), placeName.c_str(), &placeError) == moved) {
        if (inTrash == moved) {
            ::unlinkat(trashFolder.get(), trashName.c_str(), 0);
        }
        if (!inTrash || inTrash == moved) {
            ::unlink(infoFile.c_str());
            return {RestoreFailure::None, {}, original};
        }
    }
    if (!inTrash) {
        return refused(RestoreFailure::GoneFromTrash, kReasonNoLongerInTrash, original);
    }
    if (moved && *inTrash != *moved) {
        return refused(RestoreFailure::Changed, kReasonOtherInTrash, original);
    }
    if (!placeFolder.isOpen()) {
        return refused(RestoreFailure::NoFolder,
                       Reason(kReasonFolderOfNotOpened, parentFolderOf(original), {}, placeFolderError),
                       original);
    }
    error =
        renameWithoutReplacing(trashFolder.get(), trashName.c_str(), placeFolder.get(), placeName.c_str());
    if (error == EEXIST || error == ENOTEMPTY) {
        return refused(RestoreFailure::PlaceTaken, kReasonPlaceTaken, original);
    }
    if (error != 0) {
        return refused(RestoreFailure::MoveFailed, Reason(kReasonCannotMoveBack, {}, {}, error), original);
    }
    // The look after the move: another entry renamed into the trash under the file's name in
    // the moment before the rename goes back where it was, and the original stays in the trash.
    int lookError = 0;
    const std::optional<FileIdentity> placed = identityAt(placeFolder.get(), placeName.c_str(), &lookError);
    if (moved && placed != moved) {
        renameWithoutReplacing(placeFolder.get(), placeName.c_str(), trashFolder.get(), trashName.c_str());
        return refused(RestoreFailure::Changed, kReasonOtherInTrash, original);
    }
    ::unlink(infoFile.c_str()); // the file is back: its record in the trash goes
    return {RestoreFailure::None, {}, original};
}

} // namespace corvane::platform
