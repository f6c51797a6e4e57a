#pragma once

#include "platform/file_info.h"
#include "platform/folder_handles.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace corvane::platform {

// A regular file opened for reading in chunks. Nothing else is ever opened: a FIFO would block
// a reader for ever and a device can be endless, so open() refuses every entry that is not a
// regular file, and it does not follow a final symbolic link.
class FileReader {
public:
    FileReader() = default;
    ~FileReader();
    FileReader(FileReader&& other) noexcept;
    FileReader& operator=(FileReader&& other) noexcept;
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    // Opens `path` (of any length); false when it cannot be opened or is not a regular file.
    bool open(const std::string& path);
    // The same for a name relative to an open folder.
    bool open(FolderRelativeName where);
    bool isOpen() const { return fd_ >= 0; }
    void close();

    // What the open file is (size, times, identity), as of open().
    const FileInfo& info() const { return info_; }
    // What the open file is now (one fstat); nothing when it is not open or the system fails.
    std::optional<FileInfo> infoNow() const;

    // Reads up to `length` bytes at `offset`, retrying short reads; returns the number of bytes
    // read (less than `length` only at the end of the file), or -1 on a read error.
    int64_t readAt(int64_t offset, char* buffer, size_t length) const;

    // Tells the system that the file will be read from start to end once.
    void adviseSequential() const;
    // Asks the system to start reading `length` bytes at `offset` into its cache, without waiting.
    void adviseWillNeed(int64_t offset, int64_t length) const;

private:
    int fd_ = -1;
    FileInfo info_;
};

// Reads up to `length` bytes from the start of the file at `where` and closes it again: three
// system calls where FileReader takes four, for a first look at many files. It does not look at
// what the entry is before reading: it never follows a final symbolic link, never waits for a
// FIFO or device to open or to give bytes (nonblocking; a FIFO or folder fails at the read),
// but a device put in place of a file would have its first bytes read. Returns the number of
// bytes read (less than `length` only at the end of the file), or -1 when the entry cannot be
// opened or read.
int64_t readStartOf(FolderRelativeName where, char* buffer, size_t length);

} // namespace corvane::platform
