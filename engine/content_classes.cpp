#include "engine/content_classes.h"

#include "engine/first_block_filter.h"

#include "platform/file_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <optional>
#include <utility>

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

} // namespace

char* ContentClasses::Workspace::buffer(size_t size, size_t limit) {
    if (size > limit) {
        throw std::bad_alloc();
    }
    if (size > capacity_) {
        // Grows by half again at least, keeping what the buffer holds.
        const size_t grown = std::min(std::max(size, capacity_ + capacity_ / 2), limit);
        std::unique_ptr<char[], AlignedDelete> larger(
            static_cast<char*>(::operator new[](grown, kAlignment)));
        if (capacity_ > 0) {
            std::memcpy(larger.get(), buffer_.get(), capacity_);
        }
        buffer_ = std::move(larger);
        capacity_ = grown;
    }
    return buffer_.get();
}

ContentClasses::ContentClasses(std::function<bool()> stopRequested, size_t memoryBudget)
    : stopRequested_(std::move(stopRequested)), memoryBudget_(memoryBudget) {}

namespace {

// Where a member stands in a split.
enum class MemberState : uint8_t {
    New,         // not opened yet (in the second pass: its first reading changed under it)
    Opened,      // opened, with what it was then in the result's info
    Unreadable,  // not a regular file of the run's size: joins no class
    Changed,     // changed while it was read the first time: read again from the start
    Unconfirmed, // read unchanged, but too soon after its last change for its times to prove it
    Failed,      // changed while it was read the second time: joins no class
};

// One split: the files of a run, their readers and what is known of them so far.
//
// A class is only as sound as the reading of its members: a file written while it is read (its
// last block read before a write, its middle after it) can match a file it never equals. So each
// member is looked at (fstat on the open handle) after its last chunk and must be what it was
// before its first: same inode, size, modification and status-change time. Any write moves the
// status-change time, with one exception: file times come from a clock that advances in steps
// (and some file systems keep only seconds), so a write in the same step as the file's last
// change may leave its times where they were (since Linux 6.13, ext4, XFS, Btrfs and tmpfs give a
// file whose times were looked at a finer time at its next change, so there the check is exact).
// A file whose last change was kSettledNs or more before it was first opened is safe from that,
// since a later write falls in a later step: that is every file but those written just now, and
// for them the check costs one fstat per member of a class. A file written just before is read a
// second time from the start and must come out the same, with the same times, to join a class:
// to fool both readings, writes would have to fall within its last change's clock step each time.
// A member that changed while it was read is read once more from the start; if it changes again
// it joins no class. Both take a second pass over the run (the members to read again, one member
// of each class found, and the members that found no class), which is never needed when every
// member was settled and unchanged.
class Splitter {
public:
    Splitter(std::span<const char* const> paths, int64_t size, ContentClasses::Workspace& workspace,
             const std::function<bool()>& stopRequested, size_t memoryBudget)
        : paths_(paths), size_(size), workspace_(workspace), stopRequested_(stopRequested),
          memoryBudget_(memoryBudget), readers_(paths.size()), state_(paths.size(), MemberState::New),
          advisedTo_(size >= ContentClasses::kReadAheadFrom ? paths.size() : 0, 0) {
        result_.classOf.assign(paths.size(), -1);
        result_.info.resize(paths.size());
    }

