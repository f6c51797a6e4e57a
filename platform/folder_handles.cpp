#include "platform/folder_handles.h"

#include "platform/file_info.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace corvane::platform {

namespace {

static_assert(kCurrentFolder == AT_FDCWD);

// Lookups over which the share of hits is judged, and the least share that keeps folders coming in.
constexpr uint32_t kWindow = 4096;
// A folder opened and given back again costs about what resolving a whole path costs, so holding
// folders pays only when most lookups find their folder held.
constexpr uint32_t kLeastHitsPerQuarter = 2;
// While folders are not coming in, one miss in this many is held all the same, so that a new run
// of files from few folders is noticed.
constexpr uint32_t kTrialEvery = 16;

size_t affordableCapacity(size_t wanted) {
    // Leave most of the process's file handles to everything else.
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        wanted = std::min<size_t>(wanted, static_cast<size_t>(limit.rlim_cur / 8));
    }
    return wanted;
}

} // namespace

FolderHandles::FolderHandles(size_t capacity) : capacity_(affordableCapacity(capacity)) {}

FolderHandles::~FolderHandles() {
    for (const auto& [folder, entry] : entries_) {
        ::close(entry.fd);
    }
}

bool FolderHandles::admitting() {
    if (lookups_ >= kWindow) {
        admit_ = hits_ * 4 >= lookups_ * kLeastHitsPerQuarter;
        lookups_ = 0;
        hits_ = 0;
    }
    return admit_ || entries_.size() < capacity_ || lookups_ % kTrialEvery == 0;
}

FolderRelativeName FolderHandles::resolve(const std::string& path) {
    const size_t slash = path.rfind(kPathSeparator);
    if (capacity_ == 0 || slash == std::string::npos || slash + 1 == path.size()) {
        return {kCurrentFolder, path.c_str()};
    }
    const std::string_view folder(path.data(), slash + 1);
    const char* name = path.c_str() + slash + 1;
    ++lookups_;
    if (const auto found = entries_.find(folder); found != entries_.end()) {
        ++hits_;
        lru_.splice(lru_.begin(), lru_, found->second.lru);
        return {found->second.fd, name};
    }
    if (!admitting()) {
        return {kCurrentFolder, path.c_str()};
    }
    const int fd = ::open(std::string(folder).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return {kCurrentFolder, path.c_str()};
    }
    if (entries_.size() >= capacity_) {
        const auto oldest = entries_.find(lru_.back());
        ::close(oldest->second.fd);
        entries_.erase(oldest);
        lru_.pop_back();
    }
    lru_.emplace_front(folder);
    entries_.emplace(lru_.front(), Entry{fd, lru_.begin()});
    return {fd, name};
}

} // namespace corvane::platform
