#pragma once

#include "platform/file_info.h"
#include "platform/folder_handles.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <new>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace corvane::engine {

// Splits files of one size into classes of byte-for-byte identical contents. All files are read
// together chunk by chunk, a class splits wherever its members' bytes diverge, and a file stops
// being read as soon as no other file shares its bytes so far. The first block is read first,
// then the last one (files that differ only near their end part there), then the rest from front
// to back. Each byte of a file is read once, except in a class too wide for the memory budget
// (see kMemoryBudget) and for files that changed while they were read or just before. A file
// joins a class only if it was read through to its size and, after its last chunk, is what it was
// before its first (same size, modification and status-change time); one that changed is read
// once more from the start and joins no class if it changes again, and one written too recently
// for its times to prove anything is read twice (see content_classes.cpp). A file of size 0 is
// empty only if a read at its start finds the end. Memory stays within the budget whatever the
// file size.
class ContentClasses {
public:
    struct Result {
        // For each file, its class (files with equal numbers are identical), or -1 when no other
        // file has its contents or it could not be read.
        std::vector<int32_t> classOf;
        // What each file was when it was read (size, times, identity): for a file in a class,
        // what it still was after its last chunk.
        std::vector<platform::FileInfo> info;
        // False when a stop request cut the work short: only classes that had been compared to
        // their last byte are kept.
        bool complete = true;
        // Files the system would not open or read, by their place in the list, with its reason
        // (errno). Files that changed or are no regular files (any more) are not among them.
        std::vector<std::pair<uint32_t, int>> unreadable;
    };

    // What one thread reuses from one split to the next: the chunk buffer and the folders it
    // opened files in.
    class Workspace {
    public:
        // A buffer of at least `size` bytes, and of at most `limit` however it grows, that keeps
        // the bytes of the previous one. Throws std::bad_alloc when `size` is over `limit`.
        char* buffer(size_t size, size_t limit);
        size_t capacity() const { return capacity_; }

        platform::FolderHandles folders;
        // Told the number of bytes of each chunk of a member read whole, on the splitting thread:
        // the progress through a long run.
        std::function<void(int64_t bytes)> onBytesRead;

    private:
        // Page-aligned: the system copies file pages into a buffer that starts at a page's start
        // several times faster on some processors than into one that does not.
        static constexpr std::align_val_t kAlignment{4096};
        struct AlignedDelete {
            void operator()(char* bytes) const { ::operator delete[](bytes, kAlignment); }
        };
        std::unique_ptr<char[], AlignedDelete> buffer_;
        size_t capacity_ = 0;
    };

    // `stopRequested` is polled between chunks. `memoryBudget`: see kMemoryBudget; a split that
    // cannot keep within it (a budget below two bytes) fails with std::bad_alloc.
    explicit ContentClasses(std::function<bool()> stopRequested, size_t memoryBudget = kMemoryBudget);

    // Only regular files whose size is still `size` take part; anything else cannot be read and
    // joins no class. Safe to call from several threads at once, each with its own workspace.
    Result split(std::span<const char* const> paths, int64_t size, Workspace& workspace) const;
    Result split(const std::vector<const std::string*>& paths, int64_t size, Workspace& workspace) const;

    // Memory for the chunks of one class at a time, on each thread that splits. A class with more
    // members than this holds at the least chunk size is split by a digest of each member's chunk
    // first (read one member at a time), then checked byte for byte: such a chunk is read twice,
    // and once more for each round that members with equal digests but unequal bytes take to be
    // told apart.
    static constexpr size_t kMemoryBudget = 8u << 20;
    static constexpr size_t kLargestChunk = 64u << 10;
    static constexpr size_t kSmallestChunk = 4u << 10;
    // The first and the last block, read before the rest.
    static constexpr int64_t kEndBlock = 4u << 10;
    // Members of a class read together in chunks take turns on the disk. For files of at least
    // kReadAheadFrom bytes the system is asked to read each member's next kReadAhead bytes ahead
    // (in long runs, several requests in flight) rather than a chunk at a time, which on a cold
    // cache halves the time of comparing two large files.
    static constexpr int64_t kReadAheadFrom = 1 << 20;
    static constexpr int64_t kReadAhead = 8 << 20;
    // Members of a class kept open between chunks; more are opened again for each chunk.
    static constexpr size_t kMaxOpenFiles = 256;

private:
    std::function<bool()> stopRequested_;
    size_t memoryBudget_;
};

} // namespace corvane::engine