    ContentClasses::Result run();

private:
    // Splits `group` and all that comes of it; false when a stop request ended the work.
    bool splitAll(Group group);
    // Reads again the members that need it, with those they may now equal.
    void secondPass();
    bool openMember(uint32_t i);
    void closeReader(uint32_t i);
    // Reads `step` of member `i` into `slot`; false when it cannot be read whole or changed.
    // `last`: the step is the member's last, after which it is checked.
    bool readMember(uint32_t i, const ReadStep& step, char* slot, bool keepOpen, bool last);
    // Before a step between the first and the last block of a member kept open: asks the system
    // to read the member's next bytes ahead, a window at a time (see kReadAhead).
    void adviseAhead(uint32_t i, const ReadStep& step, bool keepOpen);
    // After the last chunk: true when member `i` is as it was before its first and may join its
    // class; otherwise it is marked to be read again or to join none.
    bool passesFinalCheck(uint32_t i);
    // Member `i` could not be read as it was: read again from the start, or no class.
    void changedWhileRead(uint32_t i);
    // Gives the members of a group that reached the end of the file their class.
    void acceptClass(const Group& group);
    bool stopped();
    void closeEverything();
    // The workspace's buffer, within the memory budget.
    char* buffer(size_t size) { return workspace_.buffer(size, memoryBudget_); }
    // Both read the group's next chunk of every member and push the groups that agree on it.
    // False when a stop request ended the work.
    bool splitBySorting(const Group& group, size_t chunkLimit);
    bool splitByHashing(const Group& group);
    // Members read, by their chunk in `arena`, sorted and cut where their bytes differ.
    void pushAgreeing(const std::vector<uint32_t>& readable, const char* arena, size_t chunk, int64_t next);

