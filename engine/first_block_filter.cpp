#include "engine/first_block_filter.h"

#include "engine/disk_threads.h"
#include "platform/file_reader.h"
#include "platform/folder_handles.h"
#include "platform/start_reads.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <exception>
#include <memory>
#include <string_view>
#include <thread>

namespace corvane::engine {

uint64_t blockDigest(const char* bytes, size_t length) {
    uint64_t h = 0x9e3779b97f4a7c15ull ^ length;
    size_t i = 0;
    for (; i + 8 <= length; i += 8) {
        uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        h = (h ^ word) * 0xff51afd7ed558ccdull;
        h ^= h >> 32;
    }
    for (; i < length; ++i) {
        h = (h ^ static_cast<unsigned char>(bytes[i])) * 0xc4ceb9fe1a85ec53ull;
    }
    return h ^ (h >> 29);
}

// No fstat: the size is told by the read (a file shorter than a block must end where its size
// says, so one byte more than its size is asked for; a larger one need only fill its first block,
// and whether it is still of its size is checked by the comparison), and an entry that is no
// longer a regular file fails at the read or, a device, is refused by the comparison. No read is
// longer than a block.
size_t firstLookLength(int64_t size) {
    const bool whole = size < static_cast<int64_t>(FirstBlockFilter::kFirstBlock);
    return whole ? static_cast<size_t>(std::max<int64_t>(size, 0)) + 1 : FirstBlockFilter::kFirstBlock;
}

FirstLook firstLookOf(int64_t size, int64_t bytesRead, const char* bytes, BlockDigest digest) {
    const bool whole = size < static_cast<int64_t>(FirstBlockFilter::kFirstBlock);
    const int64_t length = whole ? size : static_cast<int64_t>(FirstBlockFilter::kFirstBlock);
    if (size < 0 || bytesRead != length) {
        return kUncertainLook;
    }
    const uint64_t value = digest(bytes, static_cast<size_t>(length));
    // Two digests that were apart and now are one only keep more files in: never wrong.
    return value > kUncertainLook ? value : kUncertainLook + 1;
}

FirstLook lookAtFirstBlock(platform::FolderRelativeName where, int64_t size, char* buffer,
                           BlockDigest digest) {
    if (size < 0) {
        return kUncertainLook;
    }
    return firstLookOf(size, platform::readStartOf(where, buffer, firstLookLength(size)), buffer, digest);
}

namespace {

// Files handed to a thread at a time: few enough that, on a cold cache, the first threads soon
// tell that the files come from the disk and more threads join.
constexpr size_t kBatch = 64;
// Folders each thread holds open: its batches come folder by folder, so a few are enough, and
// many threads together must stay well within the process's limit of open files.
constexpr size_t kFoldersHeld = 16;

uint32_t folderKey(std::string_view path) {
    const size_t slash = path.rfind('/');
    const std::string_view folder(path.data(), slash == std::string_view::npos ? 0 : slash);
    return static_cast<uint32_t>(std::hash<std::string_view>{}(folder));
}

// Every member of a run of files that hold bytes, numbered run after run, with what the look at
// each found.
struct RunMembers {
    // Item `f` is member f - start[r] of run r; the last entry is the number of items.
    std::vector<size_t> start;
    std::vector<FirstLook> looks; // one per item

    explicit RunMembers(const std::vector<SizeRun>& runs) : start(runs.size() + 1, 0) {
        for (size_t r = 0; r < runs.size(); ++r) {
            start[r + 1] = start[r] + (runs[r].size > 0 ? runs[r].candidates.size() : 0);
        }
        looks.assign(count(), kNotLooked);
    }

