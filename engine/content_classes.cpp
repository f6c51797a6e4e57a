#include "engine/content_classes.h"

#include "platform/file_reader.h"

#include <algorithm>
#include <cstring>

namespace corvane::engine {

using platform::FileReader;

namespace {

// A set of files whose first `offset` bytes in reading order are known to be equal.
struct Group {
    std::vector<uint32_t> members;
    int64_t offset = 0;
};

// The order in which the bytes of a file are read: the first block, the last block, then the
// bytes between them from front to back. A position in that order maps to a place in the file.
struct ReadStep {
    int64_t fileOffset;
    size_t length;
};

ReadStep readStep(int64_t size, int64_t position, size_t longest) {
    const int64_t headEnd = std::min(size, ContentClasses::kEndBlock);
    const int64_t tailStart = std::max(headEnd, size - ContentClasses::kEndBlock);
    const int64_t tailLength = size - tailStart;
    int64_t fileOffset, segmentEnd;
    if (position < headEnd) {
        fileOffset = position;
        segmentEnd = headEnd;
    } else if (position < headEnd + tailLength) {
        fileOffset = tailStart + (position - headEnd);
        segmentEnd = size;
    } else {
        fileOffset = position - tailLength;
        segmentEnd = tailStart;
    }
    return {fileOffset,
            static_cast<size_t>(std::min<int64_t>(segmentEnd - fileOffset, static_cast<int64_t>(longest)))};
}

bool sameFileAsBefore(const platform::FileInfo& now, const platform::FileInfo& before) {
    return now.device == before.device && now.inode == before.inode && now.size == before.size &&
           now.modificationTimeNs == before.modificationTimeNs;
}

} // namespace

char* ContentClasses::Workspace::buffer(size_t size) {
    if (size > capacity_) {
        // Grows by half again at least, keeping what the buffer holds.
        const size_t grown = std::max(size, capacity_ + capacity_ / 2);
        auto larger = std::make_unique_for_overwrite<char[]>(grown);
        if (capacity_ > 0) {
            std::memcpy(larger.get(), buffer_.get(), capacity_);
        }
        buffer_ = std::move(larger);
        capacity_ = grown;
    }
    return buffer_.get();
}

ContentClasses::ContentClasses(std::function<bool()> stopRequested)
    : stopRequested_(std::move(stopRequested)) {}

ContentClasses::Result ContentClasses::split(const std::vector<const std::string*>& paths, int64_t size,
                                             Workspace& workspace) const {
    const size_t count = paths.size();
    Result result;
    result.classOf.assign(count, -1);
    result.info.resize(count);
    std::vector<FileReader> readers(count);
    std::vector<bool> openedBefore(count, false);
    size_t openFiles = 0;
    int32_t nextClass = 0;

    const auto closeReader = [&](uint32_t i) {
        if (readers[i].isOpen()) {
            readers[i].close();
            --openFiles;
        }
    };
    // Opens a member for its next chunk. A file opened again must still be the file it was.
    const auto openMember = [&](uint32_t i) {
        if (readers[i].isOpen()) {
            return true;
        }
        FileReader reader;
        if (!reader.open(workspace.folders.resolve(*paths[i]))) {
            return false;
        }
        if (!openedBefore[i]) {
            if (reader.info().size != size) {
                return false;
            }
            result.info[i] = reader.info();
            openedBefore[i] = true;
            if (size > static_cast<int64_t>(kLargestChunk)) {
                reader.adviseSequential();
            }
        } else if (!sameFileAsBefore(reader.info(), result.info[i])) {
            return false;
        }
        readers[i] = std::move(reader);
        ++openFiles;
        return true;
    };
    const auto stopped = [&] {
        if (!stopRequested_()) {
            return false;
        }
        result.complete = false;
        return true;
    };

    Group everyone;
    for (uint32_t i = 0; i < count; ++i) {
        everyone.members.push_back(i);
    }
    std::vector<Group> pending;
    pending.push_back(std::move(everyone));
    std::vector<uint32_t> readable;
    std::vector<uint32_t> slots;

    while (!pending.empty()) {
        Group group = std::move(pending.back());
        pending.pop_back();
        if (group.members.size() < 2) {
            for (uint32_t i : group.members) {
                closeReader(i);
            }
            continue;
        }
        if (group.offset == size && size > 0) {
            for (uint32_t i : group.members) {
                result.classOf[i] = nextClass;
                closeReader(i);
            }
            ++nextClass;
            continue;
        }

        const size_t members = group.members.size();
        const size_t share = std::max(kSmallestChunk, kMemoryBudget / members);
        const ReadStep step = readStep(size, group.offset, std::min(kLargestChunk, share));
        const size_t chunk = step.length;
        const bool lastChunk = group.offset + static_cast<int64_t>(chunk) == size;
        readable.clear();
        for (uint32_t i : group.members) {
            // Room for the members that could be read so far: entries that cannot be read (a
            // folder of the list, a file gone) take none.
            char* slot = workspace.buffer((readable.size() + 1) * chunk) + readable.size() * chunk;
            const bool ok = openMember(i) &&
                            readers[i].readAt(step.fileOffset, slot, chunk) == static_cast<int64_t>(chunk);
            if (ok) {
                readable.push_back(i);
            }
            if (!ok || lastChunk || openFiles > kMaxOpenFiles) {
                closeReader(i);
            }
            if (stopped()) {
                for (uint32_t j : group.members) {
                    closeReader(j);
                }
                for (const Group& other : pending) {
                    for (uint32_t j : other.members) {
                        closeReader(j);
                    }
                }
                return result;
            }
        }
        if (size == 0) {
            // Empty files: opening them was the whole test.
            if (readable.size() >= 2) {
                for (uint32_t i : readable) {
                    result.classOf[i] = nextClass;
                }
                ++nextClass;
            }
            continue;
        }

        // Order the members by their chunk, keeping list order among equals, and split where the
        // bytes differ.
        slots.resize(readable.size());
        for (uint32_t s = 0; s < slots.size(); ++s) {
            slots[s] = s;
        }
        const char* const arena = workspace.buffer(readable.size() * chunk);
        const auto bytesOf = [&](uint32_t s) { return arena + static_cast<size_t>(s) * chunk; };
        std::stable_sort(slots.begin(), slots.end(), [&](uint32_t a, uint32_t b) {
            return std::memcmp(bytesOf(a), bytesOf(b), chunk) < 0;
        });
        for (size_t first = 0; first < slots.size();) {
            size_t last = first + 1;
            while (last < slots.size() &&
                   std::memcmp(bytesOf(slots[first]), bytesOf(slots[last]), chunk) == 0) {
                ++last;
            }
            Group next;
            next.offset = group.offset + static_cast<int64_t>(chunk);
            for (size_t s = first; s < last; ++s) {
                next.members.push_back(readable[slots[s]]);
            }
            std::sort(next.members.begin(), next.members.end());
            pending.push_back(std::move(next));
            first = last;
        }
    }
    return result;
}

} // namespace corvane::engine
