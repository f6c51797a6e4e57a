#include "platform/folder_handles.h"

#include "platform/file_info.h"

#include <algorithm>
#include <atomic>
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

// The folder handles all instances may hold together: most of the process's file handles are
// left to everything else, however many threads each keep folders open.
size_t budgetOfTheProcess() {
    static const size_t budget = [] {
        rlimit limit{};
        if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
            return static_cast<size_t>(limit.rlim_cur / 8);
        }
        return FolderHandles::kDefaultCapacity;
    }();
    return budget;
}

std::atomic<size_t> heldByAll{0};

size_t affordableCapacity(size_t wanted) {
    return std::min(wanted, budgetOfTheProcess());
}

// Takes one handle of the process's budget; false when it is spent.
bool takeFromBudget() {
    size_t held = heldByAll.load(std::memory_order_relaxed);
    while (held < budgetOfTheProcess()) {
        if (heldByAll.compare_exchange_weak(held, held + 1, std::memory_order_relaxed)) {
            return true;
        }
    }
    return false;
}

} // namespace

size_t FolderHandles::processBudget() {
    return budgetOfTheProcess();
}

FolderHandles::FolderHandles(size_t capacity) : capacity_(affordableCapacity(capacity)) {}

FolderHandles::~FolderHandles() {
    for (const auto& [folder, entry] : entries_) {
        ::close(entry.fd);
    }
    heldByAll.fetch_sub(entries_.size(), std::memory_order_relaxed);
}

bool FolderHandles::admitting() {
    if (lookups_ >= kWindow) {
        admit_ = hits_ * 4 >= lookups_ * kLeastHitsPerQuarter;
        lookups_ = 0;
        hits_ = 0;
    }
    return admit_ || entries_.size() < capacity_ || lookups_ % kTrialEvery == 0;
}

FolderRelativeName FolderHandles::resolve(const char* pathText) {
    const std::string_view path(pathText);
    const size_t slash = path.rfind(kPathSeparator);
    const bool tooLong = path.size() > kLongestPath;
    if (slash == std::string_view::npos || slash + 1 == path.size() || (capacity_ == 0 && !tooLong)) {
        return {kCurrentFolder, pathText};
    }
    const std::string_view folder(path.data(), slash + 1);
    const char* name = pathText + slash + 1;
    if (capacity_ > 0) {
        ++lookups_;
        if (const auto found = entries_.find(folder); found != entries_.end()) {
            ++hits_;
            lru_.splice(lru_.begin(), lru_, found->second.lru);
            return {found->second.fd, name};
        }
    }
    // A new folder is held in place of the least recently used one when this instance is full, or
    // when all instances together hold as many as the process may.
    bool hold = capacity_ > 0 && admitting();
    bool replace = hold && entries_.size() >= capacity_;
    if (hold && !replace && !takeFromBudget()) {
        replace = !entries_.empty();
        hold = replace;
    }
    if (!hold && !tooLong) {
        return {kCurrentFolder, pathText};
    }
    UniqueFd opened = openFolderHandle(std::string(folder));
    if (!opened.isOpen()) {
        if (hold && !replace) {
            heldByAll.fetch_sub(1, std::memory_order_relaxed);
        }
        return {kCurrentFolder, pathText};
    }
    if (!hold) {
        unheld_ = std::move(opened);
        return {unheld_.get(), name};
    }
    if (replace) {
        const auto oldest = entries_.find(lru_.back());
        ::close(oldest->second.fd);
        entries_.erase(oldest);
        lru_.pop_back();
    }
    lru_.emplace_front(folder);
    const int fd = opened.release();
    entries_.emplace(lru_.front(), Entry{fd, lru_.begin()});
    return {fd, name};
}

UniqueFd openFolderHandle(FolderRelativeName where) {
    return UniqueFd(::openat(where.folderFd, where.name, O_PATH | O_DIRECTORY | O_CLOEXEC));
}

UniqueFd openFolderHandle(const std::string& path) {
    UniqueFd folder;
    int from = kCurrentFolder;
    size_t start = 0;
    while (path.size() - start > kLongestPath) {
        // The longest piece the system takes whole that ends at a separator.
        const size_t cut = path.rfind(kPathSeparator, start + kLongestPath - 1);
        if (cut == std::string::npos || cut < start) {
            return UniqueFd(); // one name longer than any path
        }
        const std::string piece = path.substr(start, cut + 1 - start);
        UniqueFd next = openFolderHandle(FolderRelativeName{from, piece.c_str()});
        if (!next.isOpen()) {
            return UniqueFd();
        }
        folder = std::move(next);
        from = folder.get();
        start = cut + 1;
    }
    return openFolderHandle(FolderRelativeName{from, path.c_str() + start});
}

FolderRelativeName locatePath(const std::string& path, UniqueFd& folder) {
    if (path.size() <= kLongestPath) {
        return {kCurrentFolder, path.c_str()};
    }
    // A separator at the very end belongs to the last name ("folder/" names the folder).
    const size_t slash = path.rfind(kPathSeparator, path.size() - 2);
    if (slash == std::string::npos) {
        return {kCurrentFolder, path.c_str()};
    }
    folder = openFolderHandle(path.substr(0, slash + 1));
    if (!folder.isOpen()) {
        return {kCurrentFolder, path.c_str()}; // fails as the whole path would
    }
    return {folder.get(), path.c_str() + slash + 1};
}

} // namespace corvane::platform
