#pragma once

#include "platform/file_info.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace corvane::engine {

// Splits files of one size into classes of byte-for-byte identical contents, reading each file
// at most once: all files are read together chunk by chunk, a class splits wherever its members'
// bytes diverge, and a file stops being read as soon as no other file shares its bytes so far.
// Memory stays bounded whatever the file size.
class ContentClasses {
public:
    struct Result {
        // For each file, its class (files with equal numbers are identical), or -1 when no other
        // file has its contents or it could not be read.
        std::vector<int32_t> classOf;
        // What each file was when it was read (size, modification time, identity).
        std::vector<platform::FileInfo> info;
        // False when a stop request cut the work short: only classes that had been compared to
        // their last byte are kept.
        bool complete = true;
    };

    // `stopRequested` is polled between chunks.
    explicit ContentClasses(std::function<bool()> stopRequested);

    // Only regular files whose size is still `size` take part; anything else cannot be read and
    // joins no class.
    // Safe to call from several threads at once.
    Result split(const std::vector<const std::string*>& paths, int64_t size) const;

    // Memory for the chunks of one class at a time (the least chunk is still taken when a class
    // has very many members).
    static constexpr size_t kMemoryBudget = 32u << 20;
    static constexpr size_t kLargestChunk = 1u << 20;
    static constexpr size_t kSmallestChunk = 4u << 10;
    // Members of a class kept open between chunks; more are opened again for each chunk.
    static constexpr size_t kMaxOpenFiles = 256;

private:
    std::function<bool()> stopRequested_;
};

} // namespace corvane::engine
