#pragma once

// A first look at the files of many runs of equal size before they are compared byte for byte:
// the first block of every file is read in an order that keeps the files of one folder together,
// and a file whose first block matches no other file of its run is left out of the comparison.

#include "engine/ordered_paths.h"
#include "engine/string_list.h"
#include "platform/folder_handles.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

namespace corvane::engine {

// Files of one size that may be compared: where the run starts in the list, the size, and the
// positions of its members.
struct SizeRun {
    size_t first = 0;
    int64_t size = 0;
    std::vector<uint32_t> candidates;
};

// A digest of a block of bytes. Equal digests prove nothing; unequal ones prove the bytes differ.
using BlockDigest = uint64_t (*)(const char* bytes, size_t length);
uint64_t blockDigest(const char* bytes, size_t length);

// What a look at a file's first block found, in one number: not looked at yet, uncertain (see
// FirstBlockFilter), or the digest of the block, which is never one of those two values.
using FirstLook = uint64_t;
inline constexpr FirstLook kNotLooked = 0;
inline constexpr FirstLook kUncertainLook = 1;

// Looks at the first block of the file at `where`, expected to be `size` bytes: reads up to
// FirstBlockFilter::kFirstBlock bytes (the whole file when it is smaller, plus one byte to see
// that it ends there) into `buffer`, which holds kFirstBlock bytes. Uncertain when the file
// cannot be opened or read, or is not as long as `size` says (as far as one block shows).
FirstLook lookAtFirstBlock(platform::FolderRelativeName where, int64_t size, char* buffer,
                           BlockDigest digest = blockDigest);
// The same in two steps, for files read in batches (platform::StartReads): how many bytes to read
// from the start of a file of `size` bytes, and what the look found given what was read
// (`bytesRead` as readStartOf returns it).
size_t firstLookLength(int64_t size);
FirstLook firstLookOf(int64_t size, int64_t bytesRead, const char* bytes, BlockDigest digest = blockDigest);

// Takes out of each run the members whose first block (up to kFirstBlock bytes, the whole file
// when it is that small) has a digest no other member of the run has: such a file holds bytes
// no other file of its run holds, so it joins no class. Runs left with fewer than two members
// are removed. Only what was read cleanly leaves a run: when a member cannot be opened, is not
// of the run's size or not a regular file, its whole run stays as it was, for the comparison to
// decide. The members that stay are compared byte for byte afterwards, read again from their
// start: a file changed since this look is seen there.
//
// Opening a file costs most when its folders have to be looked up from the root, and the files of
// a run of equal size come from folders all over the tree. Here every file of every run is
// opened once, folder by folder, relative to its open folder; the comparison that follows opens
// only the files whose first block has a twin. The work starts on `threads` threads and takes
// more while the files have to come from the disk (see DiskThreads). Returns false, leaving the
// runs as they were, when `stopRequested` turned true.
struct FirstBlockFilter {
    static constexpr size_t kFirstBlock = 4u << 10;

    BlockDigest digest = blockDigest; // tests give one that collides
    unsigned threads = 2;
    unsigned mostThreads = 32;
    // Told the number of files read so far and how many there are to read, now and then, from
    // one of the threads.
    std::function<void(size_t filesRead, size_t fileCount)> onProgress;

    // `readingOrder`: empty, or a number per position of `paths` in whose ascending order the files
    // are read: the order in which the scan found them, folder by folder, is the best known. When
    // empty, the files are read in the order of their places in `paths.paths` when the list has
    // an order of its own (a search keeps its paths in the order found), else the files of one
    // folder one after the other, folders in no order. `earlierLooks`: empty, or one look per
    // entry of `paths.paths`, taken before (while the scan went on); files looked at then are not
    // read again.
    bool sift(const OrderedPaths& paths, std::vector<SizeRun>& runs,
              const std::function<bool()>& stopRequested, const std::vector<uint32_t>& readingOrder = {},
              const std::deque<FirstLook>& earlierLooks = {}) const;
    bool sift(const StringList& paths, std::vector<SizeRun>& runs, const std::function<bool()>& stopRequested,
              const std::vector<uint32_t>& readingOrder = {}) const {
        const std::vector<uint32_t> asListed;
        return sift(OrderedPaths{paths, asListed}, runs, stopRequested, readingOrder);
    }
};

} // namespace corvane::engine
