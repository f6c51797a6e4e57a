#include "platform/start_reads.h"

#include "platform/file_reader.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <new>
#include <system_error>
#include <vector>

#ifdef CORVANE_HAVE_LIBURING
#include <liburing.h>
#endif

namespace corvane::platform {

namespace {

constexpr size_t kPage = 4096;

// Buffers start at a page: the system copies file pages into them faster.
char* pageAligned(size_t bytes) {
    return static_cast<char*>(::operator new[](std::max<size_t>(bytes, 1), std::align_val_t{kPage}));
}

void freePageAligned(char* bytes) {
    ::operator delete[](bytes, std::align_val_t{kPage});
}

size_t strideOf(size_t longest) {
    return (longest + kPage - 1) / kPage * kPage;
}

} // namespace

#ifdef CORVANE_HAVE_LIBURING

// A ring with one fixed file slot per file of a batch: each file is opened into its slot, read
// and closed by one chain of three requests, so that the whole batch is one system call.
struct StartReads::Ring {
    io_uring ring{};
    ~Ring() { io_uring_queue_exit(&ring); }
};

#else

struct StartReads::Ring {};

#endif

StartReads::StartReads(size_t capacity, size_t longest)
    : capacity_(std::max<size_t>(capacity, 1)), longest_(longest),
      buffers_(pageAligned(capacity_ * strideOf(longest)), freePageAligned) {
#ifdef CORVANE_HAVE_LIBURING
    auto ring = std::make_unique<Ring>();
    if (io_uring_queue_init(static_cast<unsigned>(3 * capacity_), &ring->ring, 0) != 0) {
        return; // no io_uring here: one file at a time
    }
    const std::vector<int> empty(capacity_, -1);
    if (io_uring_register_files(&ring->ring, empty.data(), static_cast<unsigned>(capacity_)) != 0) {
        return; // too old for fixed file slots (the ring is given back by ~Ring)
    }
    ring_ = std::move(ring);
#endif
}

StartReads::~StartReads() = default;

bool StartReads::batched() const {
    return ring_ != nullptr;
}

void StartReads::read(std::span<const FolderRelativeName> wheres, std::span<const size_t> lengths,
                      const Done& done) {
    const size_t stride = strideOf(longest_);
    const size_t count = std::min({wheres.size(), lengths.size(), capacity_});
    char* const buffers = buffers_.get();
    if (!ring_) {
        for (size_t i = 0; i < count; ++i) {
            char* bytes = buffers + i * stride;
            done(i, readStartOf(wheres[i], bytes, std::min(lengths[i], longest_)), bytes);
        }
        return;
    }
#ifdef CORVANE_HAVE_LIBURING
    io_uring* ring = &ring_->ring;
    // Nonblocking, as readStartOf: a FIFO never waits for a writer, and fails at the read. For a
    // regular file the system still waits for the disk.
    constexpr int kFlags = O_RDONLY | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK;
    for (size_t i = 0; i < count; ++i) {
        const auto slot = static_cast<unsigned>(i);
        io_uring_sqe* open = io_uring_get_sqe(ring);
        io_uring_prep_openat_direct(open, wheres[i].folderFd, wheres[i].name, kFlags, 0, slot);
        open->flags |= IOSQE_IO_LINK;
        io_uring_sqe_set_data64(open, i * 3);
        io_uring_sqe* read = io_uring_get_sqe(ring);
        io_uring_prep_read(read, static_cast<int>(slot), buffers + i * stride,
                           static_cast<unsigned>(std::min(lengths[i], longest_)), 0);
        // The close comes after the read whatever the read gave.
        read->flags |= IOSQE_FIXED_FILE | IOSQE_IO_HARDLINK;
        io_uring_sqe_set_data64(read, i * 3 + 1);
        io_uring_sqe* close = io_uring_get_sqe(ring);
        io_uring_prep_close_direct(close, slot);
        io_uring_sqe_set_data64(close, i * 3 + 2);
    }
    // Every request of the batch completes (a failed open cancels its read and close), so the
    // slots are free again when this returns.
    std::vector<int64_t> results(count, -1);
    size_t left = 3 * count;
    while (left > 0) {
        const int submitted = io_uring_submit_and_wait(ring, 1);
        if (submitted < 0 && submitted != -EINTR && submitted != -EAGAIN) {
            // Never seen: the ring is sized for a whole batch.
            throw std::system_error(-submitted, std::generic_category(), "reading the start of files");
        }
        io_uring_cqe* cqe = nullptr;
        unsigned head = 0;
        unsigned seen = 0;
        io_uring_for_each_cqe(ring, head, cqe) {
            const uint64_t tag = io_uring_cqe_get_data64(cqe);
            if (tag % 3 == 1) {
                results[tag / 3] = cqe->res >= 0 ? cqe->res : -1;
            }
            ++seen;
        }
        io_uring_cq_advance(ring, seen);
        left -= std::min<size_t>(left, seen);
    }
    for (size_t i = 0; i < count; ++i) {
        done(i, results[i], buffers + i * stride);
    }
#endif
}

} // namespace corvane::platform
