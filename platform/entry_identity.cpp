#include "platform/entry_identity.h"

#include "platform/file_info.h"

namespace corvane::platform {

std::optional<EntryIdentity> entryIdentityOf(const std::string& path) {
    size_t end = path.size();
    while (end > 1 && path[end - 1] == kPathSeparator) {
        --end;
    }
    const size_t slash = path.rfind(kPathSeparator, end - 1);
    std::string folder;
    if (slash == std::string::npos) {
        folder = ".";
    } else {
        folder = path.substr(0, slash == 0 ? 1 : slash);
    }
    const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1, end - (slash + 1));
    // The folder itself is followed: a linked folder holds the entries of the folder it names.
    std::optional<FileInfo> info = lookupFile(folder + "/.");
    if (!info) {
        return std::nullopt;
    }
    return EntryIdentity{info->device, info->inode, name};
}

} // namespace corvane::platform