    const std::span<const char* const> paths_;
    const int64_t size_;
    ContentClasses::Workspace& workspace_;
    const std::function<bool()>& stopRequested_;
    const size_t memoryBudget_;
    ContentClasses::Result result_;
    std::vector<FileReader> readers_;
    std::vector<MemberState> state_;
    std::vector<int64_t> advisedTo_; // per member: how far reading ahead was asked for
    bool secondPass_ = false;
    bool readAgain_ = false; // some member is to be read again
    size_t openFiles_ = 0;
    int32_t nextClass_ = 0;
    std::vector<Group> pending_;
};

void Splitter::closeReader(uint32_t i) {
    if (readers_[i].isOpen()) {
        readers_[i].close();
        --openFiles_;
    }
}

// Opens a member for its next chunk. A file opened again must still be the file it was.
bool Splitter::openMember(uint32_t i) {
    if (readers_[i].isOpen()) {
        return true;
    }
    FileReader reader;
    errno = 0;
    if (!reader.open(workspace_.folders.resolve(paths_[i]))) {
        if (state_[i] == MemberState::New) {
            state_[i] = MemberState::Unreadable;
            // A system error, not the type test (which leaves errno alone): the file is unreadable.
            if (errno != 0) {
                result_.unreadable.emplace_back(i, errno);
            }
        }
        return false;
    }
    if (state_[i] == MemberState::New) {
        if (reader.info().size != size_) {
            state_[i] = MemberState::Unreadable;
            return false;
        }
        result_.info[i] = reader.info();
        state_[i] = MemberState::Opened;
        if (size_ > static_cast<int64_t>(ContentClasses::kLargestChunk)) {
            reader.adviseSequential();
        }
    } else if (!platform::sameState(reader.info(), result_.info[i])) {
        return false;
    }
    readers_[i] = std::move(reader);
    ++openFiles_;
    return true;
}

void Splitter::changedWhileRead(uint32_t i) {
    if (state_[i] != MemberState::Opened) {
        return; // never opened as a file of the run: nothing was read
    }
    state_[i] = secondPass_ ? MemberState::Failed : MemberState::Changed;
    readAgain_ = readAgain_ || !secondPass_;
}

bool Splitter::passesFinalCheck(uint32_t i) {
    const std::optional<platform::FileInfo> now = readers_[i].infoNow();
    if (!now || !platform::sameState(*now, result_.info[i])) {
        changedWhileRead(i);
        return false;
    }
    if (!secondPass_ && !platform::settledWhenLookedAt(result_.info[i])) {
        state_[i] = MemberState::Unconfirmed;
        readAgain_ = true;
        return false;
    }
    return true;
}

void Splitter::adviseAhead(uint32_t i, const ReadStep& step, bool keepOpen) {
    if (!keepOpen || advisedTo_.empty() || step.fileOffset < ContentClasses::kEndBlock ||
        step.fileOffset >= size_ - ContentClasses::kEndBlock) {
        return; // the first and the last block stand alone; the bytes between them run on
    }
    const int64_t end = step.fileOffset + static_cast<int64_t>(step.length);
    if (end + ContentClasses::kReadAhead / 2 <= advisedTo_[i] || advisedTo_[i] >= size_) {
        return;
    }
    const int64_t from = std::max(advisedTo_[i], step.fileOffset);
    readers_[i].adviseWillNeed(from, ContentClasses::kReadAhead);
    advisedTo_[i] = from + ContentClasses::kReadAhead;
}

bool Splitter::readMember(uint32_t i, const ReadStep& step, char* slot, bool keepOpen, bool last) {
    bool ok = openMember(i);
    if (ok && size_ == 0) {
        // Some files tell a size of 0 and still hold bytes (the system's generated files): a
        // file is empty only when a read at its start finds the end.
        char probe;
        ok = readers_[i].readAt(0, &probe, 1) == 0;
        if (!ok) {
            state_[i] = MemberState::Unreadable;
        }
    } else if (ok) {
        adviseAhead(i, step, keepOpen);
        const int64_t read = readers_[i].readAt(step.fileOffset, slot, step.length);
        if (read < 0 && secondPass_) {
            // A read error in the pass that reads it for the last time: the file is unreadable.
            result_.unreadable.emplace_back(i, errno);
        }
        ok = read == static_cast<int64_t>(step.length);
        if (!ok) {
            changedWhileRead(i); // cut short by a truncation, most likely
        } else if (workspace_.onBytesRead) {
            workspace_.onBytesRead(static_cast<int64_t>(step.length));
        }
    } else {
        changedWhileRead(i);
    }
    const bool closing = !ok || !keepOpen || openFiles_ > ContentClasses::kMaxOpenFiles;
    if (ok && last && closing) {
        // Checked now, while the handle is open; a member kept open is checked with its class.
        ok = passesFinalCheck(i);
    }
    if (closing) {
        closeReader(i);
    }
    return ok;
}

bool Splitter::stopped() {
    if (!stopRequested_()) {
        return false;
    }
    result_.complete = false;
    closeEverything();
    return true;
}

void Splitter::closeEverything() {
    for (uint32_t i = 0; i < readers_.size(); ++i) {
        closeReader(i);
    }
}

void Splitter::acceptClass(const Group& group) {
    std::vector<uint32_t> accepted;
    for (uint32_t i : group.members) {
        // A member still open has not been checked yet; the others were, as they were closed.
        const bool sound = !readers_[i].isOpen() || passesFinalCheck(i);
        closeReader(i);
        if (sound) {
            accepted.push_back(i);
        }
    }
    if (accepted.size() >= 2) {
        for (uint32_t i : accepted) {
            result_.classOf[i] = nextClass_;
        }
        ++nextClass_;
    }
}

bool Splitter::splitAll(Group whole) {
    pending_.push_back(std::move(whole));
    while (!pending_.empty()) {
        Group group = std::move(pending_.back());
        pending_.pop_back();
        if (group.members.size() < 2) {
            for (uint32_t i : group.members) {
                closeReader(i);
            }
            continue;
        }
        if (group.offset == size_ && size_ > 0) {
            acceptClass(group);
            continue;
        }
        // The chunks of all members fit the budget, at the least chunk size at worst; wider
        // groups are first told apart by a digest of each member's chunk.
        const size_t share = memoryBudget_ / group.members.size();
        const ReadStep step = readStep(size_, group.offset, ContentClasses::kLargestChunk);
        const bool completed = share >= std::min(step.length, ContentClasses::kSmallestChunk)
                                   ? splitBySorting(group, std::max(share, ContentClasses::kSmallestChunk))
                                   : splitByHashing(group);
        if (!completed) {
            return false;
        }
    }
    return true;
}

ContentClasses::Result Splitter::run() {
    Group everyone;
    for (uint32_t i = 0; i < paths_.size(); ++i) {
        everyone.members.push_back(i);
    }
    if (splitAll(std::move(everyone)) && readAgain_) {
        secondPass();
    }
    return std::move(result_);
}

void Splitter::secondPass() {
    secondPass_ = true;
    const std::vector<int32_t> firstClass = result_.classOf;
    const int32_t firstNewClass = nextClass_;
    // Who takes part: the members to read again; one member of each class, through which they may
    // join it (the class stands as it was found whatever happens to that member now); and the
    // members that found no class, which one of them may now equal. Members opened before must
    // still be what they were then.
    Group again;
    std::vector<bool> classRepresented(static_cast<size_t>(firstNewClass), false);
    for (uint32_t i = 0; i < paths_.size(); ++i) {
        const int32_t c = firstClass[i];
        if (state_[i] == MemberState::Changed) {
            state_[i] = MemberState::New;
        } else if (state_[i] == MemberState::Unconfirmed) {
            state_[i] = MemberState::Opened;
        } else if (state_[i] != MemberState::Opened) {
            continue;
        } else if (c >= 0) {
            if (classRepresented[static_cast<size_t>(c)]) {
                continue;
            }
            classRepresented[static_cast<size_t>(c)] = true;
        }
        result_.classOf[i] = -1;
        again.members.push_back(i);
    }
    splitAll(std::move(again));
    // A new class that holds a member of an earlier class joins that class.
    std::vector<int32_t> joins(static_cast<size_t>(nextClass_ - firstNewClass), -1);
    for (uint32_t i = 0; i < paths_.size(); ++i) {
        const int32_t now = result_.classOf[i];
        if (firstClass[i] >= 0 && now >= firstNewClass &&
            joins[static_cast<size_t>(now - firstNewClass)] < 0) {
            joins[static_cast<size_t>(now - firstNewClass)] = firstClass[i];
        }
    }
    for (uint32_t i = 0; i < paths_.size(); ++i) {
        const int32_t now = result_.classOf[i];
        if (firstClass[i] >= 0) {
            result_.classOf[i] = firstClass[i];
        } else if (now >= firstNewClass && joins[static_cast<size_t>(now - firstNewClass)] >= 0) {
            result_.classOf[i] = joins[static_cast<size_t>(now - firstNewClass)];
        }
    }
}

bool Splitter::splitBySorting(const Group& group, size_t chunkLimit) {
    const ReadStep step = readStep(size_, group.offset, std::min(ContentClasses::kLargestChunk, chunkLimit));
    const size_t chunk = step.length;
    const bool lastChunk = group.offset + static_cast<int64_t>(chunk) == size_;
    std::vector<uint32_t> readable;
    for (uint32_t i : group.members) {
        // Room for the members that could be read so far: entries that cannot be read (a folder
        // of the list, a file gone) take none.
        char* slot = buffer((readable.size() + 1) * chunk) + readable.size() * chunk;
        // Members stay open through their last chunk until their class is known: only those
        // that join one are checked.
        if (readMember(i, step, slot, size_ > 0, lastChunk)) {
            readable.push_back(i);
        }
        if (stopped()) {
            return false;
        }
    }
    if (size_ == 0) {
        // Empty files: finding the end at the start was the whole test.
        if (readable.size() >= 2) {
            for (uint32_t i : readable) {
                result_.classOf[i] = nextClass_;
            }
            ++nextClass_;
        }
        return true;
    }
    pushAgreeing(readable, buffer(readable.size() * chunk), chunk,
                 group.offset + static_cast<int64_t>(chunk));
    return true;
}

void Splitter::pushAgreeing(const std::vector<uint32_t>& readable, const char* arena, size_t chunk,
                            int64_t next) {
    // Order the members by their chunk, keeping list order among equals, and cut where the bytes
    // differ.
    std::vector<uint32_t> slots(readable.size());
    for (uint32_t s = 0; s < slots.size(); ++s) {
        slots[s] = s;
    }
    const auto bytesOf = [&](uint32_t s) { return arena + static_cast<size_t>(s) * chunk; };
    std::stable_sort(slots.begin(), slots.end(),
                     [&](uint32_t a, uint32_t b) { return std::memcmp(bytesOf(a), bytesOf(b), chunk) < 0; });
    for (size_t first = 0; first < slots.size();) {
        size_t last = first + 1;
        while (last < slots.size() && std::memcmp(bytesOf(slots[first]), bytesOf(slots[last]), chunk) == 0) {
            ++last;
        }
        if (last - first >= 2) {
            Group agreeing;
            agreeing.offset = next;
            for (size_t s = first; s < last; ++s) {
                agreeing.members.push_back(readable[slots[s]]);
            }
            std::sort(agreeing.members.begin(), agreeing.members.end());
            pending_.push_back(std::move(agreeing));
        } else {
            closeReader(readable[slots[first]]);
        }
        first = last;
    }
}

bool Splitter::splitByHashing(const Group& group) {
    // Two chunks at a time: the first of a digest's members and the one compared with it.
    const size_t longest = std::min(ContentClasses::kLargestChunk, std::max<size_t>(memoryBudget_ / 2, 1));
    const ReadStep step = readStep(size_, group.offset, longest);
    const size_t chunk = step.length;
    const int64_t next = group.offset + static_cast<int64_t>(chunk);
    const bool lastChunk = next == size_;
    // Too many members to hold their chunks: each is read and digested on its own, and files are
    // not kept open from one chunk to the next.
    std::vector<std::pair<uint64_t, uint32_t>> digests;
    for (uint32_t i : group.members) {
        char* slot = buffer(chunk);
        if (readMember(i, step, slot, false, lastChunk)) {
            // Equal digests prove nothing: members are compared byte for byte afterwards.
            digests.emplace_back(blockDigest(slot, chunk), i);
        }
        if (stopped()) {
            return false;
        }
    }
    std::sort(digests.begin(), digests.end());
    for (size_t first = 0; first < digests.size();) {
        size_t last = first + 1;
        while (last < digests.size() && digests[last].first == digests[first].first) {
            ++last;
        }
        if (last - first >= 2) {
            // Members with one digest are compared with the first of them that can be read:
            // those that agree go on together; any other stays at this chunk, to be sorted out
            // again.
            char* const firstBytes = buffer(2 * chunk);
            char* const bytes = firstBytes + chunk;
            Group agreeing, other;
            agreeing.offset = next;
            other.offset = group.offset;
            for (size_t d = first; d < last; ++d) {
                const uint32_t i = digests[d].second;
                if (agreeing.members.empty()) {
                    if (readMember(i, step, firstBytes, false, lastChunk)) {
                        agreeing.members.push_back(i);
                    }
                } else if (readMember(i, step, bytes, false, lastChunk)) {
                    (std::memcmp(firstBytes, bytes, chunk) == 0 ? agreeing : other).members.push_back(i);
                }
                if (stopped()) {
                    return false;
                }
            }
            for (Group* part : {&agreeing, &other}) {
                if (part->members.size() >= 2) {
                    std::sort(part->members.begin(), part->members.end());
                    pending_.push_back(std::move(*part));
                }
            }
        }
        first = last;
    }
    return true;
}

} // namespace

ContentClasses::Result ContentClasses::split(std::span<const char* const> paths, int64_t size,
                                             Workspace& workspace) const {
    return Splitter(paths, size, workspace, stopRequested_, memoryBudget_).run();
}

ContentClasses::Result ContentClasses::split(const std::vector<const std::string*>& paths, int64_t size,
                                             Workspace& workspace) const {
    std::vector<const char*> names;
    names.reserve(paths.size());
    for (const std::string* path : paths) {
        names.push_back(path->c_str());
    }
    return split(names, size, workspace);
}

} // namespace corvane::engine
