#pragma once

#include "platform/folder_handles.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

namespace corvane::platform {

// Reads the start of many files at once from one thread: each file is opened, read from its start
// and closed as readStartOf does, but the system is handed a whole batch in one call and works on
// all of it together (Linux io_uring). Where the files have to come from a disk, one call per file
// costs the processor several times what the batch does (each call waits, and each read is a
// request of its own to the disk's driver), and a batch keeps as many reads in flight as it holds.
// Where io_uring cannot be had (an old kernel, a system that forbids it, a build without
// liburing), the files are read one after the other with readStartOf, with the same results.
class StartReads {
public:
    // Room for batches of up to `capacity` files, of up to `longest` bytes each.
    StartReads(size_t capacity, size_t longest);
    ~StartReads();
    StartReads(const StartReads&) = delete;
    StartReads& operator=(const StartReads&) = delete;

    // Reads up to lengths[i] bytes (at most `longest`) from the start of the file at wheres[i],
    // for every i of the batch (at most `capacity` files), and calls done(i, result, bytes) for
    // each: result is what readStartOf would return (the number of bytes read, less than asked
    // only at the end of the file, or -1 when the file could not be opened or read), `bytes`
    // the bytes read, valid during the call. One exception: a FIFO, which has no start to read
    // from, fails with readStartOf, and here may give what a writer put in it (none without a
    // writer). The names must stay valid until read() returns.
    using Done = std::function<void(size_t index, int64_t result, const char* bytes)>;
    void read(std::span<const FolderRelativeName> wheres, std::span<const size_t> lengths, const Done& done);

    // Whether batches go to the system whole (io_uring), rather than one file at a time.
    bool batched() const;

private:
    struct Ring;
    size_t capacity_;
    size_t longest_;
    std::unique_ptr<char[], void (*)(char*)> buffers_;
    std::unique_ptr<Ring> ring_; // none when io_uring cannot be had
};

} // namespace corvane::platform
