#include "platform/block_sharing.h"

#include "platform/reason_texts.h"
#include "platform/unique_fd.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/fiemap.h>
#include <linux/fs.h>
#include <optional>
#include <sys/ioctl.h>
#include <sys/vfs.h>
#include <vector>

namespace corvane::platform {

namespace {

SharingResult failure(SharingFailure kind, Reason reason, int64_t bytesShared = 0) {
    return {kind, std::move(reason), bytesShared};
}

// The reason openExpected gave, said of the copy that stays.
Reason ofKeeper(const Reason& reason) {
    const char* code = reason.code();
    if (code == kReasonGone) {
        return kReasonKeeperMissing;
    }
    if (code == kReasonNotAFile) {
        return kReasonKeeperNotAFile;
    }
    if (code == kReasonReplaced) {
        return kReasonKeeperReplacedSince;
    }
    return Reason(kReasonKeeperCannotOpen, {}, {}, reason.error());
}

// What an error of the sharing call means for the user.
SharingResult systemFailure(int error, int64_t bytesShared) {
    if (error == EOPNOTSUPP || error == ENOTTY || error == EINVAL || error == ENOSYS) {
        return failure(SharingFailure::NotSupported, Reason(kReasonNoBlockSharing, {}, {}, error),
                       bytesShared);
    }
    if (error == EXDEV) {
        return failure(SharingFailure::OtherFileSystem, kReasonOtherMountThanKeeper, bytesShared);
    }
    return failure(SharingFailure::SystemError, Reason(kReasonCannotShare, {}, {}, error), bytesShared);
}

// Opens `path` for reading, if it is the regular file `expected`.
SharingResult openExpected(const std::string& path, const FileInfo& expected, UniqueFd& fd, FileInfo& now) {
    fd = UniqueFd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd.isOpen()) {
        if (errno == ENOENT) {
            return failure(SharingFailure::Missing, kReasonGone);
        }
        if (errno == ELOOP) {
            return failure(SharingFailure::NotAFile, kReasonNotAFile);
        }
        return failure(SharingFailure::SystemError, Reason(kReasonCannotOpen, {}, {}, errno));
    }
    const std::optional<FileInfo> info = lookupOpenFile(fd.get());
    if (!info || info->kind != EntryKind::RegularFile) {
        return failure(SharingFailure::NotAFile, kReasonNotAFile);
    }
    if (identityOf(*info) != identityOf(expected)) {
        return failure(SharingFailure::Replaced, kReasonReplaced);
    }
    now = *info;
    return {};
}

// One extent of a file: where its bytes lie on the disk.
struct Extent {
    uint64_t logical = 0;
    uint64_t physical = 0;
    uint64_t length = 0;
};

// The extents of the file open as `fd` whose place on the disk is known; nothing when the file
// system cannot tell.
std::optional<std::vector<Extent>> extentsOf(int fd) {
    constexpr size_t kBatch = 256;
    std::vector<unsigned char> buffer(sizeof(fiemap) + kBatch * sizeof(fiemap_extent));
    std::vector<Extent> extents;
    uint64_t start = 0;
    for (;;) {
        std::fill(buffer.begin(), buffer.end(), 0);
        auto* map = reinterpret_cast<fiemap*>(buffer.data());
        map->fm_start = start;
        map->fm_length = FIEMAP_MAX_OFFSET - start;
        map->fm_extent_count = kBatch;
        if (::ioctl(fd, FS_IOC_FIEMAP, map) != 0) {
            return std::nullopt;
        }
        if (map->fm_mapped_extents == 0) {
            return extents;
        }
        for (uint32_t i = 0; i < map->fm_mapped_extents; ++i) {
            const fiemap_extent& extent = map->fm_extents[i];
            constexpr uint32_t kPlaceUnknown = FIEMAP_EXTENT_UNKNOWN | FIEMAP_EXTENT_DELALLOC |
                                               FIEMAP_EXTENT_ENCODED | FIEMAP_EXTENT_NOT_ALIGNED |
                                               FIEMAP_EXTENT_DATA_INLINE | FIEMAP_EXTENT_DATA_TAIL;
            if (!(extent.fe_flags & kPlaceUnknown)) {
                extents.push_back({extent.fe_logical, extent.fe_physical, extent.fe_length});
            }
            start = extent.fe_logical + extent.fe_length;
            if (extent.fe_flags & FIEMAP_EXTENT_LAST) {
                return extents;
            }
        }
    }
}

// The bytes that the two files already keep in the same blocks at the same offsets: sharing them
// again reclaims nothing.
int64_t bytesAlreadyShared(int fileFd, int sourceFd) {
    const auto file = extentsOf(fileFd);
    const auto source = file ? extentsOf(sourceFd) : std::nullopt;
    if (!file || !source) {
        return 0;
    }
    uint64_t shared = 0;
    size_t j = 0;
    for (const Extent& a : *file) {
        while (j < source->size() && (*source)[j].logical + (*source)[j].length <= a.logical) {
            ++j;
        }
        for (size_t k = j; k < source->size() && (*source)[k].logical < a.logical + a.length; ++k) {
            const Extent& b = (*source)[k];
            if (a.physical - a.logical != b.physical - b.logical) {
                continue;
            }
            const uint64_t from = std::max(a.logical, b.logical);
            const uint64_t to = std::min(a.logical + a.length, b.logical + b.length);
            shared += to > from ? to - from : 0;
        }
    }
    return static_cast<int64_t>(shared);
}

} // namespace

SharingResult shareBlocks(const std::string& path, const FileInfo& expected, const std::string& source,
                          const FileInfo& sourceExpected) {
    UniqueFd sourceFd;
    FileInfo sourceNow;
    if (SharingResult opened = openExpected(source, sourceExpected, sourceFd, sourceNow); !opened.shared()) {
        opened.reason = ofKeeper(opened.reason);
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
        return failure(SharingFailure::SameFile, Reason(kReasonAlreadySameFileAs, source));
    }
    if (fileNow.device != sourceNow.device) {
        return failure(SharingFailure::OtherFileSystem, Reason(kReasonOtherFileSystemThan, source));
    }
    if (fileNow.size != sourceNow.size) {
        return failure(SharingFailure::Differs, Reason(kReasonSizeDiffersFrom, source));
    }

    const int64_t sharedBefore = std::min(bytesAlreadyShared(fileFd.get(), sourceFd.get()), fileNow.size);
    if (fileNow.size > 0 && sharedBefore == fileNow.size) {
        return failure(SharingFailure::AlreadyShared, Reason(kReasonAlreadySharedWith, source));
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
                           Reason(kReasonKernelFoundDifference, source, std::to_string(offset)), shared);
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
    // The kernel counts the bytes it compared; those shared before were not reclaimed now.
    return {SharingFailure::None, {}, std::max<int64_t>(0, shared - sharedBefore)};
}

bool fileSystemMayShareBlocks(const std::string& path) {
    struct statfs fs {};
    if (::statfs(path.c_str(), &fs) != 0) {
        return false;
    }
    // The types' numbers, as linux/magic.h gives them.
    constexpr unsigned long kXfs = 0x58465342;
    constexpr unsigned long kBtrfs = 0x9123683E;
    constexpr unsigned long kOcfs2 = 0x7461636F;
    constexpr unsigned long kBcachefs = 0xCA451A4E;
    const auto type = static_cast<unsigned long>(fs.f_type);
    return type == kXfs || type == kBtrfs || type == kOcfs2 || type == kBcachefs;
}

} // namespace corvane::platform
