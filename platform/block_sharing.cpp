#include "platform/block_sharing.h"

#include "platform/unique_fd.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <vector>

namespace corvane::platform {

namespace {

SharingResult failure(SharingFailure kind, std::string reason, int64_t bytesShared = 0) {
    return {kind, std::move(reason), bytesShared};
}

// What an error of the sharing call means for the user.
SharingResult systemFailure(int error, int64_t bytesShared) {
    if (error == EOPNOTSUPP || error == ENOTTY || error == EINVAL || error == ENOSYS) {
        return failure(SharingFailure::NotSupported,
                       std::string("the file system does not share blocks between files (") +
                           std::strerror(error) + ")",
                       bytesShared);
    }
    if (error == EXDEV) {
        return failure(SharingFailure::OtherFileSystem, "on another mount than the copy that stays",
                       bytesShared);
    }
    return failure(SharingFailure::SystemError,
                   std::string("cannot share its blocks: ") + std::strerror(error), bytesShared);
}

// Opens `path` for reading, if it is the regular file `expected`.
SharingResult openExpected(const std::string& path, const FileInfo& expected, UniqueFd& fd, FileInfo& now) {
    fd = UniqueFd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd.isOpen()) {
        if (errno == ENOENT) {
            return failure(SharingFailure::Missing, "no longer there");
        }
        if (errno == ELOOP) {
            return failure(SharingFailure::NotAFile, "not a regular file");
        }
        return failure(SharingFailure::SystemError, std::string("cannot be opened: ") + std::strerror(errno));
    }
    const std::optional<FileInfo> info = lookupOpenFile(fd.get());
    if (!info || info->kind != EntryKind::RegularFile) {
        return failure(SharingFailure::NotAFile, "not a regular file");
    }
    if (identityOf(*info) != identityOf(expected)) {
        return failure(SharingFailure::Replaced, "replaced since it was checked");
    }
    now = *info;
    return {};
}

} // namespace

SharingResult shareBlocks(const std::string& path, const FileInfo& expected, const std::string& source,
                          const FileInfo& sourceExpected) {
    UniqueFd sourceFd;
    FileInfo sourceNow;
    if (SharingResult opened = openExpected(source, sourceExpected, sourceFd, sourceNow); !opened.shared()) {
        opened.reason = "the copy that stays: " + opened.reason;
        opened.failure =
            opened.failure == SharingFailure::SystemError ? opened.failure : SharingFailure::Replaced;
        return opened;
    }
    // Read access is enough: the kernel lets the owner (or whoever may write the file) share its blocks.
    UniqueFd fileFd;
    FileInfo fileNow;
    if (SharingResult opened = openExpected(path, expected, fileFd, fileNow); !opened.shared()) {
        return opened;
    }
    if (identityOf(fileNow) == identityOf(sourceNow)) {
        return failure(SharingFailure::SameFile, "already the same file as " + source);
    }
    if (fileNow.device != sourceNow.device) {
        return failure(SharingFailure::OtherFileSystem, "on another file system than " + source);
    }
    if (fileNow.size != sourceNow.size) {
        return failure(SharingFailure::Differs, "its size differs from that of " + source);
    }

    std::vector<unsigned char> request(sizeof(file_dedupe_range) + sizeof(file_dedupe_range_info));
    auto* range = reinterpret_cast<file_dedupe_range*>(request.data());
    int64_t shared = 0;
    for (int64_t offset = 0; offset < fileNow.size;) {
        std::fill(request.begin(), request.end(), 0);
        const int64_t length = std::min(kSharingPiece, fileNow.size - offset);
        range->src_offset = static_cast<uint64_t>(offset);
        range->src_length = static_cast<uint64_t>(length);
        range->dest_count = 1;
        range->info[0].dest_fd = fileFd.get();
        range->info[0].dest_offset = static_cast<uint64_t>(offset);
        if (::ioctl(sourceFd.get(), FIDEDUPERANGE, range) != 0) {
            return systemFailure(errno, shared);
        }
        const file_dedupe_range_info& answer = range->info[0];
        if (answer.status == FILE_DEDUPE_RANGE_DIFFERS) {
            return failure(SharingFailure::Differs,
                           "the kernel found bytes that differ from " + source + " after " +
                               std::to_string(offset) + " bytes",
                           shared);
        }
        if (answer.status < 0) {
            return systemFailure(-answer.status, shared);
        }
        shared += static_cast<int64_t>(answer.bytes_deduped);
        if (answer.bytes_deduped == 0) {
            break; // nothing more the file system will take
        }
        offset += static_cast<int64_t>(answer.bytes_deduped);
    }
    return {SharingFailure::None, {}, shared};
}

} // namespace corvane::platform
