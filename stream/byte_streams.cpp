#include "stream/byte_streams.h"

#include "stream/error.h"
#include "stream/messages.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace corvane::stream {

size_t MemoryInputStream::read(uint8_t* buffer, size_t size) {
    const size_t count = std::min(size, bytes_.size() - position_);
    if (count > 0) {
        std::memcpy(buffer, bytes_.data() + position_, count);
    }
    position_ += count;
    return count;
}

void MemoryInputStream::unread(size_t count) {
    position_ -= std::min(count, position_);
}

FileInputStream::FileInputStream(const std::string& path) {
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_) {
        throw Error(formatMessage(kCannotOpenFile, {path, systemErrorText(errno)}));
    }
    struct stat info {};
    if (::fstat(::fileno(file_), &info) != 0) {
        return;
    }
    if (S_ISDIR(info.st_mode)) {
        // fopen accepts a folder on some systems; reading it would only fail later with a vaguer text.
        std::fclose(file_);
        file_ = nullptr;
        throw Error(formatMessage(kCannotOpenFile, {path, systemErrorText(EISDIR)}));
    }
    if (S_ISREG(info.st_mode)) {
        size_ = static_cast<uint64_t>(info.st_size);
    }
}

FileInputStream::~FileInputStream() {
    if (file_) {
        std::fclose(file_);
    }
}

size_t FileInputStream::read(uint8_t* buffer, size_t size) {
    const size_t count = std::fread(buffer, 1, size, file_);
    if (count == 0 && std::ferror(file_)) {
        throw Error(std::string(kStreamReadError));
    }
    position_ += count;
    return count;
}

std::optional<uint64_t> FileInputStream::remaining() const {
    if (!size_) {
        return std::nullopt;
    }
    return *size_ > position_ ? *size_ - position_ : 0;
}

void FileInputStream::unread(size_t count) {
    if (count > 0 && std::fseek(file_, -static_cast<long>(count), SEEK_CUR) == 0) {
        position_ -= std::min<uint64_t>(count, position_);
    }
}

FileOutputStream::FileOutputStream(const std::string& path) {
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_) {
        throw Error(formatMessage(kCannotCreateFile, {path, systemErrorText(errno)}));
    }
}

FileOutputStream::~FileOutputStream() {
    if (file_) {
        std::fclose(file_);
    }
}

void FileOutputStream::write(std::span<const uint8_t> bytes) {
    if (!file_ || std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        throw Error(std::string(kStreamWriteError));
    }
}

void FileOutputStream::close() {
    if (!file_) {
        return;
    }
    const bool failed = std::fflush(file_) != 0 || std::ferror(file_);
    const bool closeFailed = std::fclose(file_) != 0;
    file_ = nullptr;
    if (failed || closeFailed) {
        throw Error(std::string(kStreamWriteError));
    }
}

std::vector<uint8_t> readWholeFile(const std::string& path) {
    FileInputStream in(path);
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    while (const size_t count = in.read(chunk, sizeof chunk)) {
        bytes.insert(bytes.end(), chunk, chunk + count);
    }
    return bytes;
}

} // namespace corvane::stream
