#pragma once

// Where a component stream comes from and goes to: memory or a file. StreamReader and StreamWriter buffer on
// top of these, so a medium only needs plain block reads and writes.

#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace corvane::stream {

class InputStream {
public:
    virtual ~InputStream() = default;
    // Reads up to `size` bytes and returns how many it read; 0 only at the end of the data.
    virtual size_t read(uint8_t* buffer, size_t size) = 0;
    // The bytes left after the current position, when the medium knows it.
    virtual std::optional<uint64_t> remaining() const = 0;
    // Steps back over the last `count` bytes read (a reader gives back what it buffered but did not use).
    virtual void unread(size_t count) = 0;
};

class OutputStream {
public:
    virtual ~OutputStream() = default;
    // Writes all of `bytes` or throws Error("Stream write error").
    virtual void write(std::span<const uint8_t> bytes) = 0;
};

// Reads from bytes that the caller keeps alive.
class MemoryInputStream final : public InputStream {
public:
    explicit MemoryInputStream(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    size_t read(uint8_t* buffer, size_t size) override;
    std::optional<uint64_t> remaining() const override { return bytes_.size() - position_; }
    void unread(size_t count) override;
    size_t position() const { return position_; }

private:
    std::span<const uint8_t> bytes_;
    size_t position_ = 0;
};

// Collects everything written.
class MemoryOutputStream final : public OutputStream {
public:
    void write(std::span<const uint8_t> bytes) override {
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

// A file opened for reading. Opening throws Error("Cannot open file "PATH". REASON").
class FileInputStream final : public InputStream {
public:
    explicit FileInputStream(const std::string& path);
    ~FileInputStream() override;
    FileInputStream(const FileInputStream&) = delete;
    FileInputStream& operator=(const FileInputStream&) = delete;

    size_t read(uint8_t* buffer, size_t size) override;
    std::optional<uint64_t> remaining() const override;
    void unread(size_t count) override;

private:
    std::FILE* file_ = nullptr;
    std::optional<uint64_t> size_;
    uint64_t position_ = 0;
};

// A file created (or emptied) for writing. Opening throws Error("Cannot create file "PATH". REASON");
// close() reports a failed final write as "Stream write error" (the destructor cannot).
class FileOutputStream final : public OutputStream {
public:
    explicit FileOutputStream(const std::string& path);
    ~FileOutputStream() override;
    FileOutputStream(const FileOutputStream&) = delete;
    FileOutputStream& operator=(const FileOutputStream&) = delete;

    void write(std::span<const uint8_t> bytes) override;
    void close();

private:
    std::FILE* file_ = nullptr;
};

// The whole file as bytes; throws the open error or "Stream read error".
std::vector<uint8_t> readWholeFile(const std::string& path);

} // namespace corvane::stream