    size_t count() const { return start.back(); }
    size_t runOf(size_t item) const {
        return static_cast<size_t>(std::upper_bound(start.begin(), start.end(), item) - start.begin()) - 1;
    }
};

// The items still to be read, in the order they are read in: by the reading order given, by the
// places where the list keeps its paths, or by a number of the file's folder, so that the files of
// one folder are read one after the other through one folder handle; in item order among equals.
// Each entry is the key in its upper half and the item in its lower one. Items looked at before
// (`earlierLooks`, as FirstBlockFilter::sift takes it) get that look and are not read again.
std::vector<uint64_t> orderReads(const OrderedPaths& paths, const std::vector<SizeRun>& runs,
                                 const std::vector<uint32_t>& readingOrder,
                                 const std::deque<FirstLook>& earlierLooks, RunMembers& members) {
    const bool ordered = readingOrder.size() == paths.size();
    const bool placed = !paths.order.empty();
    const bool lookedBefore = earlierLooks.size() == paths.paths.size();
    std::vector<uint64_t> order;
    for (size_t r = 0; r < runs.size(); ++r) {
        if (runs[r].size <= 0) {
            continue;
        }
        for (size_t m = 0; m < runs[r].candidates.size(); ++m) {
            const uint64_t item = members.start[r] + m;
            const uint32_t position = runs[r].candidates[m];
            if (lookedBefore) {
                members.looks[item] = earlierLooks[paths.place(position)];
                if (members.looks[item] != kNotLooked) {
                    continue;
                }
            }
            const uint32_t key = ordered  ? readingOrder[position]
                                 : placed ? paths.place(position)
                                          : folderKey(paths[position]);
            order.push_back(static_cast<uint64_t>(key) << 32 | item);
        }
    }
    std::sort(order.begin(), order.end());
    return order;
}

// Looks at the first block of each item of `order` (orderReads), in that order, on disk threads,
// and notes what each look found in `members.looks`. Returns false when `stopRequested` turned
// true.
bool readFirstBlocks(const FirstBlockFilter& filter, const OrderedPaths& paths,
                     const std::vector<SizeRun>& runs, const std::vector<uint64_t>& order,
                     RunMembers& members, const std::function<bool()>& stopRequested) {
    const size_t total = members.count();
    std::atomic<size_t> nextBatch{0};
    std::atomic<size_t> filesRead{total - order.size()};
    std::atomic<bool> stop{false};
    std::atomic<bool> reporting{false}; // one thread at a time tells the progress
    size_t reported = 0;                // the count last told; touched only while reporting
    const auto work = [&](DiskThreads& threadsAtWork) {
        // A batch goes to the system whole, each file by its whole path: the folder handles
        // kept for one file at a time could be given back before the batch is done.
        platform::StartReads reads(kBatch, FirstBlockFilter::kFirstBlock);
        platform::FolderHandles folders(kFoldersHeld);
        std::vector<platform::FolderRelativeName> wheres;
        std::vector<size_t> lengths;
        std::vector<size_t> items;
        std::vector<char> oneAtATime(FirstBlockFilter::kFirstBlock);
        for (;;) {
            const size_t from = nextBatch.fetch_add(kBatch);
            if (from >= order.size() || stop.load(std::memory_order_relaxed)) {
                return;
            }
            const size_t to = std::min(order.size(), from + kBatch);
            wheres.clear();
            lengths.clear();
            items.clear();
            for (size_t k = from; k < to; ++k) {
                const auto item = static_cast<size_t>(order[k] & 0xffffffffu);
                const size_t r = members.runOf(item);
                const SizeRun& run = runs[r];
                const char* path = paths.c_str(run.candidates[item - members.start[r]]);
                if (std::strlen(path) > platform::kLongestPath) {
                    // Opened piece by piece: one at a time.
                    members.looks[item] =
                        lookAtFirstBlock(folders.resolve(path), run.size, oneAtATime.data(), filter.digest);
                    continue;
                }
                wheres.push_back({platform::kCurrentFolder, path});
                lengths.push_back(firstLookLength(run.size));
                items.push_back(item);
            }
            reads.read(wheres, lengths, [&](size_t i, int64_t result, const char* bytes) {
                members.looks[items[i]] =
                    firstLookOf(runs[members.runOf(items[i])].size, result, bytes, filter.digest);
            });
            filesRead.fetch_add(to - from);
            threadsAtWork.pieceDone((order.size() - std::min(order.size(), to)) / kBatch >
                                    threadsAtWork.started());
            if (!reporting.exchange(true)) {
                if (stopRequested && stopRequested()) {
                    stop = true;
                }
                // The count as it stands: a thread that finished its batch first may come here
                // after one that finished later, and the count told never goes back.
                const size_t done = filesRead.load();
                if (filter.onProgress && done > reported) {
                    reported = done;
                    filter.onProgress(done, total);
                }
                reporting = false;
            }
        }
    };
    if (!order.empty()) {
        const unsigned initial = order.size() > kBatch ? std::max(1u, filter.threads) : 1u;
        DiskThreads readers(initial, std::max(initial, filter.mostThreads), [&](DiskThreads& threadsAtWork) {
            try {
                work(threadsAtWork);
            } catch (...) {
                stop = true; // the others end too; join() hands the failure on
                throw;
            }
        });
        readers.join();
    }
    if (stop) {
        return false;
    }
    if (filter.onProgress) {
        filter.onProgress(total, total);
    }
    return true;
}

// Within each run: members whose digest no other member shares leave it, unless a look at any
// member of the run was uncertain. Runs left with fewer than two members are removed.
void keepMembersWithTwins(std::vector<SizeRun>& runs, const RunMembers& members) {
    const std::vector<size_t>& start = members.start;
    const std::vector<FirstLook>& looks = members.looks;
    std::vector<std::pair<uint64_t, uint32_t>> byDigest;
    std::vector<bool> twin;
    size_t kept = 0;
    for (size_t r = 0; r < runs.size(); ++r) {
        SizeRun& run = runs[r];
        const size_t count = start[r + 1] - start[r];
        bool certain = true;
        for (size_t f = start[r]; f < start[r + 1]; ++f) {
            certain = certain && looks[f] > kUncertainLook;
        }
        if (count > 0 && certain) {
            byDigest.clear();
            for (size_t m = 0; m < count; ++m) {
                byDigest.emplace_back(looks[start[r] + m], static_cast<uint32_t>(m));
            }
            std::sort(byDigest.begin(), byDigest.end());
            twin.assign(count, false);
            for (size_t d = 0; d < count; ++d) {
                const bool sameAsBefore = d > 0 && byDigest[d - 1].first == byDigest[d].first;
                const bool sameAsNext = d + 1 < count && byDigest[d + 1].first == byDigest[d].first;
                twin[byDigest[d].second] = sameAsBefore || sameAsNext;
            }
            size_t out = 0;
            for (size_t m = 0; m < count; ++m) {
                if (twin[m]) {
                    run.candidates[out++] = run.candidates[m];
                }
            }
            run.candidates.resize(out);
            run.candidates.shrink_to_fit();
        }
        if (run.candidates.size() >= 2) {
            if (kept != r) {
                runs[kept] = std::move(run);
            }
            ++kept;
        }
    }
    runs.resize(kept);
}

} // namespace

bool FirstBlockFilter::sift(const OrderedPaths& paths, std::vector<SizeRun>& runs,
                            const std::function<bool()>& stopRequested,
                            const std::vector<uint32_t>& readingOrder,
                            const std::deque<FirstLook>& earlierLooks) const {
    RunMembers members(runs);
    if (members.count() == 0) {
        return true;
    }
    std::vector<uint64_t> order = orderReads(paths, runs, readingOrder, earlierLooks, members);
    if (!readFirstBlocks(*this, paths, runs, order, members, stopRequested)) {
        return false;
    }
    std::vector<uint64_t>().swap(order);
    keepMembersWithTwins(runs, members);
    return true;
}

} // namespace corvane::engine
