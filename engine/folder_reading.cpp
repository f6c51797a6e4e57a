#include "engine/folder_reading.h"

#include "engine/disk_threads.h"
#include "engine/folder_walk.h"
#include "platform/start_reads.h"
#include "platform/trash_folders.h"
#include "platform/wildcard.h"

#include <algorithm>
#include <cerrno>

namespace corvane::engine {

using platform::EntryKind;

namespace {

// Which entries of a listing just read a search leaves out (none of "." and "..").
std::vector<bool> entriesLeftOut(const std::string& path, const platform::FolderListing& listing,
                                 const EntryFilter& leaveOut, uint64_t device) {
    const std::vector<platform::FolderEntry>& entries = listing.entries();
    std::vector<bool> leftOut(entries.size(), false);
    std::string entryPath = path;
    for (size_t i = 0; i < entries.size(); ++i) {
        const platform::FolderEntry& entry = entries[i];
        if (entry.name == "." || entry.name == "..") {
            continue;
        }
        entryPath.resize(path.size());
        entryPath += entry.name;
        if (leaveOut && leaveOut(entryPath, entry.kind)) {
            leftOut[i] = true;
        } else if (device != 0 && entry.kind == EntryKind::Directory) {
            const std::optional<platform::FileInfo> info = listing.details(entry);
            leftOut[i] = info && info->device != device;
        }
    }
    return leftOut;
}

// Marks the trash folders among the subfolders of a listing just read as left out, and notes
// their paths in `folder`.
void leaveOutTrashFolders(const platform::FolderListing& listing, std::vector<bool>& leftOut,
                          ScannedFolder& folder) {
    const std::vector<platform::FolderEntry>& entries = listing.entries();
    for (size_t i = 0; i < entries.size(); ++i) {
        const platform::FolderEntry& entry = entries[i];
        if (entry.kind != EntryKind::Directory || !platform::mayBeTrashFolderName(entry.name) ||
            (!leftOut.empty() && leftOut[i]) || !platform::isTrashFolder(listing.handle(), entry.name)) {
            continue;
        }
        if (leftOut.empty()) {
            leftOut.assign(entries.size(), false);
        }
        leftOut[i] = true;
        folder.trashFolders.push_back(folder.path + entry.name);
    }
}

// Lists the folder `path` into `folder` and `listing`, without the entries a search leaves out,
// and notes in `wanted` the entries whose details the file pass needs: those that `pattern` takes,
// that are no system entry, nor "." or "..". Their details are not looked up yet.
void listFolder(const std::string& path, const std::string& pattern, platform::FolderRelativeName where,
                const EntryFilter& leaveOut, uint64_t device, ScannedFolder& folder,
                platform::FolderListing& listing, std::vector<uint32_t>& wanted) {
    folder.path = path;
    errno = 0;
    if (!listing.open(where)) {
        folder.error = errno;
        return;
    }
    folder.listed = true;
    folder.identity = {listing.device(), listing.inode()};
    std::vector<bool> leftOut;
    if (leaveOut || device != 0) {
        leftOut = entriesLeftOut(path, listing, leaveOut, device);
    }
    leaveOutTrashFolders(listing, leftOut, folder);
    folder.entries = listing.takeEntries();
    if (!leftOut.empty()) {
        size_t kept = 0;
        for (size_t i = 0; i < leftOut.size(); ++i) {
            if (!leftOut[i]) {
                if (kept != i) {
                    folder.entries[kept] = std::move(folder.entries[i]);
                }
                ++kept;
            }
        }
        folder.entries.resize(kept);
    }
    folder.details.resize(folder.entries.size());
    const bool everything = platform::matchesEverything(pattern);
    for (size_t i = 0; i < folder.entries.size(); ++i) {
        const platform::FolderEntry& entry = folder.entries[i];
        if (entry.kind == EntryKind::Other || entry.name == "." || entry.name == ".." ||
            !(everything || platform::matchesPattern(pattern, entry.name))) {
            continue;
        }
        wanted.push_back(static_cast<uint32_t>(i));
    }
}

} // namespace

ScannedFolder readFolder(const std::string& path, const std::string& pattern,
                         platform::FolderRelativeName where, const EntryFilter& leaveOut, uint64_t device) {
    ScannedFolder folder;
    platform::FolderListing listing;
    std::vector<uint32_t> wanted;
    listFolder(path, pattern, where, leaveOut, device, folder, listing, wanted);
    for (uint32_t i : wanted) {
        folder.details[i] = listing.details(folder.entries[i]);
    }
    return folder;
}

FolderReadAhead::FolderReadAhead(const std::vector<ScanPass>& passes, bool recursive, EntryFilter leaveOut,
                                 FirstLookAhead lookAhead, unsigned lookupThreads)
    : lookAhead_(lookAhead) {
    lookups_ =
        std::make_unique<DiskThreads>(lookupThreads, std::max(lookupThreads, DiskThreads::kMostThreads),
                                      [this](DiskThreads& threads) { lookUp(threads); });
    try {
        listing_ = std::thread(
            [this, passes, recursive, leaveOut = std::move(leaveOut)] { list(passes, recursive, leaveOut); });
    } catch (...) {
        end();
        lookups_.reset();
        throw;
    }
}

FolderReadAhead::~FolderReadAhead() {
    {
        std::lock_guard lock(mutex_);
        abandoned_ = true;
    }
    workCame_.notify_all();
    frontDone_.notify_all();
    roomFreed_.notify_all();
    listing_.join();
    lookups_.reset(); // waits for the lookup threads
}

void FolderReadAhead::list(const std::vector<ScanPass>& passes, bool recursive, const EntryFilter& leaveOut) {
    bool failed = false;
    try {
        // The walk visits each folder right after reading it: what the lookups need of it besides
        // the ScannedFolder waits here in between.
        Pending next;
        for (const ScanPass& pass : passes) {
            if (pass.isFile) {
                continue;
            }
            const auto read = [&](const std::string& path, platform::FolderRelativeName where) {
                next = Pending{};
                next.listing = std::make_unique<platform::FolderListing>();
                listFolder(path, pass.pattern, where, leaveOut, pass.device, next.folder, *next.listing,
                           next.wanted);
                return std::move(next.folder);
            };
            const auto visit = [&](ScannedFolder& folder, bool, bool) {
                next.folder = std::move(folder);
                return push(std::move(next));
            };
            if (!FolderWalk(recursive).walk(pass.root, read, visit, [] { return true; })) {
                break;
            }
        }
    } catch (...) {
        // Out of memory, most likely: the scanner reads the remaining folders itself, and meets
        // the failure there if it is still short of memory.
        failed = true;
    }
    {
        std::lock_guard lock(mutex_);
        (failed ? failed_ : listed_) = true;
    }
    workCame_.notify_all();
    frontDone_.notify_all();
}

void FolderReadAhead::end() {
    {
        std::lock_guard lock(mutex_);
        failed_ = true;
    }
    workCame_.notify_all();
    frontDone_.notify_all();
    roomFreed_.notify_all();
}

bool FolderReadAhead::push(Pending pending) {
    std::unique_lock lock(mutex_);
    roomFreed_.wait(lock, [&] {
        return abandoned_ || failed_ || (queue_.size() < kMaxFolders && queuedEntries_ < kMaxEntries) ||
               queue_.empty();
    });
    if (abandoned_ || failed_) {
        return false;
    }
    pending.piecesLeft = (pending.wanted.size() + kPiece - 1) / kPiece;
    if (pending.piecesLeft == 0) {
        pending.listing.reset();
    } else if (lookAhead_.enabled) {
        pending.folder.looks.assign(pending.folder.entries.size(), kNotLooked);
    }
    const size_t pieces = pending.piecesLeft;
    const bool front = queue_.empty();
    queuedEntries_ += pending.folder.entries.size();
    queue_.push_back(std::move(pending));
    lock.unlock();
    for (size_t p = 0; p < pieces; ++p) {
        workCame_.notify_one();
    }
    if (front && pieces == 0) {
        frontDone_.notify_one();
    }
    return true;
}

void FolderReadAhead::lookUp(DiskThreads& threads) {
    std::unique_ptr<platform::StartReads> reads;
    if (lookAhead_.enabled) {
        reads = std::make_unique<platform::StartReads>(kPiece, FirstBlockFilter::kFirstBlock);
    }
    for (;;) {
        Pending* pending = nullptr;
        size_t from = 0;
        size_t to = 0;
        bool waiting = false;
        {
            std::unique_lock lock(mutex_);
            const auto skipHandedOut = [&] {
                while (firstUnclaimed_ < queue_.size() && queue_[firstUnclaimed_].piecesHandedOut * kPiece >=
                                                              queue_[firstUnclaimed_].wanted.size()) {
                    ++firstUnclaimed_;
                }
            };
            workCame_.wait(lock, [&] {
                skipHandedOut();
                return abandoned_ || failed_ || listed_ || firstUnclaimed_ < queue_.size();
            });
            if (abandoned_ || failed_ || firstUnclaimed_ >= queue_.size()) {
                return; // nothing more comes
            }
            pending = &queue_[firstUnclaimed_];
            from = pending->piecesHandedOut++ * kPiece;
            to = std::min(pending->wanted.size(), from + kPiece);
            skipHandedOut();
            waiting = firstUnclaimed_ < queue_.size();
        }
        try {
            lookUpPiece(*pending, from, to, reads.get());
        } catch (...) {
            // Out of memory, most likely: the folder can no longer go to the walk whole, so no
            // folder goes any more, and the scanner reads them itself.
            end();
            return;
        }
        bool frontDone = false;
        {
            std::lock_guard lock(mutex_);
            if (--pending->piecesLeft == 0) {
                pending->listing.reset();
                frontDone = pending == &queue_.front();
            }
        }
        if (frontDone) {
            frontDone_.notify_one();
        }
        threads.pieceDone(waiting);
    }
}

void FolderReadAhead::lookUpPiece(Pending& pending, size_t from, size_t to, platform::StartReads* reads) {
    ScannedFolder& folder = pending.folder;
    for (size_t k = from; k < to; ++k) {
        const uint32_t i = pending.wanted[k];
        folder.details[i] = pending.listing->details(folder.entries[i]);
    }
    if (!lookAhead_.enabled) {
        return;
    }
    // Which files of the piece have a size met before: one lock for the piece.
    std::vector<uint32_t> toRead;
    {
        std::lock_guard lock(sizesMutex_);
        for (size_t k = from; k < to; ++k) {
            const uint32_t i = pending.wanted[k];
            const std::optional<platform::FileInfo>& info = folder.details[i];
            if (!info || info->size < lookAhead_.minSize || info->size > lookAhead_.maxSize) {
                continue;
            }
            if (info->kind == EntryKind::Directory) {
                folder.looks[i] = kUncertainLook; // a folder reported as a file is never read
            } else if (info->kind == EntryKind::RegularFile && !sizesSeen_.insert(info->size).second) {
                toRead.push_back(i);
            }
        }
    }
    // The piece's files are read together, each by its name in the folder the listing holds open.
    std::vector<platform::FolderRelativeName> wheres;
    std::vector<size_t> lengths;
    for (uint32_t i : toRead) {
        wheres.push_back({pending.listing->handle(), folder.entries[i].name.c_str()});
        lengths.push_back(firstLookLength(folder.details[i]->size));
    }
    reads->read(wheres, lengths, [&](size_t k, int64_t result, const char* bytes) {
        const uint32_t i = toRead[k];
        folder.looks[i] = firstLookOf(folder.details[i]->size, result, bytes, lookAhead_.digest);
    });
}

std::optional<ScannedFolder> FolderReadAhead::next() {
    std::unique_lock lock(mutex_);
    frontDone_.wait(lock, [&] {
        return failed_ || (!queue_.empty() && queue_.front().piecesLeft == 0) || (listed_ && queue_.empty());
    });
    if (failed_ || queue_.empty()) {
        return std::nullopt;
    }
    ScannedFolder folder = std::move(queue_.front().folder);
    queue_.pop_front();
    if (firstUnclaimed_ > 0) {
        --firstUnclaimed_;
    }
    queuedEntries_ -= folder.entries.size();
    lock.unlock();
    roomFreed_.notify_one();
    return folder;
}

} // namespace corvane::engine
