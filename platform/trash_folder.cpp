#include "platform/trash_folder.h"

#include "platform/mount_point.h"
#include "platform/path_parts.h"
#include "platform/reason_texts.h"
#include "platform/trash.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace corvane::platform {

namespace {

// Trash folders hold what the user threw away: theirs alone.
constexpr mode_t kPrivateFolderMode = 0700;

bool isFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

Reason cannotMake(const std::string& path, int error) {
    return Reason(kReasonTrashNotMade, path, {}, error);
}

// Makes `path` and the folders on the way that are missing; on failure, why, naming the
// folder that could not be made.
std::optional<Reason> makeFolders(const std::string& path) {
    if (isFolder(path)) {
        return std::nullopt;
    }
    for (size_t slash = path.find(kPathSeparator, 1);; slash = path.find(kPathSeparator, slash + 1)) {
        const std::string prefix = slash == std::string::npos ? path : path.substr(0, slash);
        if (::mkdir(prefix.c_str(), kPrivateFolderMode) != 0 && errno != EEXIST) {
            return cannotMake(prefix, errno);
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    return isFolder(path) ? std::nullopt : std::optional(cannotMake(path, ENOTDIR));
}

// Makes the folder `path` unless it is there, and accepts it only as a real folder (not a link)
// of this user's own: in a shared place such as the top of a disk another user could have put
// a link or a folder of theirs there.
std::optional<Reason> makeOwnFolder(const std::string& path) {
    if (::mkdir(path.c_str(), kPrivateFolderMode) != 0 && errno != EEXIST) {
        return cannotMake(path, errno);
    }
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        return cannotMake(path, errno);
    }
    if (!S_ISDIR(st.st_mode)) {
        return cannotMake(path, ENOTDIR);
    }
    if (st.st_uid != ::getuid()) {
        return Reason(kReasonTrashOfOtherUser, path);
    }
    return std::nullopt;
}

// Opens files/ and info/ of `trash->folder`, making them where missing.
std::optional<Reason> openFilesAndInfo(TrashFolder* trash, bool ownFoldersOnly) {
    for (UniqueFd* handle : {&trash->files, &trash->info}) {
        const std::string path = joinPath(trash->folder, handle == &trash->files ? "files" : "info");
        if (auto problem = ownFoldersOnly ? makeOwnFolder(path) : makeFolders(path)) {
            return problem;
        }
        *handle = UniqueFd(::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (!handle->isOpen()) {
            return Reason(kReasonTrashNotOpened, path, {}, errno);
        }
    }
    return std::nullopt;
}

// The mount where the home trash is or would be made: that of the nearest folder on its way
// that exists.
std::optional<MountIdentity> mountOfHomeTrash(std::string path) {
    for (;;) {
        int error = 0;
        if (auto mount = mountOf(path, &error)) {
            return mount;
        }
        if ((error != ENOENT && error != ENOTDIR) || path == "/") {
            return std::nullopt;
        }
        path = parentFolderOf(path);
    }
}

// The trash at the top of the mount whose top folder is `top`: $top/.Trash/$uid when
// $top/.Trash is a real folder with the sticky bit (so that users cannot remove each other's
// files from it), else $top/.Trash-$uid.
std::variant<TrashFolder, NoTrashFolder> openTopFolderTrash(const std::string& top) {
    const std::string uid = std::to_string(::getuid());
    const std::string shared = joinPath(top, ".Trash");
    struct stat st {};
    if (::lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
        TrashFolder trash;
        trash.folder = joinPath(shared, uid);
        trash.topFolder = top;
        if (!makeOwnFolder(trash.folder) && !openFilesAndInfo(&trash, true)) {
            return trash;
        }
        // Not usable: the trash of this user's own beside it is the one to take.
    }
    TrashFolder trash;
    trash.folder = joinPath(top, ".Trash-" + uid);
    trash.topFolder = top;
    auto problem = makeOwnFolder(trash.folder);
    if (!problem) {
        problem = openFilesAndInfo(&trash, true);
    }
    if (problem) {
        return NoTrashFolder{std::move(*problem), trash.folder};
    }
    return trash;
}

} // namespace

std::variant<TrashFolder, NoTrashFolder> openTrashFolderFor(int folderFd, const std::string& folder) {
    int error = 0;
    const auto fileMount = mountOfFolder(folderFd, &error);
    if (!fileMount) {
        return NoTrashFolder{Reason(kReasonFolderNotLookedAt, {}, {}, error), {}};
    }
    const std::string home = homeTrashFolder();
    const auto homeMount = home.empty() ? std::nullopt : mountOfHomeTrash(home);
    if (!homeMount || !sameMount(*homeMount, *fileMount)) {
        return openTopFolderTrash(mountPointOf(folder));
    }
    TrashFolder trash;
    trash.folder = home;
    auto problem = makeFolders(home);
    if (!problem) {
        problem = openFilesAndInfo(&trash, false);
    }
    if (problem) {
        return NoTrashFolder{std::move(*problem), home};
    }
    return trash;
}

std::string homeTrashFolder() {
    // Relative paths in these variables are not valid and are ignored.
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && dataHome[0] == kPathSeparator) {
        return joinPath(dataHome, "Trash");
    }
    std::string home;
    if (const char* variable = std::getenv("HOME"); variable && variable[0] == kPathSeparator) {
        home = variable;
    } else {
        std::vector<char> buffer(16384);
        struct passwd entry {};
        struct passwd* found = nullptr;
        if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
            found->pw_dir && found->pw_dir[0] == kPathSeparator) {
            home = found->pw_dir;
        }
    }
    return home.empty() ? std::string() : joinPath(home, ".local/share/Trash");
}

} // namespace corvane::platform
